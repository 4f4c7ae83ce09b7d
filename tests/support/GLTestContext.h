#ifndef SUPPORT_GLTESTCONTEXT_H
#define SUPPORT_GLTESTCONTEXT_H

#include <cstdint>
#include <string>
#include <vector>

namespace test {

// A hidden SDL window with an OpenGL ES 2.0 context, made once per process
// and kept current until exit (SDL_VIDEODRIVER=offscreen gives one without a
// display).
class GLTestContext {
public:
	// Size of the window's drawable.
	static constexpr int WIDTH = 64;
	static constexpr int HEIGHT = 64;

	// The shared context, created on first call; null when none can be made
	// (the reason is in error()).
	static GLTestContext* get();
	static const std::string& error();

	// The RGBA pixel at (x, y) of the bound framebuffer, y counted from the bottom.
	static std::vector<uint8_t> pixel(int x, int y);
	// w x h RGBA pixels of the bound framebuffer from (x, y) on, bottom row first.
	static std::vector<uint8_t> pixels(int x, int y, int w, int h);

	// The first GL error raised since the last call (GL_NO_ERROR, 0, for none); clears them all.
	static unsigned takeErrors();

private:
	GLTestContext() = default;
	static GLTestContext* create();
};

} // namespace test

// Skips the current test when no GL context can be made.
#define REQUIRE_GL_CONTEXT() \
	do { \
		if (!::test::GLTestContext::get()) \
			GTEST_SKIP() << "no OpenGL ES context: " << ::test::GLTestContext::error(); \
	} while (0)

#endif
