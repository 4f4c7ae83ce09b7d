// Writing files: failures are reported, and a file is never left half written.

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "ImportFixture.h"

#include "files/DataLayout.h"

using lumaroll::ImportResult;
using test::tarArchive;
using test::tarFile;

namespace {

// Limits the size of files this process may write (a stand-in for a full
// disk: writes past the limit fail with EFBIG) until destroyed.
class FileSizeLimit {
public:
	explicit FileSizeLimit(rlim_t bytes) {
		m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
		::getrlimit(RLIMIT_FSIZE, &m_old);
		rlimit limited = m_old;
		limited.rlim_cur = bytes;
		m_ok = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
	}
	~FileSizeLimit() {
		::setrlimit(RLIMIT_FSIZE, &m_old);
		std::signal(SIGXFSZ, m_oldHandler);
	}
	bool ok() const { return m_ok; }

private:
	rlimit m_old{};
	void (*m_oldHandler)(int) = nullptr;
	bool m_ok = false;
};

} // namespace

// A re-import that fails: the files it wrote stay, and the markers, which
// come first in the package and were written whole, are put in place.
TEST_F(ImportTest, FailedWriteIsAFailureAndKeepsTheOldFile) {
	const std::string big(200000, 'N');
	ASSERT_TRUE(importTar(tarArchive(withMarkers({tarFile("opt/plimbo/data/big.bin", "old contents")}))).ok);
	progress.clear();

	std::vector<test::TarEntry> entries = test::markerEntries();
	for (const auto& e : {tarFile("opt/plimbo/data/a.txt", "small"), tarFile("opt/plimbo/data/big.bin", big),
						  tarFile("opt/plimbo/data/after.txt", "after")})
		entries.push_back(e);
	ASSERT_TRUE(test::writeFile(deb, test::debPackage("data.tar", tarArchive(entries))));
	ImportResult r;
	{
		FileSizeLimit limit(100000);
		ASSERT_TRUE(limit.ok());
		r = lumaroll::importDebPackage(deb, dest, recorder());
	}
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, "Could not write " + dest + "/data/big.bin.");
	EXPECT_EQ(r.files, 4);
	EXPECT_EQ(r.bytes, 5 + 4 + 4 + 5);
	ASSERT_EQ(progress.size(), 4u);
	EXPECT_EQ(destFile("data/big.bin"), "old contents");
	EXPECT_EQ(destFile("data/a.txt"), "small");
	EXPECT_FALSE(destHas("data/big.bin.import-part"));
	EXPECT_FALSE(destHas("data/after.txt"));
	EXPECT_TRUE(lumaroll::hasGameData(dest));
	for (const char* marker : lumaroll::kInstalledMarkers)
		EXPECT_FALSE(destHas(std::string(marker) + ".import-part")) << marker;
}

TEST_F(ImportTest, FileThatCannotBeCreatedFails) {
	// A directory where a file should go.
	ASSERT_EQ(::mkdir(dest.c_str(), 0755), 0);
	ASSERT_TRUE(test::makeDirs(dest + "/data/taken"));
	const ImportResult r = importTar(tarArchive(withMarkers({tarFile("opt/plimbo/data/taken", "file")})));
	EXPECT_EQ(r.error, "Could not write " + dest + "/data/taken.");
	EXPECT_FALSE(destHas("data/taken.import-part"));

	// A file where a folder should go: the folder cannot be made, so the file
	// below it cannot be written.
	test::removeTree(dest);
	const ImportResult below = importTar(tarArchive(
		withMarkers({tarFile("opt/plimbo/data/plain", "file"), tarFile("opt/plimbo/data/plain/inner.txt", "x")})));
	EXPECT_EQ(below.error, "Could not write " + dest + "/data/plain/inner.txt.");
	EXPECT_EQ(below.files, 1);
}

TEST_F(ImportTest, FileNameEndingInSlashIsNotWritten) {
	const ImportResult r = importTar(tarArchive(withMarkers({tarFile("opt/plimbo/data/dir/", "x")})));
	EXPECT_EQ(r.error, "Could not write " + dest + "/data/dir/.");
}

