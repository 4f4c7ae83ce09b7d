// Writing files: failures are reported, and a file is never left half written.

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "ImportFixture.h"

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

TEST_F(ImportTest, FailedWriteIsAFailureAndKeepsTheOldFile) {
	const std::string big(200000, 'N');
	ASSERT_TRUE(importTar(tarArchive(withMarkers({tarFile("opt/plimbo/data/big.bin", "old contents")}))).ok);
	progress.clear();

	const std::string tar = tarArchive(withMarkers({tarFile("opt/plimbo/data/a.txt", "small"),
	                                                tarFile("opt/plimbo/data/big.bin", big),
	                                                tarFile("opt/plimbo/data/after.txt", "after")}));
	const std::string package = test::debPackage("data.tar", tar);
	ASSERT_TRUE(test::writeFile(deb, package));
	ImportResult r;
	{
		FileSizeLimit limit(100000);
		ASSERT_TRUE(limit.ok());
		r = lumaroll::importDebPackage(deb, dest, recorder());
	}
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, "Could not write " + dest + "/data/big.bin.");
	EXPECT_EQ(r.files, 1);
	EXPECT_EQ(r.bytes, 5);
	ASSERT_EQ(progress.size(), 1u);
	EXPECT_EQ(destFile("data/big.bin"), "old contents");
	EXPECT_FALSE(destHas("data/big.bin.import-part"));
	EXPECT_FALSE(destHas("data/after.txt"));
}

TEST_F(ImportTest, FileThatCannotBeCreatedFails) {
	// A directory where a file should go.
	ASSERT_EQ(::mkdir(dest.c_str(), 0755), 0);
	test::runCommand({"mkdir", "-p", dest + "/data/taken"});
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

// The imported files are flushed to the disk once, after the last of them is
// in place under its own name and before success is reported; a failed flush
// is a failed import.
TEST_F(ImportTest, FilesAreFlushedOnceAfterTheLastIsInPlace) {
	const std::string tar =
	    tarArchive(withMarkers({tarFile("opt/plimbo/data/a.txt", "a"), tarFile("opt/plimbo/data/sub/b.txt", "b")}));
	ASSERT_TRUE(test::writeFile(deb, test::debPackage("data.tar", tar)));
	const struct {
		const char* name;
		bool flushed;
	} cases[] = {{"flush succeeds", true}, {"flush fails", false}};
	for (const auto& c : cases) {
		test::removeTree(dest);
		progress.clear();
		// Per flush: the folder it was given and the files in place by then.
		std::vector<std::pair<std::string, size_t>> flushes;
		lumaroll::ImportOptions options;
		options.flushData = [&](const std::string& folder) {
			const bool allInPlace = destFile("data/a.txt") == "a" && destFile("data/sub/b.txt") == "b" &&
			                        lumaroll::hasGameData(dest) && !destHas("data/sub/b.txt.import-part");
			flushes.emplace_back(folder, allInPlace ? progress.size() : 0);
			return c.flushed;
		};
		const ImportResult r = lumaroll::importDebPackage(deb, dest, recorder(), options);
		EXPECT_EQ(flushes, (std::vector<std::pair<std::string, size_t>>{{dest, 5}})) << c.name;
		EXPECT_EQ(r.ok, c.flushed) << c.name;
		EXPECT_EQ(r.error, c.flushed ? "" : "Could not write " + dest + ".") << c.name;
		EXPECT_EQ(r.files, 5) << c.name;
	}
}
