#ifndef TESTS_GAME_OVERLAY_OVERLAYFIXTURE_H
#define TESTS_GAME_OVERLAY_OVERLAYFIXTURE_H

// The overlay brought up in-process on a hidden offscreen window of a chosen
// size, with its configuration and pictures folders in a temporary folder and
// the DejaVu font (unless a test says otherwise), so that sizes and layout do
// not depend on the machine's fonts.

#include "overlay/AssetFiles.h"
#include "overlay/Overlay.h"
#include "support/GLTestContext.h"
#include "support/GLWindow.h"
#include "support/ScopedEnv.h"
#include "support/SdlEvents.h"
#include "support/TempDir.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

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
		window.reset();
		lumaroll::setAssetDirs({});
	}

	// Brings the overlay up on a new width x height window; its ready line goes to readyLine.
	bool start(int width = 800, int height = 480) {
		window = std::make_unique<test::GLWindow>(width, height);
		if (!window->ok()) {
			ADD_FAILURE() << window->error();
			return false;
		}
		testing::internal::CaptureStdout();
		const bool up = overlay.init(window->window(), window->context());
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
	lumaroll::Overlay::FrameReport::Item item(const std::string& name) const {
		const lumaroll::Overlay::FrameReport::Item* found = last.find(name);
		return found ? *found : lumaroll::Overlay::FrameReport::Item{};
	}

	// Starts reporting frames into last.
	void watchFrames() {
		overlay.frameReport = [this](const lumaroll::Overlay::FrameReport& r) {
			last = r;
			++framesSeen;
		};
	}

	test::TempDir dir;
	test::ScopedEnv env;
	lumaroll::Overlay overlay;
	std::unique_ptr<test::GLWindow> window;
	std::string readyLine;
	lumaroll::Overlay::FrameReport last;
	int framesSeen = 0;
};

} // namespace overlaytest

#endif
