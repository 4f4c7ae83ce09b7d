#ifndef TESTS_GAME_APP_PROGRAMFIXTURE_H
#define TESTS_GAME_APP_PROGRAMFIXTURE_H

// Starting the real program on a writer-made level in a temporary home
// (offscreen video, no audio) and reading back its screenshot.

#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/PixelMatch.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <stb_image.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace apptest {

class ProgramTest : public testing::Test {
protected:
	void SetUp() override {
		ASSERT_FALSE(test::lumarollBinary().empty()) << "the lumaroll program was not found";
		ASSERT_TRUE(test::makeDirs(work()));
	}

	std::string work() const { return dir / "work"; }

	test::ProcessResult run(const std::vector<std::string>& args,
							std::vector<std::pair<std::string, std::string>> extraEnv = {}) const {
		return test::runProcess(test::lumarollBinary(), options(args, std::move(extraEnv)));
	}

	// The arguments and the temporary home's environment, extraEnv last (it
	// overrides), in the work folder.
	test::ProcessOptions options(const std::vector<std::string>& args,
								 std::vector<std::pair<std::string, std::string>> extraEnv = {}) const {
		test::ProcessOptions o;
		o.args = args;
		o.env = test::programEnvironment(dir.path());
		for (auto& e : extraEnv)
			o.env.push_back(e);
		o.workDir = work();
		return o;
	}

	test::TempDir dir;
};

struct Png {
	int width = 0, height = 0;
	std::vector<unsigned char> rgba;
	// RGBA of the pixel at (x, y), y counted from the top.
	const unsigned char* at(int x, int y) const { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
};

inline Png readPng(const std::string& path) {
	Png png;
	int channels = 0;
	unsigned char* data = stbi_load(path.c_str(), &png.width, &png.height, &channels, 4);
	if (data) {
		png.rgba.assign(data, data + size_t(png.width) * size_t(png.height) * 4);
		stbi_image_free(data);
	}
	return png;
}

// Whether the screenshot's pixel p holds (r, g, b), give or take 8.
inline testing::AssertionResult isColour(const unsigned char* p, int r, int g, int b) {
	return test::colourNear(p, r, g, b, -1, 8);
}

} // namespace apptest

#endif
