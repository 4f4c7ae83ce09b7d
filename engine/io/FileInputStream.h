#ifndef IO_FILEINPUTSTREAM_H
#define IO_FILEINPUTSTREAM_H

#include <io/InputStream.h>
#include <cstdio>

namespace io {

/** A file opened by name for reading bytes. */
class FileInputStream : public InputStream {
public:
	/** Longest name that can be opened. */
	enum { MAX_NAME_LENGTH = 999 };

	/**
	 * Opens the file name. Throws io::IOException "Failed to open <name>"
	 * when it cannot be opened, is no regular file (a named pipe is not
	 * waited on, see io/RegularFile.h) or when the name is longer than
	 * MAX_NAME_LENGTH; a name over 128 characters is shown as "... " and its
	 * last 124 characters.
	 */
	explicit FileInputStream(const lang::String& name);
	~FileInputStream() override;

	FileInputStream(const FileInputStream&) = delete;
	FileInputStream& operator=(const FileInputStream&) = delete;

	/** Throws io::IOException when the file reports a read error. */
	int read(void* buf, int n) override;
	/** Throws io::IOException when the position cannot be found. */
	int available() override;
	/** Returns the name the file was opened with. */
	lang::String toString() override { return m_name; }

private:
	FILE* m_file;
	lang::String m_name;
};

} // namespace io

#endif
