// What the session reads from a loaded level: properties, clear colour, fog,
// helper meshes, cameras.
#include "SessionFixture.h"
#include "app/LevelScene.h"

#include "support/GameDataWriter.h"
#include "support/ScopedEnv.h"

#include <hgr/Node.h>

#include <gtest/gtest.h>

#include <algorithm>

using namespace lumaroll;

namespace {

class LevelSceneTest : public apptest::GLSceneTest {};

TEST_F(LevelSceneTest, ClearColourFromTheStartNode) {
	struct Case {
		const char* property;
		uint32_t colour;
	};
	const Case cases[] = {{"bgcolor=ff0000", 0xffff0000u},
						  {"bgcolor=ff00", kDefaultClearColor},
						  {"bgcolor=00ff00ee", 0xff00ff00u},
						  {"other=1", kDefaultClearColor}};
	for (const Case& c : cases) {
		test::SceneWriter w = test::testLevelScene();
		w.userProperty("D_start", c.property); // replaces the first text
		lang::Ptr<hgr::Scene> scene = loadScene(w);
		EXPECT_EQ(sceneClearColor(scene), c.colour) << c.property;
	}
	test::SceneWriter bare;
	bare.mesh("only");
	EXPECT_EQ(sceneClearColor(loadScene(bare)), kDefaultClearColor);
}

TEST_F(LevelSceneTest, LinearFogWithARangeReachesTheContext) {
	lang::Ptr<hgr::Scene> scene = loadScene(test::testLevelScene());
	testing::internal::CaptureStdout();
	applyFog(scene, context);
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "fog: linear from 100 to 5000\n");
	EXPECT_FLOAT_EQ(context->fogRange.x, 100.f);
	EXPECT_FLOAT_EQ(context->fogRange.y, 5000.f);
	EXPECT_FLOAT_EQ(context->fogRange.z, 1.f / 4900.f);
	EXPECT_FLOAT_EQ(context->fogColor.y, 0.3f);
	EXPECT_FLOAT_EQ(context->fogColor.w, 1.f);

	for (int mode : {0, 1, 2}) {
		test::SceneWriter w = test::testLevelScene();
		w.fog(mode, 300.f, mode == 1 ? 300.f : 900.f, 1.f, 1.f, 1.f); // linear needs end above start
		lang::Ptr<hgr::Scene> other = loadScene(w);
		testing::internal::CaptureStdout();
		applyFog(other, context);
		EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << mode;
		EXPECT_EQ(context->fogRange.x, 0.f);
		EXPECT_EQ(context->fogRange.y, 0.f);
		EXPECT_EQ(context->fogRange.z, 0.f);
	}
}

TEST_F(LevelSceneTest, HelperMeshesAreHidden) {
	test::SceneWriter w;
	const int tex = w.texture("green.png");
	w.material("grass", "textured.fx").texture("BASEMAP", tex);
	w.material("", "textured.fx").texture("BASEMAP", tex);
	test::addQuad(w.primitive(0), 0.f, 0.f, 1.f, 1.f);
	test::addQuad(w.primitive(1), 0.f, 0.f, 1.f, 1.f);
	w.mesh("T_box").primitives({0});   // trigger volume: stays
	w.mesh("box").primitives({0});	   // same with group bit 0x100: hidden
	w.mesh("T_blank").primitives({1}); // no named shader: hidden whatever its name
	w.mesh("plain").primitives({0});   // another group: stays
	w.mesh("empty");				   // no primitives at all: hidden
	w.mesh("grouped").primitives({0}); // "group=" inside a line only: stays
	w.userProperty("T_box", "group=256");
	w.userProperty("box", "name=x\ngroup=257\n");
	w.userProperty("T_blank", "group=1");
	w.userProperty("plain", "group=1");
	w.userProperty("grouped", "subgroup=256");
	lang::Ptr<hgr::Scene> scene = loadScene(w);

	testing::internal::CaptureStdout();
	const auto hidden = hideHelperMeshes(scene);
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "hidden collision/trigger meshes: 3\n");
	std::vector<std::string> names;
	for (const auto& node : hidden) {
		names.push_back(node->getName().c_str());
		EXPECT_FALSE(node->isEnabled());
	}
	std::sort(names.begin(), names.end());
	EXPECT_EQ(names, (std::vector<std::string>{"T_blank", "box", "empty"}));
	EXPECT_TRUE(scene->findNode("T_box")->isEnabled());
	EXPECT_TRUE(scene->findNode("plain")->isEnabled());
	EXPECT_TRUE(scene->findNode("grouped")->isEnabled());
}

TEST_F(LevelSceneTest, TraceNamesEachHiddenMesh) {
	lang::Ptr<hgr::Scene> scene = loadScene(test::testLevelScene());
	std::string out;
	{
		test::ScopedEnv trace{{"LUMAROLL_TRACE", "1"}};
		testing::internal::CaptureStdout();
		hideHelperMeshes(scene);
		out = testing::internal::GetCapturedStdout();
	}
	EXPECT_EQ(out, "hidden collision/trigger meshes: 1\n[trace] hidden 'C_collision'\n");
}

TEST_F(LevelSceneTest, CamerasInSceneOrder) {
	lang::Ptr<hgr::Scene> scene = loadScene(test::testLevelScene());
	const auto cameras = sceneCameraNodes(scene);
	ASSERT_EQ(cameras.size(), 2u);
	std::vector<std::string> names = {cameras[0]->getName().c_str(), cameras[1]->getName().c_str()};
	std::sort(names.begin(), names.end());
	EXPECT_EQ(names, (std::vector<std::string>{"O_startcamera", "cam2"}));
	EXPECT_EQ(nodeProperty(scene, "D_start", "bgcolor"), "ff0000");
	EXPECT_EQ(nodeProperty(scene, "nobody", "bgcolor"), "");
}

} // namespace
