// Overlay speed on the offscreen driver (llvmpipe in CI), each figure as a
// ratio against a baseline measured in the same run:
// - a frame showing one notice against the level frame alone (800 x 480);
// - a menu-open frame at 800 x 480 and 1920 x 1080: mean and 99th percentile
//   as shares of a 60 Hz frame (16.7 ms);
// - Overlay::init (font lookup, fonts, atlas, renderer) against creating the
//   window and its GL context;
// - an F2 frame's screenshot (read back, flip, encode, write) against
//   stbi_write_png_to_func alone on the same pixels;
// - Translations::get against std::map::find on the same table;
// - the config.ini saves of a scripted 2 s drag of a slider (saves per
//   second), and one save against a 60 Hz frame;
// - a frame of the game tab (which reads the scores and every language file)
//   with 20 installed languages against a frame of the graphics tab;
// - a menu import of a 20 MB package against the command-line import of it.
#include "app/AppContext.h"
#include "app/LaunchOptions.h"
#include "app/LevelSession.h"
#include "files/Paths.h"
#include "overlay/Overlay.h"
#include "overlay/Screenshot.h"
#include "overlay/Translations.h"
#include "platform/SdlWindow.h"
#include "store/Settings.h"

#include "game/overlay/PackageFixture.h"
#include "import/CommandLineImport.h"
#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/SdlEvents.h"
#include "support/TempDir.h"

#include <GLES2/gl2.h>
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <stb_image_write.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <map>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
	return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A hidden window with a GLES 2 context, current while it lives, and the
