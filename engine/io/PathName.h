#ifndef IO_PATHNAME_H
#define IO_PATHNAME_H

#include <lang/String.h>

namespace io {

/**
 * A file path split into drive, directory, base name and extension, and
 * joins of a directory with a file name. Every text lives in a fixed buffer
 * inside the object; nothing is allocated. Backslashes become "/".
 */
class PathName {
public:
	/**
	 * Longest text that the joins accept. The text buffer holds the path, its
	 * parts and their terminators: 2 * 249 + 7 bytes at most for such a path.
	 */
	enum { MAX_PATH_LENGTH = 249, TEXT_SIZE = 512 };

	/**
	 * Builds the path directory + "/" + fileName (no "/" added after an empty
	 * directory or one that ends in a separator; one leading separator of
	 * fileName dropped), or directory alone when fileName is null.
	 * Throws io::IOException when the parts do not fit in the buffer.
	 */
	explicit PathName(const char* directory = "", const char* fileName = nullptr);
	PathName(const PathName& other);
	PathName& operator=(const PathName& other);

	/** Builds from path. Throws io::IOException "Too long path name: ..." past MAX_PATH_LENGTH. */
	void join(const lang::String& path);
	/**
	 * Builds from directory and fileName. Throws io::IOException
	 * "Too long path name: ... and ..." when the directory is longer than
	 * MAX_PATH_LENGTH or both together (with the directory's terminator) do
	 * not fit in MAX_PATH_LENGTH + 1 bytes.
	 */
	void join(const lang::String& directory, const lang::String& fileName);
	/**
	 * Builds from the parent directory of other's path: a trailing "/" is
	 * dropped, then the path is cut before its last "/" (empty without one).
	 * Throws io::IOException "Too long path name: ..." when other's path is
	 * longer than 263 characters. other may be this object.
	 */
	void directoryOf(const PathName& other);

	/** The whole path with backslashes turned into "/". */
	const char* path() const { return m_path; }
	/** Up to and including the first ":", or empty. */
	const char* drive() const { return m_drive; }
	/** After the drive, up to and including the last "/", or empty. */
	const char* directory() const { return m_directory; }
	/** The file name before its last ".". */
	const char* baseName() const { return m_baseName; }
	/** From the file name's last "." on, or empty. */
	const char* extension() const { return m_extension; }

private:
	const char* m_path;
	const char* m_drive;
	const char* m_directory;
	const char* m_baseName;
	const char* m_extension;
	int m_used;
	char m_text[TEXT_SIZE];

	void reset();
	/** n zeroed bytes of the text buffer; throws when they do not fit. */
	char* allocate(int n);
	/** A copy of the n bytes at s, zero-terminated, in the text buffer. */
	char* store(const char* s, int n);
	void build(const char* directory, const char* fileName);
};

} // namespace io

#endif
