// Program entry: log, settings and command line; then either the command-line
// import, or the window with the import screen when the game data is missing
// and the level loop.
#include "app/AppContext.h"
#include "app/Controllers.h"
#include "app/LaunchOptions.h"
#include "app/LevelLoop.h"
#include "app/LevelSession.h"
#include "app/Log.h"
#include "app/Settings.h"
#include "import/CommandLineImport.h"
#include "import/Import.h"
#include "overlay/Overlay.h"

#include <lang/String.h>
#include <lang/Throwable.h>

#include <GLES2/gl2.h>
#include <SDL.h>

#include <csignal>
#include <cstdio>
#include <exception>
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
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

// The import screen: runs until the game data is installed or the user quits
// from the overlay's import page (or closes the window). Returns true when it
// ended by a quit request.
bool runImportScreen(lumaroll::AppContext& app)
{
    lumaroll::Overlay& overlay = *app.overlay;
    bool quit = false;
    overlay.quitCallback = [&quit]() { quit = true; };
    overlay.menuOpen = true;
    overlay.importScreen = true;
    while (!quit) {
        if (lumaroll::hasGameData(lumaroll::gameDataDir()))
            break;
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT)
                quit = true;
            overlay.handleEvent(event);
        }
        SDL_GL_GetDrawableSize(app.window, &app.drawableWidth, &app.drawableHeight);
        glViewport(0, 0, app.drawableWidth, app.drawableHeight);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        overlay.render();
        SDL_GL_SwapWindow(app.window);
        SDL_Delay(16);
    }
    overlay.menuOpen = false;
    overlay.importScreen = false;
    // The callback refers to this frame's flag: the first level session sets its own.
    overlay.quitCallback = nullptr;
    return quit;
}

void shutDown(lumaroll::Overlay& overlay, SDL_GLContext context, SDL_Window* window)
{
    overlay.shutdown();
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
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

    AppContext app;
    app.window = nullptr;
    app.drawableWidth = 800;
    app.drawableHeight = 480;

    SDL_SetHint("SDL_ANDROID_TRAP_BACK_BUTTON", "1");
    SDL_SetHint("SDL_ACCELEROMETER_AS_JOYSTICK", "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0 && SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE;
    if (!options.screenshot.empty())
        flags |= SDL_WINDOW_HIDDEN;
    SDL_Window* window = SDL_CreateWindow("Lumaroll", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, options.width,
                                          options.height, flags);
    if (!window) {
        std::fprintf(stderr, "SDL_CreateWindow: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        std::fprintf(stderr, "SDL_GL_CreateContext (GLES 2.0): %s\n", SDL_GetError());
        return 1;
    }
    app.window = window;
    SDL_GL_GetDrawableSize(window, &app.drawableWidth, &app.drawableHeight);
    SDL_GL_SetSwapInterval(Settings::instance().getBool("graphics.vsync", true) ? 1 : 0);
    if (Settings::instance().getBool("graphics.fullscreen", false))
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    std::printf("GL: %s | %s\n", glText(GL_VERSION), glText(GL_RENDERER));

    Controllers::instance().init();
    Overlay overlay;
    overlay.init(window, context);
    overlay.calibrateCallback = []() { Controllers::instance().calibrateRequested = true; };
    app.overlay = &overlay;

    if (importScreen) {
        bool quit = runImportScreen(app);
        if (quit || !options.useImportedData()) {
            shutDown(overlay, context, window);
            return 0;
        }
    }

    int code = runLevelLoop(options, [&app](const LaunchOptions& current) {
        LevelSession session(app, current);
        return session.run();
    });
    shutDown(overlay, context, window);
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
