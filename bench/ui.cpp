// Costs of the menu renderer on Mesa (offscreen), each draw bracketed by
// glFinish so that the GPU work is counted:
// - a 40-glyph line of text (one draw call a glyph) against the same 40
//   quads in one buffered draw;
// - the blurred backdrop (25 texture fetches a pixel) against one
//   full-screen sprite quad (one fetch), at 800 x 480 and 1920 x 1080;
// - loading a crafted font (65535 records covering 32767 x 32767 pixels)
//   against a plain 96-glyph font on the same 512 x 512 texture.
#include "support/DatWriter.h"
#include "support/FramebufferTarget.h"
#include "support/GLTestContext.h"
#include "support/TempDir.h"
#include "support/TextureFileWriter.h"
#include "ui/UiRenderer.h"

#include <benchmark/benchmark.h>

#include <GLES2/gl2.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

bool makeGLContext() {
	setenv("SDL_VIDEODRIVER", "offscreen", 0);
	return test::GLTestContext::get() != nullptr;
}

// A folder with a 512 x 512 font texture (glyph cells of 32 x 32 whose
// columns 4 to 27 hold varied alpha, as anti-aliased glyph art does), a plain
// font of 96 glyphs and the crafted font.
struct FontFiles {
	test::TempDir dir;
	FontFiles() {
		test::TextureImage texture = test::TextureImage::solid(512, 512, 255, 255, 255, 0);
		uint32_t noise = 12345;
		for (int y = 0; y < 512; ++y)
			for (int x = 0; x < 512; ++x) {
				noise = noise * 1664525u + 1013904223u;
				texture.rgba[(size_t(y) * 512 + size_t(x)) * 4 + 3] =
					(x % 32) >= 4 && (x % 32) < 28 ? uint8_t(noise >> 24) : 0;
			}
		test::writePng(dir / "font.png", texture);
		test::DatFont plain{"font.png", 32, 0, {}, -1};
		for (int code = 32; code < 128; ++code)
			plain.glyphs.push_back({code, ((code - 32) % 16) * 32, ((code - 32) / 16) * 32, 32, 32, 32});
		plain.write(dir / "PLAIN.dat");
		test::DatFont crafted{"font.png", 32, 0, {}, -1};
		for (int code = 0; code < 65535; ++code)
			crafted.glyphs.push_back({code, 0, 0, 32767, 32767, 1});
		crafted.write(dir / "CRAFTED.dat");
	}
};

FontFiles& fontFiles() {
	static FontFiles files;
	return files;
}

const std::string kLine = "The quick brown fox jumps over a lazy do"; // 40 glyphs

// An 800 x 480 target and a renderer holding the plain font.
struct TextSetUp {
	test::FramebufferTarget target{800, 480};
	lumaroll::UiRenderer ui;
	const lumaroll::Font* font = nullptr;
	TextSetUp() {
		ui.loadFont(fontFiles().dir / "PLAIN.dat");
		font = ui.findFont("PLAIN");
	}
};

// The set-up, or null (the benchmark skipped) without GL.
std::unique_ptr<TextSetUp> textSetUp(benchmark::State& state) {
	if (!makeGLContext()) {
		state.SkipWithError("no OpenGL ES context");
		return nullptr;
	}
	return std::make_unique<TextSetUp>();
}

void BM_Text40Glyphs_DrawCallEach(benchmark::State& state) {
	const auto setUp = textSetUp(state);
	if (!setUp)
		return;
	lumaroll::UiRenderer& ui = setUp->ui;
	ui.begin(800, 480);
	for (auto _ : state) {
		ui.drawText("PLAIN", kLine, 0, 0, 10.f, 100.f, 1.f);
		glFinish();
	}
	ui.end();
}

