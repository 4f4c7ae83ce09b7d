#include <io/PathName.h>
#include <io/IOException.h>
#include <cstring>

namespace io {

namespace {

/** The parent-directory copy of directoryOf holds at most this many bytes. */
const int DIRECTORY_BUFFER = 264;

} // namespace

PathName::PathName(const char* directory, const char* fileName) {
	build(directory, fileName);
}

PathName::PathName(const PathName& other) {
	build(other.m_path, nullptr);
}

PathName& PathName::operator=(const PathName& other) {
	if (this != &other)
		build(other.m_path, nullptr);
	return *this;
}

void PathName::reset() {
	m_used = 0;
	m_text[0] = 0;
	m_used = 1;
	m_path = m_drive = m_directory = m_baseName = m_extension = m_text;
}

char* PathName::allocate(int n) {
	if (n < 0 || m_used + n > TEXT_SIZE)
		throw IOException(lang::Format("Path name buffer overflow, {0} bytes. Initial path name was \"{1}\".",
									   double(m_used) + n, m_path));
	char* p = m_text + m_used;
	std::memset(p, 0, size_t(n));
	m_used += n;
	return p;
}

char* PathName::store(const char* s, int n) {
	char* p = allocate(n + 1);
	std::memcpy(p, s, size_t(n));
	return p;
}

void PathName::build(const char* d, const char* f) {
	if (!d)
		d = "";
	// The arguments may point into our own buffer (copies, directoryOf):
	// keep them aside before the reset overwrites it.
	char dirCopy[TEXT_SIZE];
	char fileCopy[TEXT_SIZE];
	if (d >= m_text && d < m_text + TEXT_SIZE) {
		lang::String::cpy(dirCopy, TEXT_SIZE, d);
		d = dirCopy;
	}
	if (f && f >= m_text && f < m_text + TEXT_SIZE) {
		lang::String::cpy(fileCopy, TEXT_SIZE, f);
		f = fileCopy;
	}

	reset();
	int dlen = int(std::strlen(d));
	char* path;
	if (f) {
		if (*f == '/' || *f == '\\')
			++f;
		int flen = int(std::strlen(f));
		path = allocate(dlen + flen + 2);
		std::memcpy(path, d, size_t(dlen));
		char* p = path + dlen;
		if (dlen > 0 && d[dlen - 1] != '/' && d[dlen - 1] != '\\')
			*p++ = '/';
		std::memcpy(p, f, size_t(flen));
	} else {
		path = allocate(dlen + 2);
		std::memcpy(path, d, size_t(dlen));
	}
	for (char* p = path; *p; ++p)
		if (*p == '\\')
			*p = '/';
	m_path = path;

	const char* rest = path;
	if (const char* colon = std::strchr(rest, ':')) {
		m_drive = store(rest, int(colon - rest) + 1);
		rest = colon + 1;
	}
	if (const char* slash = std::strrchr(rest, '/')) {
		m_directory = store(rest, int(slash - rest) + 1);
		rest = slash + 1;
	}
	if (const char* dot = std::strrchr(rest, '.')) {
		m_baseName = store(rest, int(dot - rest));
		m_extension = store(dot, int(std::strlen(dot)));
	} else if (*rest) {
		m_baseName = store(rest, int(std::strlen(rest)));
	}
}

void PathName::join(const lang::String& path) {
	char buf[MAX_PATH_LENGTH + 1];
	if (!path.getBytes(buf, sizeof(buf)))
		throw IOException(lang::Format("Too long path name: \"{0}\"", path));
	build(buf, nullptr);
}

void PathName::join(const lang::String& directory, const lang::String& fileName) {
	// Both texts share one buffer: the file name goes behind the directory's
	// terminating zero, in whatever room that leaves.
	char buf[MAX_PATH_LENGTH + 1];
	int dlen = directory.length();
	if (dlen > MAX_PATH_LENGTH || fileName.length() >= int(sizeof(buf)) - (dlen + 1))
		throw IOException(lang::Format("Too long path name: \"{0}\" and \"{1}\"", directory, fileName));
	directory.copyTo(buf, dlen + 1);
	char* file = buf + dlen + 1;
	fileName.copyTo(file, int(sizeof(buf)) - (dlen + 1));
	build(buf, file);
}

void PathName::directoryOf(const PathName& other) {
	char buf[DIRECTORY_BUFFER];
	if (!lang::String::cpy(buf, DIRECTORY_BUFFER, other.m_path))
		throw IOException(lang::Format("Too long path name: \"{0}\"", other.m_path));
	size_t len = std::strlen(buf);
	if (len > 0 && buf[len - 1] == '/')
		buf[--len] = 0;
	if (char* slash = std::strrchr(buf, '/'))
		*slash = 0;
	else
		buf[0] = 0;
	build(buf, nullptr);
}

} // namespace io
