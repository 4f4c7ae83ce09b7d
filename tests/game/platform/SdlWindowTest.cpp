// The SDL side of the platform seam on the tests' offscreen GL window: the
// present step flushes before it swaps, a screenshot comes top row first, and
// the window reports what the offscreen driver gives.
#include "platform/EventSource.h"
#include "platform/SdlWindow.h"
#include "support/GLCallRecorder.h"
#include "support/GLTestContext.h"

#include <GLES2/gl2.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace lumaroll;
using test::GLTestContext;

namespace {

TEST(SdlWindowTest, PresentFlushesTheCommandsBeforeTheSwap) {
	// SDL's offscreen driver swaps a pbuffer, which flushes nothing: only the
	// flush keeps llvmpipe from queueing every frame.
	REQUIRE_GL_CONTEXT();
	SdlWindow window(SDL_GL_GetCurrentWindow());
	test::GLCallRecorder gl;
	window.present();
	ASSERT_EQ(gl.calls().size(), 1u);
	EXPECT_EQ(gl.calls()[0].name, "Flush");
}

TEST(SdlWindowTest, ScreenshotHasTheTopRowFirst) {
	REQUIRE_GL_CONTEXT();
	const int w = GLTestContext::WIDTH, h = GLTestContext::HEIGHT;
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	glViewport(0, 0, w, h);
	glClearColor(0.f, 1.f, 0.f, 1.f); // green below
	glClear(GL_COLOR_BUFFER_BIT);
	glEnable(GL_SCISSOR_TEST);
	glScissor(0, h / 2, w, h / 2); // red above
	glClearColor(1.f, 0.f, 0.f, 1.f);
	glClear(GL_COLOR_BUFFER_BIT);
	glDisable(GL_SCISSOR_TEST);

	SdlWindow window(SDL_GL_GetCurrentWindow());
	std::vector<std::uint8_t> rgba;
	int width = 0, height = 0;
	ASSERT_TRUE(window.screenshot(rgba, width, height));
	ASSERT_EQ(width, w);
	ASSERT_EQ(height, h);
	ASSERT_EQ(rgba.size(), size_t(w) * size_t(h) * 4);
	const std::uint8_t* top = &rgba[0];
	const std::uint8_t* bottom = &rgba[(size_t(h) - 1) * size_t(w) * 4];
	EXPECT_EQ(top[0], 255);
	EXPECT_EQ(top[1], 0);
	EXPECT_EQ(bottom[0], 0);
	EXPECT_EQ(bottom[1], 255);
	EXPECT_EQ(GLTestContext::takeErrors(), 0u);
}

TEST(SdlWindowTest, OffscreenDriverHasNoFocusAndRefusesTheRelativeMouse) {
	REQUIRE_GL_CONTEXT();
	SdlWindow window(SDL_GL_GetCurrentWindow());
	EXPECT_EQ(window.videoDriver(), "offscreen");
	int w = 0, h = 0;
	window.drawableSize(w, h);
	EXPECT_EQ(w, GLTestContext::WIDTH);
	EXPECT_EQ(h, GLTestContext::HEIGHT);
	EXPECT_FALSE(window.hasInputFocus());
	EXPECT_FALSE(window.setRelativeMouse(true));
	EXPECT_FALSE(window.fullscreen());
}

TEST(SdlEventSourceTest, PushedEventsArePolledInOrder) {
	REQUIRE_GL_CONTEXT(); // SDL's video (and with it the event queue) is up
	SdlEventSource& events = SdlEventSource::instance();
	SDL_Event e;
	while (events.poll(e)) {
	}
	for (SDL_Keycode key : {SDLK_RETURN, SDLK_p}) {
		SDL_Event k{};
		k.type = SDL_KEYDOWN;
		k.key.keysym.sym = key;
		ASSERT_TRUE(events.push(k));
	}
	std::vector<SDL_Keycode> polled;
	while (events.poll(e))
		if (e.type == SDL_KEYDOWN)
			polled.push_back(e.key.keysym.sym);
	EXPECT_EQ(polled, (std::vector<SDL_Keycode>{SDLK_RETURN, SDLK_p}));
}

} // namespace
