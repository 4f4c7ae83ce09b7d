// A change that cannot be written to config.ini (here a folder stands in its
// place, as a full disk or a read-only home folder would refuse it too) stays
// in force for the run and is told: a log line for every failed save, and
// one notice for each streak of failures, whichever key or widget saved.
#include "MenuFixture.h"

#include "support/Files.h"

#include <SDL.h>

#include <cerrno>
#include <cstring>
#include <ostream>
#include <unistd.h>

using namespace lumaroll;

namespace {

class UnsavedSettingsTest : public overlaytest::MenuTest {
protected:
	void SetUp() override {
		MenuTest::SetUp();
		if (IsSkipped())
			return;
		// No update check leaves the machine.
		platform.releaseQuery = [](const std::string&, const std::vector<std::string>&) { return std::string(); };
	}

	// What an action printed: standard output (the notices' lines) and
	// standard error (the failures'); both reach the log.
	struct Printed {
		std::string out, err;
	};
	template <typename Action>
	Printed printedBy(Action action) {
		testing::internal::CaptureStdout();
		testing::internal::CaptureStderr();
		action();
		Printed printed;
		printed.out = testing::internal::GetCapturedStdout();
		printed.err = testing::internal::GetCapturedStderr();
		return printed;
	}

	// F11 and the frames that show the window's new size.
	void pressF11() {
		EXPECT_TRUE(overlay.handleEvent(test::keyEvent(true, SDLK_F11)));
		frames(2);
	}

	std::string failureLine() const {
		return "settings: could not save " + configPath() + ": " + std::strerror(EISDIR) + "\n";
	}
	static std::string noticeText() { return std::string("Settings could not be saved: ") + std::strerror(EISDIR); }
	static int count(const std::string& text, const std::string& part) {
		int n = 0;
		for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
			++n;
		return n;
	}
	size_t noticesQueued() { return overlay.notices().queued().size(); }
};

struct SaveCase {
	const char* name;
	bool folderInPlace;
};

void PrintTo(const SaveCase& c, std::ostream* os) {
	*os << c.name;
}

class MenuChangeTest : public UnsavedSettingsTest, public testing::WithParamInterface<SaveCase> {};

// The user's way in: F11, then unticking "Check for updates".
TEST_P(MenuChangeTest, F11AndTheUpdateBoxAreKeptForTheRun) {
	const SaveCase& c = GetParam();
	if (c.folderInPlace) {
		ASSERT_TRUE(test::makeDirs(configPath() + "/kept"));
	}
	openMenu(1280, 720);
	overlay.notices().clear();

	const Printed printed = printedBy([&] {
		pressF11();
		click("general.check_updates");
	});
	if (c.folderInPlace) {
		EXPECT_EQ(printed.err, failureLine() + failureLine()) << "one line for each failed save";
		EXPECT_EQ(printed.out, "notice: " + noticeText() + "\n") << "one notice between them";
		ASSERT_EQ(noticesQueued(), 1u);
		EXPECT_EQ(overlay.notices().queued().front().text, noticeText());
		EXPECT_TRUE(test::isDirectory(configPath() + "/kept"));
	} else {
		EXPECT_EQ(printed.err + printed.out, "") << "a save that works says nothing";
		EXPECT_EQ(noticesQueued(), 0u);
		EXPECT_EQ(config(), "# Lumaroll settings\ngeneral.check_updates=0\ngraphics.fullscreen=1\n");
	}
	// Either way the changes hold for the run.
	EXPECT_EQ(shown("general.check_updates").text, "0");
	EXPECT_EQ(Settings::instance().getString("graphics.fullscreen", ""), "1");
	EXPECT_EQ(Settings::instance().getString("general.check_updates", ""), "0");
}

INSTANTIATE_TEST_SUITE_P(Cases, MenuChangeTest,
						 testing::Values(SaveCase{"folderInPlace", true}, SaveCase{"writable", false}),
						 [](const testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

// A slider step, a combo choice, F11: as long as saves keep failing no
// further notice comes; a save that succeeds ends the streak, and the next
// failure is told again.
TEST_F(UnsavedSettingsTest, OneNoticeForEachStreakOfFailedSaves) {
	ASSERT_TRUE(test::makeDirs(configPath()));
	openMenu(1280, 720);
	selectTab("graphics");
	printedBy([&] { pressF11(); });
	ASSERT_EQ(noticesQueued(), 1u);
	overlay.notices().clear();

	Printed printed = printedBy([&] {
		choose("graphics.fps_limit", "graphics.fps_limit=60");
		const FrameReport::Item s = shown("graphics.render_scale");
		clickAt(int(s.x + s.width * 0.3f), centreY(s));
		pressF11();
	});
	EXPECT_GE(count(printed.err, failureLine()), 3) << printed.err;
	EXPECT_EQ(printed.out, "");
	EXPECT_EQ(noticesQueued(), 0u) << "the streak was told already";
	EXPECT_EQ(Settings::instance().getString("graphics.fps_limit", ""), "60");

	ASSERT_EQ(rmdir(configPath().c_str()), 0);
	printed = printedBy([&] { pressF11(); });
	EXPECT_EQ(printed.err + printed.out, "");
	EXPECT_NE(config().find("graphics.fps_limit=60\n"), std::string::npos) << config();

	ASSERT_EQ(unlink(configPath().c_str()), 0);
	ASSERT_TRUE(test::makeDirs(configPath()));
	printed = printedBy([&] { pressF11(); });
	EXPECT_EQ(printed.err, failureLine());
	EXPECT_EQ(printed.out, "notice: " + noticeText() + "\n") << "a new streak is told again";
	EXPECT_EQ(noticesQueued(), 1u);
}

} // namespace
