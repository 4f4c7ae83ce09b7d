// The engine's resource folders named from a level's data folder.
#include "files/DataLayout.h"

#include <gtest/gtest.h>

#include <string>

using namespace lumaroll;

namespace {

TEST(DataLayoutTest, ResourceFoldersEndInOneSlashAndNeedADataFolder) {
	struct Case {
		const char* name;
		std::string (*folder)(const std::string&);
		const char* fromD;
	};
	const Case cases[] = {
		{"shaders", shadersDir, "d/shaders/"},
		{"textures", texturesDir, "d/resources/textures/"},
		{"particles", particlesDir, "d/resources/particles/"},
	};
	for (const Case& c : cases) {
		EXPECT_EQ(c.folder("d"), c.fromD) << c.name;
		EXPECT_EQ(c.folder(""), "") << c.name << ": no data folder, no resource folder";
	}
}

} // namespace
