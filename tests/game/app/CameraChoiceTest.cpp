// The camera a frame is seen through: the session camera, a scene camera
// chosen with Tab or named by the scripts, and the field of view the world
// variable "fov" widens; on a writer-made scene without GL.
#include "app/CameraChoice.h"
#include "logic/SceneWorld.h"
#include "support/FakeSceneLoader.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class CameraChoiceTest : public testing::Test {
protected:
	void SetUp() override {
		test::SceneWriter w;
		w.camera("cam1");
		w.camera("camera");
		level = test::loadFakeScene(w);
		world.reset(new lumaroll::SceneWorld(level.scene));
		for (const char* name : {"cam1", "camera"})
			sceneCameras.push_back(level.scene->findNode(name));
		session = new hgr::Camera;
		session->setHorizontalFov(1.3f);
	}

	hgr::Camera* active(bool hasBall) { return choice.active(session, sceneCameras, *world, hasBall); }
	std::string activeName(bool hasBall) {
		hgr::Camera* camera = active(hasBall);
		return camera == session.ptr() ? "session" : camera->getName().c_str();
	}

	test::FakeScene level;
	std::unique_ptr<lumaroll::SceneWorld> world;
	std::vector<lang::Ptr<hgr::Node>> sceneCameras;
	lang::Ptr<hgr::Camera> session;
	lumaroll::CameraChoice choice;
};

TEST_F(CameraChoiceTest, TabCyclesTheSceneCamerasAndTheSessionCamera) {
	EXPECT_EQ(activeName(false), "session");
	testing::internal::CaptureStdout();
	choice.nextSceneCamera(sceneCameras);
	EXPECT_EQ(activeName(false), "cam1");
	choice.nextSceneCamera(sceneCameras);
	choice.nextSceneCamera(sceneCameras);
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "camera: cam1\ncamera: camera\ncamera: free\n");
	EXPECT_EQ(activeName(false), "session");

	// Without scene cameras Tab does nothing.
	testing::internal::CaptureStdout();
	choice.nextSceneCamera({});
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
	EXPECT_EQ(activeName(false), "session");

	// With a ball the chosen camera counts only with the free camera on.
	testing::internal::CaptureStdout();
	choice.nextSceneCamera(sceneCameras);
	testing::internal::GetCapturedStdout();
	EXPECT_EQ(activeName(true), "session");
	choice.toggleScriptedView(true);
	EXPECT_TRUE(choice.freeCameraOn());
	EXPECT_FALSE(choice.scriptedViewOn());
	EXPECT_EQ(activeName(true), "cam1");
}

TEST_F(CameraChoiceTest, TheScriptsCameraTakesOverUnlessItIsTheFollowCamera) {
	struct Case {
		const char* name;
		const char* scripted;
		bool hasBall, scriptedViewOff;
		const char* active;
	};
	const Case cases[] = {
		{"no ball", "cam1", false, false, "cam1"},
		{"no ball, the follow camera's name", "camera", false, false, "camera"},
		{"a ball", "cam1", true, false, "cam1"},
		{"a ball, the follow camera's name", "camera", true, false, "session"},
		{"a name that is no scene camera", "nothere", false, false, "session"},
		{"scripted view off, no ball", "cam1", false, true, "session"},
	};
	for (const Case& c : cases) {
		lumaroll::CameraChoice fresh;
		choice = fresh;
		if (c.scriptedViewOff)
			choice.toggleScriptedView(false);
		world->cameraName = c.scripted;
		EXPECT_EQ(activeName(c.hasBall), c.active) << c.name;
	}
}

TEST_F(CameraChoiceTest, FovWidensTheSessionCameraFromItsFirstFieldOfView) {
	const float degree = 3.1415927f / 180.f;
	world->setVariable("fov", 10.f);
	EXPECT_EQ(active(false), session.ptr());
	EXPECT_NEAR(session->getHorizontalFov(), 1.3f, 1e-6f) << "without a ball nothing widens";
	EXPECT_EQ(active(true), session.ptr());
	EXPECT_NEAR(session->getHorizontalFov(), 1.3f + 10.f * degree, 1e-5f);
	world->setVariable("fov", 20.f);
	active(true);
	EXPECT_NEAR(session->getHorizontalFov(), 1.3f + 20.f * degree, 1e-5f) << "from the first field of view";
	world->setVariable("fov", 180.f);
	active(true);
	EXPECT_NEAR(session->getHorizontalFov(), 2.6f, 1e-6f) << "at most 2.6";
}

} // namespace
