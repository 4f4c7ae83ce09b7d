// The real program's log against the order of its writes: a level whose
// library objects are all missing makes the engine print each failure's
// exception on standard output and the loader report it on standard error
// right after, one object after the other on the main thread.
#include "ProgramFixture.h"
#include "support/Files.h"

#include <gtest/gtest.h>


namespace {

class LogOrderProgramTest : public apptest::ProgramTest {};

TEST_F(LogOrderProgramTest, TheLogHoldsTheLinesOfBothStreamsInTheOrderTheyWereWritten) {
	const int kObjects = 12;
	test::SceneWriter scene = test::testLevelScene();
	for (int i = 0; i < kObjects; ++i) {
		const std::string name = "O_box" + std::to_string(i);
		scene.dummy(name);
		scene.userProperty(name, "load=missing" + std::to_string(i));
	}
	const std::string level = test::writeTestLevel(dir.path(), scene);
	ASSERT_TRUE(test::makeDirs(dir / "data/resources/models"));
	// No update check, whose thread could print between the lines of the level load.
	ASSERT_TRUE(test::writeFile(dir / "config/lumaroll/config.ini", "general.check_updates=0\n"));

	const test::ProcessResult r = run({level, "--frames", "1"});
	ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
	const std::vector<std::string> log = test::textLines(test::readFile(dir / "userdata/lumaroll/lumaroll.log"));
	const std::vector<std::string> out = test::textLines(r.out), err = test::textLines(r.err);

	// Every line of each stream, in that stream's order, and nothing else.
	size_t o = 0, e = 0;
	for (const std::string& line : log) {
		if (o < out.size() && line == out[o])
			++o;
		else if (e < err.size() && line == err[e])
			++e;
		else
			ADD_FAILURE() << "logged line out of order or not printed: " << line;
	}
	EXPECT_EQ(o, out.size());
	EXPECT_EQ(e, err.size());

	// Across the streams: each failure's exception line, then its report, then the count.
	int reports = 0;
	size_t last = 0;
	for (size_t i = 0; i < log.size(); ++i) {
		const std::string& line = log[i];
		if (line.rfind("library object 'O_box", 0) != 0)
			continue;
		++reports;
		last = i;
		const size_t open = line.find("): Failed to open ");
		ASSERT_NE(open, std::string::npos) << line;
		ASSERT_GE(i, 1u);
		EXPECT_EQ(log[i - 1], "Created Throwable( \"" + line.substr(open + 3) + "\" )") << line;
	}
	EXPECT_EQ(reports, kObjects) << r.err;
	ASSERT_LT(last + 1, log.size());
	EXPECT_EQ(log[last + 1], "library objects: 0 of " + std::to_string(kObjects) + " loaded");
}

} // namespace