// The markers are put in place after every other file is in place and
// flushed, and flushed themselves before success is reported; over an earlier
// installation they are withdrawn, and that flushed, before anything is
// written. A failed flush is a failed import. After it the earlier markers
// come back once what the import wrote is flushed (a first import leaves
// none); when that flush fails too, none comes back.
TEST_F(ImportTest, MarkersArePlacedAfterTheOtherFilesAreFlushed) {
	std::vector<test::TarEntry> entries = test::markerEntries();
	entries.push_back(tarFile("opt/plimbo/data/a.txt", "new"));
	entries.push_back(tarFile("opt/plimbo/data/sub/b.txt", "b"));
	const std::string package = test::debPackage("data.tar", tarArchive(entries));
	const std::string earlier =
		test::debPackage("data.tar", tarArchive(withMarkers({tarFile("opt/plimbo/data/a.txt", "old")})));
	const int kNone = 99;
	const struct {
		const char* name;
		bool reimport;
		int failingFrom; // the first flush that fails (kNone: none fails)
		int failingTo;	 // the last one
		std::vector<std::string> flushes;
		bool installedAfter;
	} cases[] = {
		{"first import", false, kNone, kNone, {"a=new b=b", "a=new b=b installed"}, true},
		{"re-import", true, kNone, kNone, {"a=old b=", "a=new b=b", "a=new b=b installed"}, true},
		// Nothing was written yet: the earlier installation stays whole.
		{"withdrawal's flush fails", true, 0, 0, {"a=old b=", "a=old b= installed"}, true},
		{"first import, files' flush fails", false, 0, 0, {"a=new b=b"}, false},
		{"markers' flush fails", false, 1, 1, {"a=new b=b", "a=new b=b installed"}, false},
		{"re-import, files' flush fails",
		 true,
		 1,
		 1,
		 {"a=old b=", "a=new b=b", "a=new b=b", "a=new b=b installed"},
		 true},
		{"re-import, markers' flush fails",
		 true,
		 2,
		 2,
		 {"a=old b=", "a=new b=b", "a=new b=b installed", "a=new b=b installed"},
		 true},
		// What the import wrote cannot be vouched for: no marker claims it.
		{"re-import, every flush after the withdrawal fails",
		 true,
		 1,
		 kNone,
		 {"a=old b=", "a=new b=b", "a=new b=b"},
		 false},
	};
	for (const auto& c : cases) {
		test::removeTree(dest);
		if (c.reimport) {
			ASSERT_TRUE(test::writeFile(deb, earlier));
			ASSERT_TRUE(lumaroll::importDebPackage(deb, dest, nullptr).ok) << c.name;
		}
		ASSERT_TRUE(test::writeFile(deb, package));
		// Per flush: the folder it was given and what was in place by then.
		std::vector<std::string> flushes;
		lumaroll::ImportOptions options;
		options.flushData = [&](const std::string& folder) {
			EXPECT_EQ(folder, dest) << c.name;
			flushes.push_back("a=" + destFile("data/a.txt") + " b=" + destFile("data/sub/b.txt") +
							  (lumaroll::hasGameData(dest) ? " installed" : ""));
			const int index = int(flushes.size()) - 1;
			return index < c.failingFrom || index > c.failingTo;
		};
		const ImportResult r = lumaroll::importDebPackage(deb, dest, nullptr, options);
		EXPECT_EQ(flushes, c.flushes) << c.name;
		EXPECT_EQ(r.ok, c.failingFrom == kNone) << c.name;
		EXPECT_EQ(r.error, c.failingFrom == kNone ? "" : "Could not write " + dest + ".") << c.name;
		EXPECT_EQ(lumaroll::hasGameData(dest), c.installedAfter) << c.name;
		for (const char* marker : lumaroll::kInstalledMarkers)
			EXPECT_FALSE(destHas(std::string(marker) + ".import-part")) << c.name << ": " << marker;
	}
}
