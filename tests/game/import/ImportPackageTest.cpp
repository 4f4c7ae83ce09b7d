// The package file and its ar members: reading, digest and the failures that
// come before any file is written.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ImportFixture.h"

using lumaroll::ImportResult;
using lumaroll::importDebPackage;
using test::ArMember;
using test::tarFile;

namespace {

const char kCannotRead[] = "Could not read the file.";
const char kNotDeb[] = "The file is not a .deb package.";
const char kNoData[] = "The package contains no data (data.tar).";
const char kDamaged[] = "The package is incomplete or damaged.";

std::string validTar() {
	return test::tarArchive(test::markerEntries());
}

} // namespace

TEST_F(ImportTest, MissingFileCannotBeRead) {
	const ImportResult r = importDebPackage(tmp / "missing.deb", dest, nullptr);
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, kCannotRead);
	EXPECT_TRUE(r.sha256.empty());
	EXPECT_FALSE(test::fileExists(dest));
}

// A directory opens for reading and its "size" is meaningless; it must not be
// taken for a package.
TEST_F(ImportTest, DirectoryCannotBeRead) {
	const ImportResult r = importDebPackage(tmp.path(), dest, nullptr);
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, kCannotRead);
}

// A file larger than the package cap is refused before anything is allocated
// (a sparse file: no disk space is used).
TEST_F(ImportTest, FileOverTheSizeCapCannotBeRead) {
	const int fd = ::open(deb.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	ASSERT_GE(fd, 0);
	ASSERT_EQ(::write(fd, "!<arch>\n", 8), 8);
	ASSERT_EQ(::ftruncate(fd, lumaroll::kMaxPackageSize + 1), 0);
	::close(fd);
	const ImportResult r = importDebPackage(deb, dest, nullptr);
	EXPECT_EQ(r.error, kCannotRead);

	lumaroll::ImportOptions small;
	small.maxPackageSize = 1000;
	ASSERT_TRUE(test::writeFile(deb, test::debPackage("data.tar", validTar())));
	EXPECT_EQ(importDebPackage(deb, dest, nullptr, small).error, kCannotRead);
}

TEST_F(ImportTest, UnreadableKindsOfFileCannotBeRead) {
	EXPECT_EQ(importDebPackage("/dev/null", dest, nullptr).error, kCannotRead);
	ASSERT_EQ(::mkfifo((tmp / "fifo").c_str(), 0644), 0);
	EXPECT_EQ(importDebPackage(tmp / "fifo", dest, nullptr).error, kCannotRead);
}

TEST_F(ImportTest, NotAnArArchive) {
	const struct {
		const char* name;
		std::string bytes;
	} cases[] = {
		{"empty file", ""},
		{"magic cut short", "!<arch>"},
		{"magic misspelt", "!<arch\n>plus more bytes"},
		{"a zip file", "PK\x03\x04 a zip file, not a package"},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.name);
		const ImportResult r = importBytes(c.bytes);
		EXPECT_FALSE(r.ok);
		EXPECT_EQ(r.error, kNotDeb);
		EXPECT_TRUE(r.sha256.empty());
	}
}

TEST_F(ImportTest, NoDataMember) {
	const struct {
		const char* name;
		std::string bytes;
	} cases[] = {
		{"magic only", "!<arch>\n"},
		{"no whole member header", std::string("!<arch>\n") + std::string(59, ' ')},
		{"control members only", test::arArchive({{"debian-binary", "2.0\n", ""}, {"control.tar.gz", "xx", ""}})},
		{"a member named data", test::arArchive({{"data", "tar", ""}})},
		{"a member without a name", test::arArchive({{"", "anonymous", ""}})},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.name);
		const ImportResult r = importBytes(c.bytes);
		EXPECT_EQ(r.error, kNoData);
		EXPECT_EQ(r.sha256.size(), 64u) << "an ar archive is digested";
	}
	EXPECT_FALSE(test::fileExists(dest)) << "nothing is created before the data member is found";
}

TEST_F(ImportTest, OtherCompressionsAreNamed) {
	for (const char* name : {"data.tar.xz", "data.tar.zst", "data.tar.bz2", "data.tar.lzma", "data.tarx"}) {
		const std::string bytes = test::arArchive(
			{{"debian-binary", "2.0\n", ""}, {"control.tar.xz", "control", ""}, {name, "compressed", ""}});
		EXPECT_EQ(importBytes(bytes).error,
				  std::string("Unsupported compression (") + name + "); expected data.tar.gz.");
	}
}

TEST_F(ImportTest, DamagedMemberSizes) {
	const struct {
		const char* name;
		std::string bytes;
	} cases[] = {
		{"negative size", test::arArchive({{"debian-binary", "2.0\n", "-4"}})},
		{"size past the end", test::arArchive({{"debian-binary", "2.0\n", "5000"}})},
		{"data member past the end",
		 test::arArchive({{"debian-binary", "2.0\n", ""}, {"data.tar", validTar(), "99999999"}})},
	};
	for (const auto& c : cases)
		EXPECT_EQ(importBytes(c.bytes).error, kDamaged) << c.name;
}

// Size fields read like strtoll: blanks first, digits until the first other
// byte, no digits at all is zero.
TEST_F(ImportTest, SizeFieldParsing) {
	const std::string tar = validTar();
	std::string bytes =
		test::arArchive({{"empty", "", "x123"}, {"data.tar", tar, "  " + std::to_string(tar.size()) + "zz"}});
	const ImportResult r = importBytes(bytes);
	EXPECT_TRUE(r.ok) << r.error;
	EXPECT_EQ(r.files, 3);
}

