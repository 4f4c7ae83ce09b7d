// The real program on a writer-made level with the menu files: the start
// logo over the menu level, and nothing over the level without "MENU.dat".
#include "game/app/TestMenuData.h"
#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gr/ImageFile.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class MenuProgramTest : public testing::Test {
protected:
	void SetUp() override { ASSERT_FALSE(test::lumarollBinary().empty()) << "the lumaroll program was not found"; }

	// Runs "lumaroll LEVEL --menu --frames 5 --screenshot out.png" in a fresh
	// folder below the test's own, at 5 frames a second, so that frames 2 to 5
	// each take the 0.1 s clamp; returns the screenshot.
	lumaroll::ImageData menuLevelShot(const std::string& name, const apptest::MenuDataOptions* menuData) {
		const std::string root = dir / name;
		const std::string level = test::writeTestLevel(root);
		if (menuData)
			apptest::writeMenuData(root + "/data", *menuData);
		test::writeFile(root + "/config/lumaroll/config.ini", "# Lumaroll settings\ngraphics.fps_limit=5\n");
		test::makeDirs(root + "/work");
		test::ProcessOptions o;
		o.args = {level, "--menu", "--frames", "5", "--screenshot", "out.png"};
		o.env = test::programEnvironment(root);
		o.workDir = root + "/work";
		const test::ProcessResult r = test::runProcess(test::lumarollBinary(), o);
		EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
		EXPECT_EQ(r.err.find("ui: "), std::string::npos) << r.err;
		lumaroll::ImageData shot;
		EXPECT_TRUE(lumaroll::loadImageFile(root + "/work/out.png", shot)) << name;
		return shot;
	}

	// The RGB of the pixel at (x, y), y from the top.
	static std::string rgbAt(const lumaroll::ImageData& image, int x, int y) {
		if (image.levels.empty())
			return "none";
		const auto& level = image.levels[0];
		const uint8_t* p = &level.pixels[(size_t(y) * size_t(level.width) + size_t(x)) * 4];
		return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
	}

	test::TempDir dir;
};

TEST_F(MenuProgramTest, LogoIsOpaqueOverTheMenuLevel) {
	const apptest::MenuDataOptions all;
	const lumaroll::ImageData shot = menuLevelShot("menu", &all);
	ASSERT_FALSE(shot.levels.empty());
	// The logo (magenta, 300 x 100 around its pivot) over the level's green quad.
	EXPECT_EQ(rgbAt(shot, 400, 240), "255,0,255");
	EXPECT_EQ(rgbAt(shot, 251, 191), "255,0,255");
	EXPECT_EQ(rgbAt(shot, 400, 295), "0,255,0");
}

TEST_F(MenuProgramTest, WithoutMenuAtlasTheLevelIsDrawnAlone) {
	apptest::MenuDataOptions noMenu;
	noMenu.menu = false;
	const lumaroll::ImageData withoutMenu = menuLevelShot("nomenu", &noMenu);
	const lumaroll::ImageData plain = menuLevelShot("plain", nullptr);
	ASSERT_FALSE(withoutMenu.levels.empty());
	ASSERT_FALSE(plain.levels.empty());
	EXPECT_EQ(rgbAt(withoutMenu, 400, 240), "0,255,0");
	EXPECT_TRUE(withoutMenu.levels[0].pixels == plain.levels[0].pixels) << "the screenshots differ";
}

} // namespace
