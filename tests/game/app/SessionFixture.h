#ifndef TESTS_GAME_APP_SESSIONFIXTURE_H
#define TESTS_GAME_APP_SESSIONFIXTURE_H

// A graphics context on the offscreen GL test window and a temporary data
// folder holding the test level, for the in-process level tests.

#include "app/AppContext.h"
#include "store/Settings.h"
#include "support/GLTestContext.h"
#include "support/GameDataWriter.h"
#include "support/PixelMatch.h"
#include "support/PlatformFakes.h"
#include "support/TempDir.h"

#include <gr/gles2/GLES2_Context.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>

#include <GLES2/gl2.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace apptest {

// Keeps a setting for the test's duration.
class ScopedSetting {
public:
	ScopedSetting(const char* key, const char* value) : key_(key) {
		old_ = lumaroll::Settings::instance().getString(key, "");
		lumaroll::Settings::instance().setString(key, value);
	}
	~ScopedSetting() { lumaroll::Settings::instance().setString(key_, old_); }

private:
	std::string key_, old_;
};

// The platform fakes and an AppContext over them, sized to the GL test
// window; the window is the fake one unless another is given.
struct FakePlatform {
	test::FakeWindow window;
	test::ScriptedEvents events;
	test::FakeKeys keys;
	test::ManualClock clock;
	test::FakeInputDevices devices;
	lumaroll::AppContext app;

	explicit FakePlatform(lumaroll::Window* realWindow = nullptr) {
		window.drawableWidth = window.width = test::GLTestContext::WIDTH;
		window.drawableHeight = window.height = test::GLTestContext::HEIGHT;
		app.window = realWindow ? realWindow : &window;
		app.events = &events;
		app.keys = &keys;
		app.clock = &clock;
		app.devices = &devices;
		app.drawableWidth = test::GLTestContext::WIDTH;
		app.drawableHeight = test::GLTestContext::HEIGHT;
	}
};

class GLSceneTest : public testing::Test {
protected:
	void SetUp() override {
		REQUIRE_GL_CONTEXT();
		glBindFramebuffer(GL_FRAMEBUFFER, 0);
		glViewport(0, 0, test::GLTestContext::WIDTH, test::GLTestContext::HEIGHT);
		data = dir / "data";
	}

	// Writes the scene into the data folder (with textures and shaders) and loads it.
	lang::Ptr<hgr::Scene> loadScene(const test::SceneWriter& writer) {
		const std::string path = test::writeTestLevel(dir.path(), writer);
		if (!context) {
			context = new gr::GLES2_Context(test::GLTestContext::WIDTH, test::GLTestContext::HEIGHT, nullptr, nullptr);
			context->platform = 1;
			context->shaderDirectory = data + "/shaders/";
			context->textureDirectory = data + "/resources/textures/";
			resources = new hgr::DefaultResourceManager(context);
		}
		return new hgr::Scene(context, path.c_str(), resources, (data + "/resources/textures/").c_str(),
							  (data + "/shaders/").c_str(), (data + "/resources/particles/").c_str());
	}

	// The RGBA pixel at (x, y) of the bound framebuffer, y from the bottom.
	static testing::AssertionResult pixelIs(int x, int y, int r, int g, int b) {
		return test::colourNear(test::GLTestContext::pixel(x, y), r, g, b, -1, 6) << " at (" << x << ", " << y << ")";
	}

	test::TempDir dir;
	std::string data;
	lang::Ptr<gr::GLES2_Context> context;
	lang::Ptr<hgr::DefaultResourceManager> resources;
};

} // namespace apptest

#endif
