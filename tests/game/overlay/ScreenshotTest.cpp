// F2 screenshots in-process: the file, its pixels and name, and writes that fail.
#include "OverlayFixture.h"

#include "files/Paths.h"
#include "overlay/Screenshot.h"
#include "support/Files.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <cctype>
#include <random>

using namespace lumaroll;

namespace {

std::vector<std::string> filesIn(const std::string& folder) {
	std::vector<std::string> names;
	if (DIR* d = opendir(folder.c_str())) {
		while (const dirent* e = readdir(d)) {
			if (e->d_name[0] != '.')
				names.push_back(e->d_name);
		}
		closedir(d);
	}
	return names;
}

class ScreenshotTest : public overlaytest::OverlayTest {
protected:
	// Paints the top half red and the bottom half blue, then F2 and a frame;
	// returns what the frame printed.
	std::string shoot(int width, int height) {
		glDisable(GL_SCISSOR_TEST);
		glClearColor(0.f, 0.f, 1.f, 1.f);
		glClear(GL_COLOR_BUFFER_BIT);
		glEnable(GL_SCISSOR_TEST);
		glScissor(0, height / 2, width, height - height / 2);
		glClearColor(1.f, 0.f, 0.f, 1.f);
		glClear(GL_COLOR_BUFFER_BIT);
		glDisable(GL_SCISSOR_TEST);
		EXPECT_TRUE(overlay.handleEvent(test::keyEvent(true, SDLK_F2)));
		testing::internal::CaptureStdout();
		overlay.render();
		return testing::internal::GetCapturedStdout();
	}

	std::string pictures() const { return dir / "pictures/Lumaroll"; }
};

TEST_F(ScreenshotTest, F2SavesTheWindowAsAnRgbPngWithItsNotice) {
	ASSERT_TRUE(start(96, 64));
	const std::string out = shoot(96, 64);
	const std::string first = "screenshot: ", second = "\nnotice: Screenshot saved\n";
	ASSERT_EQ(out.rfind(first, 0), 0u) << out;
	ASSERT_NE(out.find(second), std::string::npos) << out;
	const std::string path = out.substr(first.size(), out.find(second) - first.size());
	const std::string name = path.substr(path.rfind('/') + 1);
	ASSERT_EQ(name.size(), std::string("lumaroll-YYYYmmdd-HHMMSS.png").size()) << name;
	for (size_t i : {9u, 10u, 11u, 12u, 13u, 14u, 15u, 16u, 18u, 19u, 20u, 21u, 22u, 23u})
		EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(name[i]))) << name;
	EXPECT_EQ(name.substr(0, 9), "lumaroll-");
	EXPECT_EQ(name[17], '-');
	EXPECT_EQ(path.rfind(pictures() + "/", 0), 0u) << "the folder is created below $XDG_PICTURES_DIR";
	const std::string png = test::readFile(path);
	ASSERT_GT(png.size(), 26u);
	EXPECT_EQ(png.substr(12, 4), "IHDR");
	EXPECT_EQ(int(png[24]), 8) << "8 bits per channel";
	EXPECT_EQ(int(png[25]), 2) << "colour type RGB";
	int w = 0, h = 0, channels = 0;
	unsigned char* rgb = stbi_load(path.c_str(), &w, &h, &channels, 3);
	ASSERT_NE(rgb, nullptr);
	EXPECT_EQ(w, 96);
	EXPECT_EQ(h, 64);
	EXPECT_EQ(channels, 3);
	EXPECT_EQ(rgb[0], 255) << "the top row is red";
	EXPECT_EQ(rgb[2], 0);
	const size_t bottom = (size_t(h - 1) * size_t(w)) * 3;
	EXPECT_EQ(rgb[bottom], 0) << "the bottom row is blue";
	EXPECT_EQ(rgb[bottom + 2], 255);
	stbi_image_free(rgb);
	EXPECT_FALSE(overlay.screenshotRequested());
}

TEST_F(ScreenshotTest, AOnePixelWindowGivesAOnePixelPicture) {
	ASSERT_TRUE(start(1, 1));
	const std::string out = shoot(1, 1);
	const std::vector<std::string> files = filesIn(pictures());
	ASSERT_EQ(files.size(), 1u) << out;
	int w = 0, h = 0, channels = 0;
	unsigned char* rgb = stbi_load((pictures() + "/" + files[0]).c_str(), &w, &h, &channels, 3);
	ASSERT_NE(rgb, nullptr);
	EXPECT_EQ(w, 1);
	EXPECT_EQ(h, 1);
	stbi_image_free(rgb);
}

TEST_F(ScreenshotTest, PicturesOfTheSameSecondNeverReplaceEachOther) {
	const std::vector<unsigned char> rgb(4 * 4 * 3, 128);
	const std::time_t when = std::time(nullptr);
	std::vector<std::string> paths;
	for (int i = 0; i < 3; ++i) {
		const ScreenshotFile file = writeScreenshotPng(rgb, 4, 4, pictures(), when);
		ASSERT_TRUE(file.written);
		paths.push_back(file.path);
	}
	EXPECT_EQ(paths[1], paths[0].substr(0, paths[0].size() - 4) + "-2.png");
	EXPECT_EQ(paths[2], paths[0].substr(0, paths[0].size() - 4) + "-3.png");
	EXPECT_EQ(filesIn(pictures()).size(), 3u) << "no temporary files are left";

	ASSERT_TRUE(start(32, 32));
	shoot(32, 32);
	shoot(32, 32);
	EXPECT_EQ(filesIn(pictures()).size(), 5u);
}

TEST_F(ScreenshotTest, AnUnwritableFolderIsReportedWithoutANotice) {
	test::writeFile(dir / "pictures", "a file where the folder would be");
	ASSERT_TRUE(start(32, 32));
	const std::string out = shoot(32, 32);
	EXPECT_EQ(out, "screenshot: could not write " + pictures() + "/" + out.substr(out.rfind('/') + 1)) << out;
	EXPECT_EQ(out.find("notice:"), std::string::npos);
	EXPECT_TRUE(overlay.notices().empty());
}

TEST_F(ScreenshotTest, NothingIsSavedOnceTheGuiIsDown) {
	ASSERT_TRUE(start(32, 32));
	overlay.shutdown();
	testing::internal::CaptureStdout();
	EXPECT_EQ(overlay.saveScreenshot(), "");
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
	EXPECT_TRUE(filesIn(pictures()).empty());
	EXPECT_TRUE(overlay.notices().empty());
}

TEST_F(ScreenshotTest, AWriteCutShortLeavesNoFile) {
	std::vector<unsigned char> rgb(64 * 64 * 3);
	std::mt19937 noise(1);
	for (unsigned char& c : rgb)
		c = static_cast<unsigned char>(noise()); // noise does not compress below the limit
	makeDirs(pictures());
	const pid_t child = fork();
	if (child == 0) {
		// The file-size limit stands for a full disk: writes past it fail with EFBIG.
		signal(SIGXFSZ, SIG_IGN);
		rlimit limit = {1000, 1000};
		setrlimit(RLIMIT_FSIZE, &limit);
		const ScreenshotFile file = writeScreenshotPng(rgb, 64, 64, pictures(), std::time(nullptr));
		_exit(file.written ? 1 : 0);
	}
	ASSERT_GT(child, 0);
	int status = 0;
	waitpid(child, &status, 0);
	ASSERT_TRUE(WIFEXITED(status));
	EXPECT_EQ(WEXITSTATUS(status), 0) << "a cut-short write must not count as saved";
	EXPECT_TRUE(filesIn(pictures()).empty()) << "neither the picture nor its temporary file is left";
}

} // namespace