// The same quads in one vertex buffer, one draw, through a program like the
// sprite program whose positions arrive already placed.
void BM_Text40Glyphs_OneBufferedDraw(benchmark::State& state) {
	const auto setUp = textSetUp(state);
	if (!setUp)
		return;
	const lumaroll::Font* font = setUp->font;
	std::vector<GLfloat> vertices;
	for (const lumaroll::SpriteQuad& q : lumaroll::textQuads(*font, kLine, 0, 0, 10.f, 100.f)) {
		const float x0 = q.x / 400.f - 1.f, x1 = (q.x + q.w) / 400.f - 1.f;
		const float y0 = 1.f - q.y / 240.f, y1 = 1.f - (q.y + q.h) / 240.f;
		const float u0 = float(q.srcX) / 512.f, u1 = float(q.srcX + q.srcW) / 512.f;
		const float v0 = float(q.srcY) / 512.f, v1 = float(q.srcY + q.srcH) / 512.f;
		const GLfloat quad[24] = {x0, y0, u0, v0, x1, y0, u1, v0, x0, y1, u0, v1,
								  x0, y1, u0, v1, x1, y0, u1, v0, x1, y1, u1, v1};
		vertices.insert(vertices.end(), quad, quad + 24);
	}
	const char* vs =
		"attribute vec2 p; attribute vec2 t; varying vec2 v; void main() { v = t; gl_Position = vec4(p, 0.0, 1.0); }";
	const char* fs =
		"precision mediump float; varying vec2 v; uniform sampler2D tex; uniform float alpha;\n"
		"void main() { vec4 c = texture2D(tex, v); gl_FragColor = vec4(c.rgb, c.a * alpha); }";
	GLuint program = glCreateProgram();
	for (auto stage : {std::make_pair(GL_VERTEX_SHADER, vs), std::make_pair(GL_FRAGMENT_SHADER, fs)}) {
		GLuint shader = glCreateShader(stage.first);
		glShaderSource(shader, 1, &stage.second, nullptr);
		glCompileShader(shader);
		glAttachShader(program, shader);
		glDeleteShader(shader);
	}
	glBindAttribLocation(program, 0, "p");
	glBindAttribLocation(program, 1, "t");
	glLinkProgram(program);
	GLuint buffer = 0;
	glGenBuffers(1, &buffer);
	glBindBuffer(GL_ARRAY_BUFFER, buffer);
	glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(GLfloat)), vertices.data(), GL_STATIC_DRAW);
	glUseProgram(program);
	glUniform1f(glGetUniformLocation(program, "alpha"), 1.f);
	glEnable(GL_BLEND);
	glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
	glBindTexture(GL_TEXTURE_2D, font->texture);
	glEnableVertexAttribArray(0);
	glEnableVertexAttribArray(1);
	glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
	glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<const void*>(8));
	for (auto _ : state) {
		glDrawArrays(GL_TRIANGLES, 0, GLsizei(vertices.size() / 4));
		glFinish();
	}
	glDisableVertexAttribArray(0);
	glDisableVertexAttribArray(1);
	glBindBuffer(GL_ARRAY_BUFFER, 0);
	glDeleteBuffers(1, &buffer);
	glUseProgram(0);
	glDeleteProgram(program);
}

void blurBenchmark(benchmark::State& state, bool blur) {
	if (!makeGLContext()) {
		state.SkipWithError("no OpenGL ES context");
		return;
	}
	const int width = int(state.range(0)), height = int(state.range(1));
	test::FramebufferTarget target(width, height);
	glClearColor(0.3f, 0.5f, 0.7f, 1.f);
	glClear(GL_COLOR_BUFFER_BIT);
	lumaroll::UiRenderer ui;
	ui.loadFont(fontFiles().dir / "PLAIN.dat");
	const lumaroll::Font* font = ui.findFont("PLAIN");
	ui.begin(width, height);
	ui.captureScreen();
	for (auto _ : state) {
		if (blur)
			ui.drawBlurredCapture(4.f, 1.f, 0.6f);
		else
			ui.drawQuad(font->texture, 512, 512, 0.f, 0.f, 0.f, 0.f, ui.virtualWidth(), 480.f, 1.f, 512.f, 512.f);
		glFinish();
	}
	ui.end();
}

void BM_BlurredBackdrop(benchmark::State& state) {
	blurBenchmark(state, true);
}
void BM_FullScreenSprite(benchmark::State& state) {
	blurBenchmark(state, false);
}

void fontLoadBenchmark(benchmark::State& state, const char* file) {
	if (!makeGLContext()) {
		state.SkipWithError("no OpenGL ES context");
		return;
	}
	const std::string path = fontFiles().dir / file;
	lumaroll::UiRenderer ui;
	for (auto _ : state) {
		if (!ui.loadFont(path))
			state.SkipWithError("font did not load");
		glFinish();
	}
}

void BM_LoadFont_Plain96(benchmark::State& state) {
	fontLoadBenchmark(state, "PLAIN.dat");
}
void BM_LoadFont_Crafted65535(benchmark::State& state) {
	fontLoadBenchmark(state, "CRAFTED.dat");
}

BENCHMARK(BM_Text40Glyphs_DrawCallEach)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Text40Glyphs_OneBufferedDraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlurredBackdrop)->Args({800, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullScreenSprite)->Args({800, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFont_Plain96)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFont_Crafted65535)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
