#include "support/DebWriter.h"

#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/ProcessRunner.h"

#include <cstdio>
#include <cstring>

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
	std::vector<TarEntry> entries;
	for (const GameDataMarker& m : gameDataMarkers())
		entries.push_back(tarFile(namePrefix + "opt/plimbo/" + m.path, m.text));
	return entries;
}

std::string sha256sumOf(const std::string& path) {
	std::string out;
	if (runCommand({"sha256sum", path}, &out) != 0)
		return std::string();
	return out.substr(0, out.find(' '));
}

bool writeControlFile(const std::string& root) {
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
	const int rc =
		runCommand({"dpkg-deb", "--root-owner-group", "--build", "-Z" + compression, root, debPath}, &out, &err);
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
