#include "platform/SdlWindow.h"

#include <gr/gles2/GLES2_Dispatch.h>

#include <SDL.h>

#include <cstring>

namespace lumaroll {

bool startSdl(std::string& error)
{
    SDL_SetHint("SDL_ANDROID_TRAP_BACK_BUTTON", "1");
    SDL_SetHint("SDL_ACCELEROMETER_AS_JOYSTICK", "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0 && SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = std::string("SDL_Init: ") + SDL_GetError();
        return false;
    }
    return true;
}

void stopSdl()
{
    SDL_Quit();
}

std::string sdlPlatformName()
{
    return SDL_GetPlatform();
}

std::string sdlVersion()
{
    SDL_version version;
    SDL_GetVersion(&version);
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.patch);
}

std::unique_ptr<SdlWindow> SdlWindow::open(const char* title, int width, int height, bool hidden,
                                           std::string& error)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE;
    if (hidden)
        flags |= SDL_WINDOW_HIDDEN;
    SDL_Window* window =
        SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (!window) {
        error = std::string("SDL_CreateWindow: ") + SDL_GetError();
        return nullptr;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        error = std::string("SDL_GL_CreateContext (GLES 2.0): ") + SDL_GetError();
        SDL_DestroyWindow(window);
        return nullptr;
    }
    return std::unique_ptr<SdlWindow>(new SdlWindow(window, context, true));
}

SdlWindow::SdlWindow(SDL_Window* window) : SdlWindow(window, nullptr, false) {}

SdlWindow::SdlWindow(SDL_Window* window, void* context, bool owned)
    : window(window), context(context), owned(owned)
{
}

SdlWindow::~SdlWindow()
{
    if (!owned)
        return;
    if (context)
        SDL_GL_DeleteContext(context);
    if (window)
        SDL_DestroyWindow(window);
}

void SdlWindow::size(int& width, int& height)
{
    SDL_GetWindowSize(window, &width, &height);
}

void SdlWindow::drawableSize(int& width, int& height)
{
    SDL_GL_GetDrawableSize(window, &width, &height);
}

void SdlWindow::present()
{
    gr::gl.Flush();
    SDL_GL_SwapWindow(window);
}

bool SdlWindow::screenshot(std::vector<std::uint8_t>& rgba, int& width, int& height)
{
    rgba.clear();
    int w = 0, h = 0;
    drawableSize(w, h);
    if (w <= 0 || h <= 0)
        return false;
    const size_t row = static_cast<size_t>(w) * 4;
    std::vector<std::uint8_t> pixels(row * static_cast<size_t>(h));
    gr::gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
    gr::gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gr::gl.ReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    if (gr::gl.GetError() != GL_NO_ERROR)
        return false;
    // GL gives the bottom row first.
    rgba.resize(pixels.size());
    for (int y = 0; y < h; ++y)
        std::memcpy(&rgba[static_cast<size_t>(y) * row], &pixels[static_cast<size_t>(h - 1 - y) * row], row);
    width = w;
    height = h;
    return true;
}

bool SdlWindow::fullscreen()
{
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void SdlWindow::setFullscreen(bool on)
{
    SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

void SdlWindow::setVsync(bool on)
{
    SDL_GL_SetSwapInterval(on ? 1 : 0);
}

bool SdlWindow::hasInputFocus()
{
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool SdlWindow::setRelativeMouse(bool on)
{
    return SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE) == 0;
}

void SdlWindow::minimize()
{
    SDL_MinimizeWindow(window);
}

bool SdlWindow::minimized()
{
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
}

float SdlWindow::displayDpi()
{
    float diagonal = 0.f;
    if (SDL_GetDisplayDPI(SDL_GetWindowDisplayIndex(window), &diagonal, nullptr, nullptr) != 0)
        return 0.f;
    return diagonal;
}

std::string SdlWindow::videoDriver()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver ? driver : "";
}

} // namespace lumaroll
