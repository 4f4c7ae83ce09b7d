#include <io/FileInputStream.h>
#include <io/IOException.h>
#include <io/RegularFile.h>
#include <lang/TempBuffer.h>
#include <climits>

#include <unistd.h>

namespace io {

namespace {

/** The name as shown in messages: long names keep only their end. */
lang::String displayName(const lang::String& name) {
	int len = name.length();
	if (len <= 128)
		return name;
	return lang::String("... ") + name.substring(len - 124);
}

} // namespace

FileInputStream::FileInputStream(const lang::String& name) : m_file(nullptr), m_name(name) {
	// A name that does not fit is refused rather than cut, which would open
	// some other file.
	lang::TempBuffer path(MAX_NAME_LENGTH + 1);
	if (name.length() <= MAX_NAME_LENGTH && name.getBytes(path.data(), MAX_NAME_LENGTH + 1)) {
		const int fd = openRegularFile(path.data());
		if (fd >= 0 && !(m_file = ::fdopen(fd, "rb")))
			::close(fd);
	}
	if (!m_file)
		throw IOException(lang::Format("Failed to open {0}", displayName(name)));
}

FileInputStream::~FileInputStream() {
	if (m_file)
		std::fclose(m_file);
}

int FileInputStream::read(void* buf, int n) {
	if (!m_file || n <= 0)
		return 0;
	// Streams are used from one thread only: stdio's per-call lock would
	// cost more than the copy for the small reads of typed data.
	size_t got = fread_unlocked(buf, 1, size_t(n), m_file);
	if (got < size_t(n) && std::ferror(m_file))
		throw IOException(lang::Format("Failed to read {1} bytes from {0}", m_name, n));
	return int(got);
}

int FileInputStream::available() {
	if (!m_file)
		return 0;
	off_t pos = ftello(m_file);
	off_t end = -1;
	if (pos >= 0 && fseeko(m_file, 0, SEEK_END) == 0)
		end = ftello(m_file);
	bool back = pos >= 0 && fseeko(m_file, pos, SEEK_SET) == 0;
	if (!back || end < 0 || std::ferror(m_file))
		throw IOException(lang::Format("Failed to seek {0}", m_name));
	off_t left = end - pos;
	if (left < 0)
		return 0;
	return left > INT_MAX ? INT_MAX : int(left);
}

} // namespace io
