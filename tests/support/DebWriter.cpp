#include "support/DebWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

namespace test {

namespace {

std::string padRight(const std::string& text, size_t width) {
	std::string s = text.substr(0, width);
	s.resize(width, ' ');
	return s;
}

// Copies text into a fixed tar field (NUL-padded; no terminator when full).
void putField(std::string& header, size_t offset, size_t width, const std::string& text) {
	std::memcpy(&header[offset], text.data(), std::min(width, text.size()));
}

std::string octal(unsigned long long value, size_t digits) {
	char buf[32];
	std::snprintf(buf, sizeof buf, "%0*llo", static_cast<int>(digits), value);
	return buf;
}

void makeParents(const std::string& path) {
	for (size_t i = 1; i < path.size(); ++i)
		if (path[i] == '/')
			::mkdir(path.substr(0, i).c_str(), 0755);
}

} // namespace

std::string arArchive(const std::vector<ArMember>& members) {
	std::string out = "!<arch>\n";
	for (const ArMember& m : members) {
		const std::string size = m.sizeText.empty() ? std::to_string(m.data.size()) : m.sizeText;
		out += padRight(m.name, 16);
		out += padRight("0", 12);
		out += padRight("0", 6);
		out += padRight("0", 6);
		out += padRight("100644", 8);
		out += padRight(size, 10);
		out += "`\n";
		out += m.data;
		if (m.data.size() % 2 == 1)
			out += '\n';
	}
	return out;
}

std::string debPackage(const std::string& dataName, const std::string& dataMember) {
	const std::string control = gzip(tarArchive({tarFile("./control", "Package: plimbo-data-test\n")}));
	return arArchive({{"debian-binary", "2.0\n", ""}, {"control.tar.gz", control, ""}, {dataName, dataMember, ""}});
}

TarEntry tarFile(const std::string& name, const std::string& data) {
	TarEntry e;
	e.name = name;
	e.data = data;
	return e;
}

TarEntry tarDir(const std::string& name) {
	TarEntry e;
	e.name = name;
	e.type = '5';
	return e;
}

TarEntry gnuLongName(const std::string& name) {
	TarEntry e;
	e.name = "././@LongLink";
	e.data = name + '\0';
	e.type = 'L';
	return e;
}

std::string tarArchive(const std::vector<TarEntry>& entries, bool endBlocks) {
	std::string out;
	for (const TarEntry& e : entries) {
		std::string h(512, '\0');
		putField(h, 0, 100, e.name);
		putField(h, 100, 8, octal(e.type == '5' ? 0755 : 0644, 7));
		putField(h, 108, 8, octal(0, 7));
		putField(h, 116, 8, octal(0, 7));
		const unsigned long long size = e.size >= 0 ? static_cast<unsigned long long>(e.size) : e.data.size();
		putField(h, 124, 12, octal(size, 11));
		putField(h, 136, 12, octal(0, 11));
		h[156] = e.type;
		putField(h, 157, 100, e.linkName);
		if (e.ustar) {
			putField(h, 257, 6, "ustar");
			putField(h, 263, 2, "00");
			putField(h, 345, 155, e.prefix);
		}
		// Checksum over the header with the checksum field as spaces.
		std::memset(&h[148], ' ', 8);
		unsigned sum = 0;
		for (unsigned char c : h)
			sum += c;
		putField(h, 148, 8, octal(sum, 6));
		h[154] = '\0';
		out += h;
		out += e.data;
		out.append((512 - e.data.size() % 512) % 512, '\0');
	}
	if (endBlocks)
		out.append(1024, '\0');
	return out;
}

std::string gzip(const std::string& data) {
	z_stream s{};
	if (deflateInit2(&s, 6, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK)
		return std::string();
	std::string out(deflateBound(&s, data.size()) + 64, '\0');
	s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
	s.avail_in = static_cast<uInt>(data.size());
	s.next_out = reinterpret_cast<Bytef*>(&out[0]);
	s.avail_out = static_cast<uInt>(out.size());
	const int rc = deflate(&s, Z_FINISH);
	out.resize(s.total_out);
	deflateEnd(&s);
	return rc == Z_STREAM_END ? out : std::string();
}

std::vector<TarEntry> markerEntries(const std::string& namePrefix) {
	return {tarFile(namePrefix + "opt/plimbo/data/bundles/original/level01.hgr", "level"),
	        tarFile(namePrefix + "opt/plimbo/data/resources/models/plimbo.hgr", "ball"),
	        tarFile(namePrefix + "opt/plimbo/data/resources/images/MENU.dat", "menu")};
}

std::string readFile(const std::string& path) {
	std::ifstream in(path, std::ios::binary);
	std::ostringstream ss;
	ss << in.rdbuf();
	return ss.str();
}

bool writeFile(const std::string& path, const std::string& bytes) {
	std::ofstream out(path, std::ios::binary | std::ios::trunc);
	out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
	out.close();
	return static_cast<bool>(out);
}

bool fileExists(const std::string& path) {
	struct stat st;
	return ::lstat(path.c_str(), &st) == 0;
}

TempDir::TempDir() {
	const char* base = std::getenv("TMPDIR");
	std::string templ = std::string(base && *base ? base : "/tmp") + "/lumaroll-test-XXXXXX";
	if (::mkdtemp(&templ[0]))
		m_path = templ;
}

TempDir::~TempDir() {
	if (!m_path.empty())
		removeTree(m_path);
}

void removeTree(const std::string& path) {
	struct stat st;
	if (::lstat(path.c_str(), &st) != 0)
		return;
	if (S_ISDIR(st.st_mode)) {
		::chmod(path.c_str(), 0755);
		if (DIR* dir = ::opendir(path.c_str())) {
			while (dirent* e = ::readdir(dir)) {
				if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
					removeTree(path + "/" + e->d_name);
			}
			::closedir(dir);
		}
		::rmdir(path.c_str());
	} else {
		::unlink(path.c_str());
	}
}

namespace {

// Reads fd to its end into *text (or discards it).
void drain(int fd, std::string* text) {
	char buf[65536];
	for (;;) {
		const ssize_t n = ::read(fd, buf, sizeof buf);
		if (n < 0 && errno == EINTR)
			continue;
		if (n <= 0)
			break;
		if (text)
			text->append(buf, static_cast<size_t>(n));
	}
}

} // namespace

int runCommand(const std::vector<std::string>& argv, std::string* out, std::string* err) {
	if (argv.empty())
		return -1;
	// Output and errors go to temporary files, so neither pipe can fill up.
	char outName[] = "/tmp/lumaroll-cmd-out-XXXXXX";
	char errName[] = "/tmp/lumaroll-cmd-err-XXXXXX";
	const int outFd = ::mkstemp(outName);
	const int errFd = ::mkstemp(errName);
	if (outFd < 0 || errFd < 0)
		return -1;
	::unlink(outName);
	::unlink(errName);
	const pid_t pid = ::fork();
	if (pid == 0) {
		::dup2(outFd, 1);
		::dup2(errFd, 2);
		std::vector<char*> args;
		for (const std::string& a : argv)
			args.push_back(const_cast<char*>(a.c_str()));
		args.push_back(nullptr);
		::execvp(args[0], args.data());
		::_exit(127);
	}
	int status = -1;
	if (pid > 0) {
		while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
		}
	}
	::lseek(outFd, 0, SEEK_SET);
	::lseek(errFd, 0, SEEK_SET);
	drain(outFd, out);
	drain(errFd, err);
	::close(outFd);
	::close(errFd);
	if (pid < 0 || !WIFEXITED(status))
		return -1;
	return WEXITSTATUS(status);
}

std::string sha256sumOf(const std::string& path) {
	std::string out;
	if (runCommand({"sha256sum", path}, &out) != 0)
		return std::string();
	return out.substr(0, out.find(' '));
}

bool writeControlFile(const std::string& root) {
	makeParents(root + "/DEBIAN/control");
	return writeFile(root + "/DEBIAN/control",
	                 "Package: plimbo-data-test\n"
	                 "Version: 1.0\n"
	                 "Architecture: all\n"
	                 "Maintainer: Lumaroll Tests <tests@lumaroll.invalid>\n"
	                 "Description: generated test package\n");
}

bool buildDebFromTree(const std::string& root, const std::string& compression, const std::string& debPath,
                      std::string* log) {
	std::string out, err;
	const int rc = runCommand({"dpkg-deb", "--root-owner-group", "--build", "-Z" + compression, root, debPath},
	                          &out, &err);
	if (log)
		*log = out + err;
	return rc == 0;
}

bool buildDebWithDpkg(const std::string& workDir, const std::map<std::string, std::string>& files,
                      const std::string& compression, const std::string& debPath, std::string* log) {
	const std::string root = workDir + "/tree";
	if (!writeControlFile(root))
		return false;
	for (const auto& file : files) {
		const std::string path = root + "/" + file.first;
		makeParents(path);
		if (!writeFile(path, file.second))
			return false;
	}
	return buildDebFromTree(root, compression, debPath, log);
}

bool haveDpkgDeb() {
	std::string out;
	return runCommand({"dpkg-deb", "--version"}, &out) == 0;
}

} // namespace test
