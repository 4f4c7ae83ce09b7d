#include <gr/ImageFile.h>

#include "import/Sha256.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

using namespace lumaroll;

namespace {

// Legacy PVR files made by other tools, with the SHA-256 of the RGBA decode
// of chosen levels (EXPECTED.tsv). They live beside the project, not in it.
std::string realDataDir() {
	const char* source = std::getenv("LUMAROLL_SOURCE_DIR");
	return source ? std::string(source) + "/../shared/realdata/pvr" : std::string();
}

struct Expected {
	std::string file;
	int level, width, height;
	std::string sha256;
};

TEST(PvrRealFile, DecodesPixelExactly) {
	const std::string dir = realDataDir();
	std::ifstream table(dir + "/EXPECTED.tsv");
	if (dir.empty() || !table)
		GTEST_SKIP() << "no real PVR files at " << (dir.empty() ? "(LUMAROLL_SOURCE_DIR unset)" : dir);

	std::vector<Expected> rows;
	std::string line;
	std::getline(table, line); // column names
	while (std::getline(table, line)) {
		if (line.empty())
			continue;
		std::istringstream fields(line);
		Expected e;
		long long offset = 0, bytes = 0;
		fields >> e.file >> e.level >> e.width >> e.height >> offset >> bytes >> e.sha256;
		ASSERT_FALSE(fields.fail()) << line;
		rows.push_back(e);
	}
	ASSERT_FALSE(rows.empty());

	std::map<std::string, ImageData> images;
	for (const Expected& e : rows) {
		SCOPED_TRACE(e.file + " level " + std::to_string(e.level));
		auto found = images.find(e.file);
		if (found == images.end()) {
			ImageData image;
			ASSERT_TRUE(loadImageFile(dir + "/" + e.file, image)) << image.error;
			// 1024 x 512 with full chains: eleven levels down to 1 x 1.
			EXPECT_EQ(image.levels.size(), 11u);
			found = images.emplace(e.file, std::move(image)).first;
		}
		const ImageData& image = found->second;
		ASSERT_LT(std::size_t(e.level), image.levels.size());
		const ImageData::Level& level = image.levels[std::size_t(e.level)];
		EXPECT_EQ(level.width, e.width);
		EXPECT_EQ(level.height, e.height);
		EXPECT_EQ(lumaroll::sha256Hex(reinterpret_cast<const char*>(level.pixels.data()), level.pixels.size()),
				  e.sha256);
	}
	// The 2-bit file flags alpha, the 4-bit one does not; neither is bottom-up.
	EXPECT_TRUE(images["pvrtc2_rgba_1024x512_mips.pvr"].hasAlpha);
	EXPECT_FALSE(images["pvrtc4_rgb_1024x512_mips.pvr"].hasAlpha);
	EXPECT_FALSE(images["pvrtc4_rgb_1024x512_mips.pvr"].flipVertical);
}

} // namespace
