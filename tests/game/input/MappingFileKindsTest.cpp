// The controller mapping database with a named pipe or a folder in its
// place: it adds no mapping, at once, as a missing file does.
#include "input/Controllers.h"
#include "support/NamedPipe.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

using namespace lumaroll;

namespace {

TEST(MappingFileKindsTest, NamedPipeOrFolderAddsNoMapping) {
	for (const test::FileStandIn kind : {test::FileStandIn::NamedPipe, test::FileStandIn::Folder}) {
		SCOPED_TRACE(test::standInName(kind));
		test::TempDir config;
		test::ScopedEnv env{{"XDG_CONFIG_HOME", config.path().c_str()}};
		const std::string path = config / "lumaroll/gamecontrollerdb.txt";
		ASSERT_TRUE(test::makeStandIn(kind, path));
		Controllers controllers;
		int count = -1;
		testing::internal::CaptureStdout();
		test::runWithoutWaiting({path}, [&] { count = controllers.loadMappings(); });
		EXPECT_EQ(testing::internal::GetCapturedStdout(), "controllers: 0 mappings from SDL_GameControllerDB\n");
		EXPECT_EQ(count, 0);
	}
}

} // namespace
