#include <io/RegularFile.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

int openRegularFile(const char* path, const char** why) {
	// O_NONBLOCK: opening a named pipe returns at once instead of waiting for
	// a writer; O_NOCTTY: a terminal device must not become ours.
	const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
	if (fd < 0) {
		if (why)
			*why = std::strerror(errno);
		return -1;
	}
	struct stat info;
	if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
		::close(fd);
		if (why)
			*why = "not a regular file";
		return -1;
	}
	const int flags = ::fcntl(fd, F_GETFL);
	if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
		if (why)
			*why = std::strerror(errno);
		::close(fd);
		return -1;
	}
	return fd;
}

} // namespace io
