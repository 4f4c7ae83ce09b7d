// The program's one window with its OpenGL ES context, as the game uses it:
// sizes, presenting a frame, reading it back, fullscreen, focus, the mouse
// mode, minimising, its display's density and the video driver. SdlWindow is the real one; tests hand the
// session a fake (tests/support/PlatformFakes.h) that needs no display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumaroll {

class Window {
public:
    virtual ~Window() = default;

    // The window's size in screen points (the unit of mouse positions).
    virtual void size(int& width, int& height) = 0;
    // The size of its GL drawable in pixels (larger than the points on a
    // high-density display); the level session reads it every frame.
    virtual void drawableSize(int& width, int& height) = 0;

    // Shows the frame drawn into the back buffer. The GL command stream is
    // flushed first: a driver whose swap flushes nothing (SDL's offscreen
    // driver swaps a pbuffer) would otherwise queue every frame's commands.
    virtual void present() = 0;

    // The drawable's current back buffer as RGBA bytes, first row at the
    // top, with its size; false (rgba empty) when nothing can be read.
    virtual bool screenshot(std::vector<std::uint8_t>& rgba, int& width, int& height) = 0;

    // Desktop fullscreen ("graphics.fullscreen", the overlay's F11).
    virtual bool fullscreen() = 0;
    virtual void setFullscreen(bool on) = 0;
    // Presents wait for the display's refresh ("graphics.vsync").
    virtual void setVsync(bool on) = 0;

    // Whether the window has keyboard focus (offscreen windows never do).
    virtual bool hasInputFocus() = 0;
    // Relative mouse mode: the pointer is hidden and only motion is
    // reported. Returns false when the system refuses it (the offscreen
    // driver always does).
    virtual bool setRelativeMouse(bool on) = 0;
    // Minimises the window (the in-game menu's task switcher button).
    virtual void minimize() = 0;
    // Whether the window is minimised now (the overlay lays out nothing for it then).
    virtual bool minimized() = 0;

    // The diagonal DPI of the display the window is on; 0 when the system
    // cannot tell (the overlay's menu then assumes 96).
    virtual float displayDpi() = 0;

    // The video driver in use ("x11", "wayland", "offscreen", ...); empty
    // when video is not running.
    virtual std::string videoDriver() = 0;

    // The graphics context's present callback: userData is the Window to
    // present; nothing for null (a session without a window).
    static void presentCallback(void* userData)
    {
        if (userData)
            static_cast<Window*>(userData)->present();
    }
};

} // namespace lumaroll
