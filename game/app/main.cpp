// Program entry: log, settings and command line; then either the command-line
// import, or the window with the import screen when the game data is missing
// and the level loop.
#include "app/AppContext.h"
#include "app/ImportScreen.h"
#include "app/LaunchOptions.h"
#include "app/LevelLoop.h"
#include "app/LevelSession.h"
#include "app/Log.h"
#include "files/Paths.h"
#include "import/CommandLineImport.h"
#include "import/Import.h"
#include "input/Controllers.h"
#include "overlay/Overlay.h"
#include "platform/SdlWindow.h"
#include "store/Settings.h"

#include <gr/gles2/GLES2_Dispatch.h>
#include <lang/String.h>
#include <lang/Throwable.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace {

// A reader that went away (output piped into `head`) must not end the program:
// writes then fail with EPIPE instead. A handler rather than SIG_IGN, because
// an ignored SIGPIPE would be inherited by the commands the program starts.
void ignoreBrokenPipe()
{
    struct sigaction action = {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGPIPE, &action, nullptr);
}

const char* glText(GLenum name)
{
    const GLubyte* text = gr::gl.GetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

// Shuts the overlay down while its GL context lives, closes the window (its
// GL context first), then SDL.
void shutDown(lumaroll::Overlay& overlay, std::unique_ptr<lumaroll::SdlWindow>& window)
{
    overlay.shutdown();
    window.reset();
    lumaroll::stopSdl();
}

int run(int argc, char** argv)
{
    using namespace lumaroll;
    Settings::instance().load();
    Settings::instance().applyEnvironment();

    LaunchOptions options;
    {
        std::vector<std::string> words(argv + 1, argv + argc);
        parseCommandLine(options, words);
    }
    if (!options.importDeb.empty())
        return importFromCommandLine(options.importDeb);

    bool importScreen = false;
    if (options.level.empty() && !options.useImportedData()) {
        std::printf("game data not found in %s: opening the import screen (or run with --import-deb file.deb)\n",
                    gameDataDir().c_str());
        importScreen = true;
        // The screenshot window is hidden, so nobody could ever close an import screen in it.
        if (!options.screenshot.empty()) {
            std::fprintf(stderr, "could not save %s\n", options.screenshot.c_str());
            return 1;
        }
    }
    options.resolveDataDir();
    // Read before SDL starts: SDL may pick a driver of its own.
    const bool driverChosen = !getEnvString("SDL_VIDEODRIVER").empty();

    AppContext app;

    std::string error;
    if (!startSdl(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::unique_ptr<SdlWindow> window =
        SdlWindow::open("Lumaroll", options.width, options.height, !options.screenshot.empty(), error);
    if (!window) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (importScreen && !importScreenCanShow(window->videoDriver(), driverChosen)) {
        // Without a display SDL falls back to a window nobody sees, which would wait forever.
        std::fprintf(stderr,
                     "no display for the import screen: import the game data with --import-deb FILE.deb\n");
        window.reset();
        stopSdl();
        return 1;
    }
    app.window = window.get();
    window->drawableSize(app.drawableWidth, app.drawableHeight);
    window->setVsync(Settings::instance().getBool("graphics.vsync", true));
    if (Settings::instance().getBool("graphics.fullscreen", false))
        window->setFullscreen(true);
    std::printf("GL: %s | %s\n", glText(GL_VERSION), glText(GL_RENDERER));

    Controllers::instance().init();
    Overlay overlay;
    overlay.init(*window);
    overlay.setCalibrateAction([]() { Controllers::instance().calibrateRequested = true; });
    app.overlay = &overlay;

    if (importScreen) {
        bool quit = runImportScreen(app);
        if (quit || !options.useImportedData()) {
            shutDown(overlay, window);
            return 0;
        }
    }

    int code = runLevelLoop(options, [&app](const LaunchOptions& current) {
        LevelSession session(app, current);
        return session.run();
    });
    shutDown(overlay, window);
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    ignoreBrokenPipe();
    setvbuf(stdout, nullptr, _IOLBF, 0);
    lumaroll::startLog();
    int code = 2;
    // Nothing may end the process past the log's shut-down below.
    try {
        code = run(argc, argv);
    } catch (const lang::Throwable& e) {
        std::fprintf(stderr, "ERROR: %s\n", lang::String(e.getMessage()).c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ERROR: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "ERROR: unexpected failure\n");
    }
    // Every line, the last failure included, reaches the terminal and the log before the process ends.
    lumaroll::stopLog();
    return code;
}
