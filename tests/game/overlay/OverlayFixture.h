#ifndef TESTS_GAME_OVERLAY_OVERLAYFIXTURE_H
#define TESTS_GAME_OVERLAY_OVERLAYFIXTURE_H

// The overlay brought up in-process on a hidden offscreen window of a chosen
// size, with its configuration and pictures folders in a temporary folder and
// the DejaVu font (unless a test says otherwise), so that sizes and layout do
// not depend on the machine's fonts. The platform it is brought up with is
// SDL's unless a test changes `platform` before start().

#include "overlay/AssetFiles.h"
#include "overlay/Overlay.h"
#include "platform/SdlWindow.h"
#include "support/GLTestContext.h"
#include "support/GLWindow.h"
#include "support/ScopedEnv.h"
#include "support/SdlEvents.h"
#include "support/TempDir.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace overlaytest {

const char* const kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The source tree's assets folder (icon fonts, shipped languages).
inline std::string sourceAssets() {
	const char* root = std::getenv("LUMAROLL_SOURCE_DIR");
	return std::string(root ? root : ".") + "/assets";
}

class OverlayTest : public testing::Test {
protected:
	void SetUp() override {
		REQUIRE_GL_CONTEXT();
		env.set("XDG_CONFIG_HOME", (dir / "config").c_str());
		env.set("XDG_PICTURES_DIR", (dir / "pictures").c_str());
		env.set("LUMAROLL_FONT", kDejaVu);
		env.set("LUMAROLL_MENU_COMPACT", nullptr);
		env.set("LUMAROLL_TRACE", nullptr);
		lumaroll::setAssetDirs({sourceAssets()});
		SDL_Event e;
		while (SDL_PollEvent(&e)) {
		}
	}

	void TearDown() override {
		overlay.shutdown();
		sdlWindow.reset();
		window.reset();
		lumaroll::setAssetDirs({});
	}

	// Brings the overlay up on a new width x height window; its ready line goes
	// to readyLine. An update check it starts has ended when this returns: its
	// line goes to readyLine too, never into what a test captures later.
	bool start(int width = 800, int height = 480) {
		window = std::make_unique<test::GLWindow>(width, height);
		if (!window->ok()) {
			ADD_FAILURE() << window->error();
			return false;
		}
		sdlWindow = std::make_unique<lumaroll::SdlWindow>(window->window());
		testing::internal::CaptureStdout();
		const bool up = overlay.init(*sdlWindow, platform);
		for (int i = 0; i < 12000 && overlay.updateCheck().state() == lumaroll::UpdateChecking; ++i)
			std::this_thread::sleep_for(std::chrono::milliseconds(10));
		readyLine = testing::internal::GetCapturedStdout();
		return up;
	}

	// One frame: the screen cleared to black, then the overlay's frame.
	void frame() {
		glClearColor(0.f, 0.f, 0.f, 1.f);
		glClear(GL_COLOR_BUFFER_BIT);
		overlay.render();
	}

	// Hands the events to the overlay through SDL's queue.
	void feed(std::initializer_list<SDL_Event> events) {
		ASSERT_TRUE(test::push(events));
		test::drain([this](const SDL_Event& e) { overlay.handleEvent(e); });
	}

	// The rectangle of a named item in the last reported frame (all zero when absent).
	lumaroll::FrameReport::Item item(const std::string& name) const {
		const lumaroll::FrameReport::Item* found = last.find(name);
		return found ? *found : lumaroll::FrameReport::Item{};
	}

	// Starts reporting frames into last.
	void watchFrames() {
		overlay.setFrameReport([this](const lumaroll::FrameReport& r) {
			last = r;
			++framesSeen;
		});
	}

	test::TempDir dir;
	test::ScopedEnv env;
	lumaroll::OverlayPlatform platform;
	lumaroll::Overlay overlay;
	std::unique_ptr<test::GLWindow> window;
	// The window seam over window's SDL window.
	std::unique_ptr<lumaroll::SdlWindow> sdlWindow;
	std::string readyLine;
	lumaroll::FrameReport last;
	int framesSeen = 0;
};

} // namespace overlaytest

#endif