// window seam over it.
struct GLWindow {
	SDL_Window* window = nullptr;
	SDL_GLContext context = nullptr;
	std::unique_ptr<lumaroll::SdlWindow> seam;
	GLWindow(int w, int h) {
		SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
		SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
		SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
		SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
		SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
		window = SDL_CreateWindow("bench", 0, 0, w, h, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
		context = window ? SDL_GL_CreateContext(window) : nullptr;
		if (context)
			SDL_GL_MakeCurrent(window, context);
		if (window)
			seam = std::make_unique<lumaroll::SdlWindow>(window);
	}
	~GLWindow() {
		if (context)
			SDL_GL_DeleteContext(context);
		if (window)
			SDL_DestroyWindow(window);
	}
};

// Sends standard output to /dev/null while it lives: the program's own lines
// (ready line, level loading, screenshot paths) would clutter the figures.
class Quiet {
public:
	Quiet() {
		std::fflush(stdout);
		saved = dup(1);
		const int devNull = open("/dev/null", O_WRONLY);
		if (devNull >= 0) {
			dup2(devNull, 1);
			close(devNull);
		}
	}
	~Quiet() {
		std::fflush(stdout);
		if (saved >= 0) {
			dup2(saved, 1);
			close(saved);
		}
	}

private:
	int saved = -1;
};

bool bringUp(lumaroll::Overlay& overlay, const GLWindow& gl) {
	Quiet quiet;
	// A benchmark never reaches the network: no update check.
	lumaroll::Settings::instance().setBool("general.check_updates", false);
	return overlay.init(*gl.seam);
}

void NoticeFrameAgainstLevelFrame(benchmark::State& state) {
	test::TempDir dir;
	GLWindow gl(800, 480);
	lumaroll::Overlay overlay;
	if (!gl.context || !bringUp(overlay, gl)) {
		state.SkipWithError("no GL context");
		return;
	}
	lumaroll::LaunchOptions options;
	options.level = test::writeTestLevel(dir.path());
	options.dataDir = dir / "data";
	lumaroll::SdlWindow window(gl.window);
	lumaroll::AppContext app;
	app.window = &window;
	app.drawableWidth = 800;
	app.drawableHeight = 480;
	setenv("LUMAROLL_NO_AUDIO", "1", 1);
	double level = 0, notice = 0;
	{
		lumaroll::LevelSession session(app, options);
		Quiet quiet;
		session.start();
		overlay.notify("a notice", nullptr, 1e9f);
		for (auto _ : state) {
			Clock::time_point t = Clock::now();
			session.frames().render(false, false, 0.016f);
			glFinish();
			level += msSince(t);
			t = Clock::now();
			overlay.render();
			glFinish();
			notice += msSince(t);
		}
	}
	overlay.shutdown();
	state.counters["level_ms"] = level / double(state.iterations());
	state.counters["notice_ms"] = notice / double(state.iterations());
	state.counters["notice_per_level"] = notice / level;
}
BENCHMARK(NoticeFrameAgainstLevelFrame)->Iterations(300)->Unit(benchmark::kMillisecond);

void MenuFrame(benchmark::State& state) {
	const int w = int(state.range(0)), h = int(state.range(1));
	GLWindow gl(w, h);
	lumaroll::Overlay overlay;
	if (!gl.context || !bringUp(overlay, gl)) {
		state.SkipWithError("no GL context");
		return;
	}
	overlay.setMenuOpen(true);
	std::vector<double> times;
	for (auto _ : state) {
		const Clock::time_point t = Clock::now();
		glClear(GL_COLOR_BUFFER_BIT);
		overlay.render();
		glFinish();
		times.push_back(msSince(t));
	}
	overlay.shutdown();
	std::sort(times.begin(), times.end());
	const double mean = std::accumulate(times.begin(), times.end(), 0.0) / double(times.size());
	state.counters["mean_share_of_16.7ms"] = mean / 16.7;
	state.counters["p99_share_of_16.7ms"] = times[times.size() * 99 / 100] / 16.7;
}
BENCHMARK(MenuFrame)->Args({800, 480})->Args({1920, 1080})->Iterations(300)->Unit(benchmark::kMillisecond);

void InitAgainstWindowAndContext(benchmark::State& state) {
	double windowMs = 0, initMs = 0;
	for (auto _ : state) {
		Clock::time_point t = Clock::now();
		GLWindow gl(800, 480);
		glFinish();
		windowMs += msSince(t);
		lumaroll::Overlay overlay;
		t = Clock::now();
		if (!gl.context || !bringUp(overlay, gl)) {
			state.SkipWithError("no GL context");
			return;
		}
		initMs += msSince(t);
		overlay.shutdown();
	}
	state.counters["init_ms"] = initMs / double(state.iterations());
	state.counters["init_per_window_and_context"] = initMs / windowMs;
}
BENCHMARK(InitAgainstWindowAndContext)->Iterations(10)->Unit(benchmark::kMillisecond);

void discard(void* context, void* data, int size) {
	(void)data;
	*static_cast<std::size_t*>(context) += std::size_t(size);
}

void ScreenshotAgainstEncodingAlone(benchmark::State& state) {
	test::TempDir dir;
	setenv("XDG_PICTURES_DIR", dir.path().c_str(), 1);
	GLWindow gl(800, 480);
	lumaroll::Overlay overlay;
	if (!gl.context || !bringUp(overlay, gl)) {
		state.SkipWithError("no GL context");
		return;
	}
	// A picture with some detail, so that encoding does real work.
	for (int i = 0; i < 16; ++i) {
		glEnable(GL_SCISSOR_TEST);
		glScissor(i * 50, i * 30, 200, 100);
		glClearColor(float(i % 4) / 3.f, float(i % 3) / 2.f, float(i % 5) / 4.f, 1.f);
		glClear(GL_COLOR_BUFFER_BIT);
		glDisable(GL_SCISSOR_TEST);
	}
	std::vector<unsigned char> rgba(800 * 480 * 4);
	glReadPixels(0, 0, 800, 480, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
	const std::vector<unsigned char> rgb = lumaroll::framebufferToRgb(rgba, 800, 480);
	double shotMs = 0, encodeMs = 0;
	for (auto _ : state) {
		Clock::time_point t = Clock::now();
		{
			Quiet quiet;
			overlay.saveScreenshot();
		}
		shotMs += msSince(t);
		overlay.notices().clear();
		t = Clock::now();
		std::size_t bytes = 0;
		stbi_write_png_to_func(&discard, &bytes, 800, 480, 3, rgb.data(), 800 * 3);
		encodeMs += msSince(t);
		benchmark::DoNotOptimize(bytes);
	}
	overlay.shutdown();
	state.counters["screenshot_per_encode"] = shotMs / encodeMs;
}
BENCHMARK(ScreenshotAgainstEncodingAlone)->Iterations(30)->Unit(benchmark::kMillisecond);

void TranslationLookupAgainstMapFind(benchmark::State& state) {
	lumaroll::Translations& texts = lumaroll::Translations::instance();
	std::map<std::string, std::string> plain;
	std::vector<std::string> keys;
	for (int i = 0; i < 200; ++i) {
		const std::string key = "section" + std::to_string(i % 7) + ".some_setting_" + std::to_string(i);
		keys.push_back(key);
		plain[key] = "text " + std::to_string(i);
		texts.strings[key] = plain[key];
	}
	double getMs = 0, findMs = 0;
	for (auto _ : state) {
		Clock::time_point t = Clock::now();
		for (const std::string& k : keys)
			benchmark::DoNotOptimize(texts.get(k.c_str()));
		getMs += msSince(t);
		t = Clock::now();
		for (const std::string& k : keys)
			benchmark::DoNotOptimize(plain.find(k));
		findMs += msSince(t);
	}
	state.counters["get_per_find"] = getMs / findMs;
}
BENCHMARK(TranslationLookupAgainstMapFind)->Iterations(20000);

// The overlay up on a window of its own with the menu open, its settings in a
// temporary folder, and a frame report to find the named items in.
struct OpenMenu {
	test::TempDir dir;
	GLWindow gl{800, 480};
	lumaroll::Overlay overlay;
	lumaroll::FrameReport last;
	bool up = false;

	OpenMenu() {
		setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
		setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
		lumaroll::Settings::instance().clear();
		up = gl.context && bringUp(overlay, gl);
		overlay.setFrameReport([this](const lumaroll::FrameReport& r) { last = r; });
		overlay.setMenuOpen(true);
		// The tab bar places its tabs in the frame after the first.
		frame();
		frame();
	}
	~OpenMenu() {
		overlay.shutdown();
		lumaroll::Settings::instance().clear();
	}
	void frame() {
		glClear(GL_COLOR_BUFFER_BIT);
		overlay.render();
		glFinish();
	}
	void click(const std::string& name) {
		const lumaroll::FrameReport::Item* i = last.find(name);
		if (!i)
			return;
		const int x = int(i->x + i->width / 2), y = int(i->y + i->height / 2);
		overlay.handleEvent(test::mouseMotion(x, y));
		frame();
		overlay.handleEvent(test::mouseButton(true, x, y));
		overlay.handleEvent(test::mouseButton(false, x, y));
		for (int f = 0; f < 4; ++f)
			frame();
	}
};

// 120 frames (2 s at 60 Hz) of a drag back and forth over the music volume
// slider: every frame that changes the value saves config.ini.
void SliderDragSaves(benchmark::State& state) {
	OpenMenu menu;
	if (!menu.up) {
		state.SkipWithError("no GL context");
		return;
	}
	menu.click("tab.audio");
	const lumaroll::FrameReport::Item* found = menu.last.find("audio.music_volume");
	if (!found) {
		state.SkipWithError("no slider");
		return;
	}
	const lumaroll::FrameReport::Item slider = *found;
	const int y = int(slider.y + slider.height / 2);
	lumaroll::Settings& settings = lumaroll::Settings::instance();
	double saves = 0, saveMs = 0;
	for (auto _ : state) {
		menu.overlay.handleEvent(test::mouseMotion(int(slider.x + 2), y));
		menu.frame();
		menu.overlay.handleEvent(test::mouseButton(true, int(slider.x + 2), y));
		menu.frame();
		for (int f = 0; f < 120; ++f) {
			const float phase = float(f % 60) / 59.f;
			const float t = f < 60 ? phase : 1.f - phase;
			const std::string before = settings.getString("audio.music_volume", "");
			menu.overlay.handleEvent(test::mouseMotion(int(slider.x + 2 + t * (slider.width - 4)), y));
			menu.frame();
			if (settings.getString("audio.music_volume", "") != before)
				++saves;
		}
		menu.overlay.handleEvent(test::mouseButton(false, int(slider.x + slider.width - 2), y));
		menu.frame();
		const Clock::time_point t = Clock::now();
		for (int i = 0; i < 100; ++i)
			menu.overlay.menu().saveSettings();
		saveMs += msSince(t) / 100.0;
	}
	const double runs = double(state.iterations());
	state.counters["saves_per_second"] = saves / runs / 2.0;
	state.counters["save_ms"] = saveMs / runs;
	state.counters["save_share_of_16.7ms"] = saveMs / runs / 16.7;
}
BENCHMARK(SliderDragSaves)->Iterations(5)->Unit(benchmark::kMillisecond);

// Frames of the game tab and of the graphics tab, with 20 language files of
// 120 entries each installed beside the shipped English.
void GameTabAgainstGraphicsTab(benchmark::State& state) {
	OpenMenu menu;
	if (!menu.up) {
		state.SkipWithError("no GL context");
		return;
	}
	const std::string lang = menu.dir / "config/lumaroll/lang/";
	std::string index;
	for (int l = 0; l < 20; ++l) {
		const std::string code = "l" + std::to_string(l);
		index += code + "\n";
		std::string text = "language.name = Language " + std::to_string(l) + "\n";
		for (int k = 0; k < 120; ++k)
			text += "key.number_" + std::to_string(k) + " = a translated text of some length, number " +
					std::to_string(k) + "\n";
		test::writeFile(lang + code + ".lang", text);
	}
	test::writeFile(lang + "languages", index);
	test::writeFile(lumaroll::dataDir() + "/level2.scores", "4000\n3000\n2000\n");
	double gameMs = 0, graphicsMs = 0;
	for (auto _ : state) {
		menu.click("tab.game");
		Clock::time_point t = Clock::now();
		for (int f = 0; f < 50; ++f)
			menu.frame();
		gameMs += msSince(t) / 50.0;
		menu.click("tab.graphics");
		t = Clock::now();
		for (int f = 0; f < 50; ++f)
			menu.frame();
		graphicsMs += msSince(t) / 50.0;
	}
	state.counters["game_tab_ms"] = gameMs / double(state.iterations());
	state.counters["graphics_tab_ms"] = graphicsMs / double(state.iterations());
	state.counters["game_per_graphics"] = gameMs / graphicsMs;
}
BENCHMARK(GameTabAgainstGraphicsTab)->Iterations(5)->Unit(benchmark::kMillisecond);

// The same 20 MB package imported from the menu and from the command line,
// each on a settled disk. The two take turns at going first: the import that
// comes first in a round runs about a tenth slower, whichever it is.
void MenuImportAgainstCommandLineImport(benchmark::State& state) {
	test::TempDir dir;
	setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
	setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
	const std::string package = dir / "game.deb";
	std::string log;
	if (!overlaytest::writeGamePackage(dir / "build", package, false, &log, 20u << 20)) {
		state.SkipWithError(("dpkg-deb failed: " + log).c_str());
		return;
	}
	lumaroll::Overlay overlay;
	double menuMs = 0, lineMs = 0;
	const auto fromMenu = [&] {
		test::removeSettled({dir / "data"}, dir.path());
		const Clock::time_point t = Clock::now();
		overlay.importPage().importPackage(package);
		menuMs += msSince(t);
	};
	const auto fromCommandLine = [&] {
		test::removeSettled({dir / "data"}, dir.path());
		const Clock::time_point t = Clock::now();
		{
			Quiet quiet;
			lumaroll::importFromCommandLine(package);
		}
		lineMs += msSince(t);
	};
	bool menuFirst = true;
	for (auto _ : state) {
		if (menuFirst) {
			fromMenu();
			fromCommandLine();
		} else {
			fromCommandLine();
			fromMenu();
		}
		menuFirst = !menuFirst;
	}
	state.counters["menu_ms"] = menuMs / double(state.iterations());
	state.counters["menu_per_command_line"] = menuMs / lineMs;
}
BENCHMARK(MenuImportAgainstCommandLineImport)->Iterations(6)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
	setenv("SDL_VIDEODRIVER", "offscreen", 0);
	if (SDL_Init(SDL_INIT_VIDEO) != 0)
		return 1;
	benchmark::Initialize(&argc, argv);
	benchmark::RunSpecifiedBenchmarks();
	SDL_Quit();
	return 0;
}
