#ifndef HGR_SCENEINPUTSTREAM_H
#define HGR_SCENEINPUTSTREAM_H

#include <io/DataInputStream.h>
#include <lang/Array.h>
#include <cstdint>

namespace hgr {

/**
 * Big-endian reads of a .hgr scene file. Construction reads and checks the
 * header: the "hgrf" tag, the version (170 to 193), the exporter word
 * (files above 190), the header flags and the platform id (files from 180).
 *
 * The stream counts the bytes it hands out, so available() is the number
 * of bytes left without asking the source again; the reader checks every
 * count of the file against it before it allocates anything.
 *
 * Reads go through a buffer of its own: a scene file is thousands of small
 * typed reads between its vertex blocks, and each refill of a file's own
 * small buffer would be a system call. Reads as large as the buffer go to
 * the source directly. The source is read ahead of what this stream has
 * handed out, so nothing else may read it meanwhile.
 */
class SceneInputStream : public io::DataInputStream {
public:
	enum { MIN_VERSION = 170, MAX_VERSION = 193 };

	/** Exporter word of files that store none. */
	enum { DEFAULT_EXPORTER_WORD = 133379 };

	/** Bytes read ahead from the source at a time (less for smaller files). */
	enum { BUFFER_SIZE = 256 * 1024 };

	/**
	 * Wraps in (not owned; it must outlive this stream) and reads the header.
	 * Throws io::IOException when the tag or the version is wrong or the
	 * file ends inside the header.
	 */
	explicit SceneInputStream(io::InputStream* in);
	~SceneInputStream() override;

	/** Reads up to n bytes; fewer only at the end of the source. */
	int read(void* buf, int n) override;
	int skip(int n) override;
	/** Bytes left in the source. */
	int available() override { return m_left; }

	/** Reads a section's check id and throws io::IOException when it is not expected. */
	void readCheckId(int expected);

	int getVersion() const { return m_version; }
	int getExporterWord() const { return m_exporter; }
	int getFlags() const { return m_flags; }
	/** The platform id the file was made for (0 in files before version 180). */
	int getPlatform() const { return m_platform; }
	/** True when mask AND the header flags is not 0. */
	bool hasFlags(int mask) const { return (m_flags & mask) != 0; }

private:
	lang::Array<uint8_t> m_buffer;
	int m_position; // next unread byte of the buffer
	int m_end;		// bytes held in the buffer
	int m_left;
	int m_version;
	int m_exporter;
	int m_flags;
	int m_platform;
};

} // namespace hgr

#endif
