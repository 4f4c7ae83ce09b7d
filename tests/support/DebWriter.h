#ifndef SUPPORT_DEBWRITER_H
#define SUPPORT_DEBWRITER_H

// Writers for data packages: ar archives, ustar tar archives (GNU long names,
// ustar prefix), gzip members, and real packages built by dpkg-deb from a
// temporary tree. Malformed members are made by setting the raw fields.

#include <map>
#include <string>
#include <vector>

namespace test {

// One ar member. name is written as given, padded with spaces to 16 bytes
// (so "data.tar.gz/" or a name with trailing blanks can be written).
// sizeText, when set, replaces the decimal size field (e.g. "-5" or a size
// larger than the data, for damaged packages).
struct ArMember {
	std::string name;
	std::string data;
	std::string sizeText;
};

// "!<arch>\n" and the members, each followed by one '\n' when its size is odd.
std::string arArchive(const std::vector<ArMember>& members);

// The usual three members: debian-binary, control.tar.gz and the data member.
std::string debPackage(const std::string& dataName, const std::string& dataMember);

// One tar entry. type is the type flag ('0', '5', 'L', '2', ...). prefix goes
// into the ustar prefix field. size, when >= 0, replaces the size written in
// the header (the data is still written as given).
struct TarEntry {
	std::string name;
	std::string data;
	char type = '0';
	std::string prefix;
	std::string linkName;
	long long size = -1;
	bool ustar = true;
};

// A regular file, a directory, and a GNU long-name entry for the next entry.
TarEntry tarFile(const std::string& name, const std::string& data);
TarEntry tarDir(const std::string& name);
TarEntry gnuLongName(const std::string& name);

// The tar archive: each entry's 512-byte header and data padded to 512 bytes,
// then two zero blocks when endBlocks is set.
std::string tarArchive(const std::vector<TarEntry>& entries, bool endBlocks = true);

// One gzip member of data (deflate level 6).
std::string gzip(const std::string& data);

// The three files that make a folder count as installed game data
// (test::gameDataMarkers), below "opt/plimbo/" as the package keeps them.
std::vector<TarEntry> markerEntries(const std::string& namePrefix = "");

// The first word of `sha256sum path`, or empty when it could not run.
std::string sha256sumOf(const std::string& path);

// Builds a package with `dpkg-deb --build -Z<compression>` (gzip, none, xz)
// from a tree holding DEBIAN/control and the given files (path inside the
// package -> contents). Returns false with the tool's output in *log.
bool buildDebWithDpkg(const std::string& workDir, const std::map<std::string, std::string>& files,
					  const std::string& compression, const std::string& debPath, std::string* log = nullptr);

// Writes DEBIAN/control into root (package "plimbo-data-test").
bool writeControlFile(const std::string& root);
// Runs `dpkg-deb --root-owner-group --build -Z<compression> root debPath`.
bool buildDebFromTree(const std::string& root, const std::string& compression, const std::string& debPath,
					  std::string* log = nullptr);

// True when dpkg-deb can be run.
bool haveDpkgDeb();

} // namespace test

#endif
