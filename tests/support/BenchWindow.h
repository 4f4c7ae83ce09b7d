#ifndef SUPPORT_BENCHWINDOW_H
#define SUPPORT_BENCHWINDOW_H

// What the level benchmarks share: one hidden 800 x 480 window with a GLES 2
// context for the whole run, and grid meshes to give a level some weight.

#include "app/AppContext.h"
#include "platform/SdlWindow.h"
#include "support/SceneWriter.h"

#include <memory>
#include <string>

namespace test {

// The window, opened on first use (SDL's offscreen driver unless another is
// set; LUMAROLL_NO_AUDIO set); ok is false when no context could be made.
struct BenchWindow {
	lumaroll::AppContext app;
	std::unique_ptr<lumaroll::SdlWindow> sdlWindow;
	bool ok = false;

	static BenchWindow& instance();

private:
	BenchWindow();
};

// A grid of n x n vertices in the z = 0 plane, size units wide, centred at
// (x, y), with texture coordinates 0 to 1 over it.
void addGrid(SceneWriter::Primitive& p, int n, float size, float x = 0.f, float y = 0.f);

} // namespace test

#endif
