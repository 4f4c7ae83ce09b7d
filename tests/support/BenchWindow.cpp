#include "support/BenchWindow.h"

#include <SDL.h>

#include <cstdlib>
#include <vector>

namespace test {

BenchWindow& BenchWindow::instance() {
	static BenchWindow w;
	return w;
}

BenchWindow::BenchWindow() {
	if (!std::getenv("SDL_VIDEODRIVER"))
		setenv("SDL_VIDEODRIVER", "offscreen", 1);
	setenv("LUMAROLL_NO_AUDIO", "1", 1);
	if (SDL_Init(SDL_INIT_VIDEO) != 0)
		return;
	std::string error;
	sdlWindow = lumaroll::SdlWindow::open("bench", 800, 480, true, error);
	if (!sdlWindow)
		return;
	sdlWindow->setVsync(false);
	app.window = sdlWindow.get();
	sdlWindow->drawableSize(app.drawableWidth, app.drawableHeight);
	ok = true;
}

void addGrid(SceneWriter::Primitive& p, int n, float size, float x, float y) {
	std::vector<float> positions, uvs;
	std::vector<int> indices;
	for (int j = 0; j < n; ++j)
		for (int i = 0; i < n; ++i) {
			const float u = float(i) / float(n - 1), v = float(j) / float(n - 1);
			positions.insert(positions.end(), {x + (u - 0.5f) * size, y + (v - 0.5f) * size, 0.f});
			uvs.insert(uvs.end(), {u, v});
		}
	for (int j = 0; j + 1 < n; ++j)
		for (int i = 0; i + 1 < n; ++i) {
			const int a = j * n + i;
			indices.insert(indices.end(), {a, a + 1, a + n, a + n, a + 1, a + n + 1});
		}
	p.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, positions)
		.component(SceneWriter::DT_TEX0, SceneWriter::V2_32, uvs)
		.indices(indices);
}

} // namespace test
