#include "store/Scores.h"

#include "support/Files.h"
#include "support/NamedPipe.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <ostream>

#include <sys/stat.h>
#include <unistd.h>

using namespace lumaroll;

namespace {

using Scores = std::vector<int>;

class ScoresFileTest : public testing::Test {
protected:
	std::string file() const { return dir / "level2.scores"; }
	test::TempDir dir;
};

struct ReadCase {
	const char* name;
	const char* text; // null: no file
	Scores expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
	*os << c.name;
}

class ReadScoresTest : public ScoresFileTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(ReadScoresTest, Reads) {
	const ReadCase& c = GetParam();
	if (c.text) {
		ASSERT_TRUE(test::writeFile(file(), c.text));
	}
	EXPECT_EQ(readScores(file()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
	Cases, ReadScoresTest,
	testing::Values(ReadCase{"noFile", nullptr, {3500, 2000, 1000}}, ReadCase{"empty", "", {3500, 2000, 1000}},
					ReadCase{"one", "500\n", {500}}, ReadCase{"five", "9\n8\n7\n6\n5\n", {9, 8, 7}},
					ReadCase{"unsorted", "1 3\t2", {1, 3, 2}}, ReadCase{"negative", "-5\n+7\n", {-5, 7}},
					ReadCase{"textFirst", "abc\n100\n", {3500, 2000, 1000}},
					ReadCase{"textAfter", "100\nabc\n50\n", {100}}, ReadCase{"glued", "12abc\n5\n", {12}},
					ReadCase{"intLimits", "2147483647\n-2147483648\n", {2147483647, -2147483648}},
					ReadCase{"tooLargeFirst", "99999999999999999999999\n10\n", {3500, 2000, 1000}},
					ReadCase{"tooLargeLater", "10\n2147483648\n5\n", {10}},
					ReadCase{"tooSmall", "7\n-2147483649\n", {7}}),
	[](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

struct AddCase {
	const char* name;
	const char* text; // null: no file
	int score;
	int place;
	Scores list;
};

void PrintTo(const AddCase& c, std::ostream* os) {
	*os << c.name;
}

class AddHighScoreTest : public ScoresFileTest, public testing::WithParamInterface<AddCase> {};

TEST_P(AddHighScoreTest, InsertsAndWrites) {
	const AddCase& c = GetParam();
	if (c.text) {
		ASSERT_TRUE(test::writeFile(file(), c.text));
	}
	Scores list = {1, 2, 3, 4};
	bool saved = false;
	EXPECT_EQ(addHighScore(file(), c.score, list, saved), c.place);
	EXPECT_TRUE(saved);
	EXPECT_EQ(list, c.list);
	std::string written;
	for (int value : c.list)
		written += std::to_string(value) + "\n";
	EXPECT_EQ(test::readFile(file()), written);
}

INSTANTIATE_TEST_SUITE_P(Cases, AddHighScoreTest,
						 testing::Values(AddCase{"firstRun", nullptr, 2500, 1, {3500, 2500, 2000}},
										 AddCase{"firstRunOutside", nullptr, 999, -1, {3500, 2000, 1000}},
										 AddCase{"equalStaysAbove", "3500\n2000\n1000\n", 2000, 2, {3500, 2000, 2000}},
										 AddCase{"best", "3500\n2000\n1000\n", 4000, 0, {4000, 3500, 2000}},
										 AddCase{"shortListBelow", "500\n", 100, 1, {500, 100}},
										 AddCase{"shortListAbove", "500\n", 600, 0, {600, 500}},
										 AddCase{"fiveNumbers", "9\n8\n7\n6\n5\n", 1, -1, {9, 8, 7}}),
						 [](const testing::TestParamInfo<AddCase>& info) { return info.param.name; });

TEST_F(ScoresFileTest, DefaultAndClearUseTheDataDirectory) {
	test::ScopedEnv env{{"XDG_DATA_HOME", dir.path().c_str()}};
	EXPECT_EQ(scoresPath(), dir / "lumaroll/level2.scores");
	EXPECT_TRUE(scoresAreDefault());
	EXPECT_TRUE(clearScores()); // no file: nothing to remove
	Scores list;
	bool saved = false;
	EXPECT_EQ(addHighScore(100, list, saved), -1);
	EXPECT_TRUE(test::fileExists(scoresPath()));
	EXPECT_TRUE(scoresAreDefault()); // a file holding exactly the default list counts as default
	EXPECT_EQ(addHighScore(5000, list, saved), 0);
	EXPECT_FALSE(scoresAreDefault());
	EXPECT_TRUE(clearScores());
	EXPECT_FALSE(test::fileExists(scoresPath()));
	EXPECT_EQ(readScores(), defaultScores());
}

// Whatever stands at the path goes, a named pipe or a symbolic link too (the
// link, not what it points to), and the default list applies again; only a
// folder is kept, even an empty one, with the reason.
TEST_F(ScoresFileTest, AClearRemovesAnythingButAFolderAndSaysWhyNot) {
	ASSERT_TRUE(test::writeFile(dir / "plain", "x"));
	ASSERT_TRUE(test::writeFile(dir / "kept.scores", "9000\n"));
	enum class Standing { Nothing, File, Pipe, Link, Folder };
	const struct {
		const char* name;
		std::string path;
		Standing standing;
		bool cleared;
		const char* why;
	} cases[] = {
		{"a missing file", file(), Standing::Nothing, true, ""},
		{"below a plain file", dir / "plain/level2.scores", Standing::Nothing, true, ""},
		{"a file", file(), Standing::File, true, ""},
		{"a named pipe", file(), Standing::Pipe, true, ""},
		{"a symbolic link", file(), Standing::Link, true, ""},
		{"an empty folder", file(), Standing::Folder, false, std::strerror(EISDIR)},
	};
	for (const auto& c : cases) {
		switch (c.standing) {
		case Standing::Nothing:
			break;
		case Standing::File:
			ASSERT_TRUE(test::writeFile(c.path, "5000\n")) << c.name;
			break;
		case Standing::Pipe:
			ASSERT_TRUE(test::makeStandIn(test::FileStandIn::NamedPipe, c.path)) << c.name;
			break;
		case Standing::Link:
			ASSERT_EQ(::symlink((dir / "kept.scores").c_str(), c.path.c_str()), 0) << c.name;
			break;
		case Standing::Folder:
			ASSERT_TRUE(test::makeStandIn(test::FileStandIn::Folder, c.path)) << c.name;
			break;
		}
		std::string why;
		testing::internal::CaptureStderr();
		EXPECT_EQ(clearScores(c.path, &why), c.cleared) << c.name;
		const std::string printed = testing::internal::GetCapturedStderr();
		EXPECT_EQ(why, c.why) << c.name;
		EXPECT_EQ(printed, c.cleared ? "" : "scores: could not remove " + c.path + ": " + c.why + "\n") << c.name;
		struct stat st;
		EXPECT_EQ(::lstat(c.path.c_str(), &st) == 0, !c.cleared) << c.name << ": what is kept";
		EXPECT_EQ(test::isDirectory(c.path), c.standing == Standing::Folder) << c.name;
		if (c.cleared) {
			EXPECT_EQ(readScores(c.path), defaultScores()) << c.name;
		}
	}
	EXPECT_EQ(test::readFile(dir / "kept.scores"), "9000\n") << "what the link pointed to";
}

TEST_F(ScoresFileTest, UnwritableFileKeepsResultAndOldFileAndSaysSo) {
	ASSERT_TRUE(test::makeDirs(file())); // a folder in the file's place
	Scores list;
	bool saved = true;
	EXPECT_EQ(addHighScore(file(), 4000, list, saved), 0);
	EXPECT_FALSE(saved);
	EXPECT_EQ(list, (Scores{4000, 3500, 2000}));
	EXPECT_TRUE(test::isDirectory(file()));

	// A data folder below a regular file cannot even be made.
	ASSERT_TRUE(test::writeFile(dir / "plain", "x"));
	saved = true;
	EXPECT_EQ(addHighScore(dir / "plain/data/level2.scores", 2500, list, saved), 1);
	EXPECT_FALSE(saved);
	EXPECT_EQ(list, (Scores{3500, 2500, 2000}));
}

TEST_F(ScoresFileTest, NamedPipeOrFolderInPlaceOfTheFileReadsAsTheDefaultList) {
	for (const test::FileStandIn kind : {test::FileStandIn::NamedPipe, test::FileStandIn::Folder}) {
		SCOPED_TRACE(test::standInName(kind));
		test::TempDir here;
		const std::string path = here / "level2.scores";
		ASSERT_TRUE(test::makeStandIn(kind, path));
		Scores read, list;
		bool saved = false;
		int place = -2;
		test::runWithoutWaiting({path}, [&] {
			read = readScores(path);
			place = addHighScore(path, 2500, list, saved);
		});
		EXPECT_EQ(read, defaultScores());
		// A finished run still gets its place; the new list replaces a pipe
		// (a name in the folder like any other) but cannot replace a folder.
		EXPECT_EQ(place, 1);
		EXPECT_EQ(list, (Scores{3500, 2500, 2000}));
		EXPECT_EQ(saved, kind == test::FileStandIn::NamedPipe);
		if (saved) {
			EXPECT_EQ(test::readFile(path), "3500\n2500\n2000\n");
		}
	}
}

} // namespace
