// The SDL window with its OpenGL ES 2.0 context; SDL's start, end and version.
#pragma once

#include "platform/Window.h"

#include <memory>
#include <string>

struct SDL_Window;

namespace lumaroll {

// Sets the hints the game relies on and starts SDL's video and audio (video
// alone when audio cannot start). False, with error holding the line to
// print ("SDL_Init: ..."), when video cannot start either.
bool startSdl(std::string& error);
// SDL_Quit: after every window is closed.
void stopSdl();

// The system as SDL names it ("Linux") and the version of the SDL library in
// use ("2.26.5"), for the log's first line; both work before startSdl.
std::string sdlPlatformName();
std::string sdlVersion();

class SdlWindow : public Window {
public:
    // Opens a centred, resizable window of width x height points (hidden when
    // asked) with an OpenGL ES 2.0 context (24-bit depth, double buffer) made
    // current. Null on failure, with error holding the line to print
    // ("SDL_CreateWindow: ..." or "SDL_GL_CreateContext (GLES 2.0): ...").
    static std::unique_ptr<SdlWindow> open(const char* title, int width, int height, bool hidden,
                                           std::string& error);

    // A window opened elsewhere (a test's GL window); it is neither closed
    // nor is its context deleted here.
    explicit SdlWindow(SDL_Window* window);

    // Deletes the GL context and closes the window when open() made them.
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    // The SDL handle, for the GUI library's SDL back end.
    SDL_Window* handle() const { return window; }
    // The GL context (an SDL_GLContext), for the GUI library's back end; null
    // for a window opened elsewhere.
    void* glContext() const { return context; }

    void size(int& width, int& height) override;
    void drawableSize(int& width, int& height) override;
    void present() override;
    bool screenshot(std::vector<std::uint8_t>& rgba, int& width, int& height) override;
    bool fullscreen() override;
    void setFullscreen(bool on) override;
    void setVsync(bool on) override;
    bool hasInputFocus() override;
    bool setRelativeMouse(bool on) override;
    void minimize() override;
    bool minimized() override;
    float displayDpi() override;
    std::string videoDriver() override;

private:
    SdlWindow(SDL_Window* window, void* context, bool owned);

    SDL_Window* window;
    void* context;
    bool owned;
};

} // namespace lumaroll