TEST_F(ImportTest, MemberNamesWithPaddingAndSlashes) {
	for (const char* name : {"data.tar.gz", "data.tar.gz/", "data.tar.gz  /", "data.tar.gz/ /"}) {
		test::removeTree(dest);
		const std::string bytes = test::arArchive({{"debian-binary", "2.0\n", ""}, {name, test::gzip(validTar()), ""}});
		const ImportResult r = importBytes(bytes);
		EXPECT_TRUE(r.ok) << name << ": " << r.error;
	}
	// A NUL ends the name; what follows it is not part of it.
	const std::string bytes = test::arArchive({{std::string("data.tar\0junk", 13), validTar(), ""}});
	EXPECT_TRUE(importBytes(bytes).ok);
}

TEST_F(ImportTest, OddMemberIsFollowedByOnePaddingByte) {
	const std::string bytes = test::arArchive(
		{{"debian-binary", "2.0\n", ""}, {"odd", "abc", ""}, {"data.tar.gz", test::gzip(validTar()), ""}});
	const ImportResult r = importBytes(bytes);
	EXPECT_TRUE(r.ok) << r.error;
	EXPECT_EQ(r.files, 3);
}

TEST_F(ImportTest, MembersAfterTheDataMemberAreNotRead) {
	std::string bytes = test::arArchive({{"data.tar", validTar(), ""}});
	bytes += "garbage that is no member header";
	EXPECT_TRUE(importBytes(bytes).ok);
}

TEST_F(ImportTest, DamagedGzipDataMember) {
	const std::string gz = test::gzip(validTar());
	EXPECT_EQ(importBytes(test::debPackage("data.tar.gz", gz.substr(0, gz.size() - 10))).error,
			  "corrupted compressed data");
	EXPECT_EQ(importBytes(test::debPackage("data.tar.gz", "plain text")).error, "corrupted compressed data");
	// The whole member is checked before anything is written, even when the
	// damage lies after complete game files.
	const std::string big =
		test::gzip(test::tarArchive(withMarkers({tarFile("opt/plimbo/data/big", std::string(3 << 20, 'b'))})));
	const struct {
		const char* name;
		size_t fromEnd;
	} trailerFields[] = {{"CRC", 6}, {"length", 2}};
	for (const auto& field : trailerFields) {
		std::string damaged = big;
		damaged[big.size() - field.fromEnd] ^= 0x20;
		const ImportResult r = importBytes(test::debPackage("data.tar.gz", damaged));
		EXPECT_EQ(r.error, "corrupted compressed data") << field.name;
		EXPECT_EQ(r.files, 0) << field.name;
		EXPECT_FALSE(test::fileExists(dest)) << field.name;
	}
}

TEST_F(ImportTest, OnlyTheFirstGzipMemberIsRead) {
	const std::string first = test::gzip(test::tarArchive(test::markerEntries(), false));
	const std::string second = test::gzip(test::tarArchive({tarFile("opt/plimbo/data/second.txt", "2")}));
	const ImportResult r = importBytes(test::debPackage("data.tar.gz", first + second));
	EXPECT_TRUE(r.ok) << r.error;
	EXPECT_EQ(r.files, 3);
	EXPECT_FALSE(destHas("data/second.txt"));
}

TEST_F(ImportTest, GzipBombIsCutAtTheDataCap) {
	ASSERT_TRUE(test::writeFile(deb, test::debPackage("data.tar.gz", test::gzip(std::string(32 << 20, 'x')))));
	lumaroll::ImportOptions options;
	options.maxDataSize = 4 << 20;
	const ImportResult r = importDebPackage(deb, dest, nullptr, options);
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, "The package data is too large.");
	EXPECT_EQ(r.files, 0);
	EXPECT_FALSE(test::fileExists(dest));
}

TEST_F(ImportTest, DigestIsThatOfTheWholeFile) {
	const ImportResult r = importTar(validTar());
	ASSERT_TRUE(r.ok) << r.error;
	EXPECT_EQ(r.sha256, test::sha256sumOf(deb));
	EXPECT_FALSE(r.digestKnown) << "an unknown package still imports";

	// A failure after the digest still reports it.
	const ImportResult xz = importBytes(test::debPackage("data.tar.xz", "x"));
	EXPECT_EQ(xz.sha256, test::sha256sumOf(deb));
}

TEST_F(ImportTest, KnownDigestIsRecognised) {
	ASSERT_TRUE(test::writeFile(deb, test::debPackage("data.tar", validTar())));
	const std::vector<std::string> known{std::string(64, '0'), test::sha256sumOf(deb)};
	lumaroll::ImportOptions options;
	options.knownDigests = &known;
	const ImportResult r = importDebPackage(deb, dest, nullptr, options);
	EXPECT_TRUE(r.ok) << r.error;
	EXPECT_TRUE(r.digestKnown);

	const std::vector<std::string> other{std::string(64, 'f')};
	options.knownDigests = &other;
	EXPECT_FALSE(importDebPackage(deb, dest, nullptr, options).digestKnown);
}

TEST(KnownPackageDigests, HoldsOneEntryThatIsEmptyOrADigest) {
	const auto& digests = lumaroll::knownPackageDigests();
	ASSERT_EQ(digests.size(), 1u);
	const std::string& d = digests[0];
	EXPECT_TRUE(d.empty() || (d.size() == 64 && d.find_first_not_of("0123456789abcdef") == std::string::npos)) << d;
	EXPECT_EQ(&digests, &lumaroll::knownPackageDigests());
}

TEST_F(ImportTest, DestinationThatCannotBeAFolder) {
	ASSERT_TRUE(test::writeFile(dest, "a file where the folder should be"));
	const ImportResult r = importTar(validTar());
	EXPECT_EQ(r.error, "Could not create the folder " + dest + ".");
}
