#include "overlay/GuiInput.h"

#include "overlay/OverlayWindow.h"

#include <imgui.h>

#include <bitset>
#include <cfloat>
#include <cstring>

namespace lumaroll {

namespace {

const int kKeyCount = 512; // size of the GUI's KeysDown array
const float kStickDeadZone = 8000.f;

int guiButton(Uint8 sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT:
        return 0;
    case SDL_BUTTON_RIGHT:
        return 1;
    case SDL_BUTTON_MIDDLE:
        return 2;
    case SDL_BUTTON_X1:
        return 3;
    case SDL_BUTTON_X2:
        return 4;
    default:
        return -1;
    }
}

float stickValue(Sint16 raw)
{
    const float v = float(raw);
    if (v > kStickDeadZone)
        return (v - kStickDeadZone) / (32767.f - kStickDeadZone);
    if (v < -kStickDeadZone)
        return (v + kStickDeadZone) / (32768.f - kStickDeadZone);
    return 0.f;
}

} // namespace

void GuiInput::init()
{
    ImGuiIO& io = ImGui::GetIO();
    io.BackendPlatformName = "lumaroll";
    io.BackendFlags |= ImGuiBackendFlags_HasGamepad;
    const struct {
        ImGuiKey key;
        SDL_Scancode scancode;
    } keys[] = {
        {ImGuiKey_Tab, SDL_SCANCODE_TAB},
        {ImGuiKey_LeftArrow, SDL_SCANCODE_LEFT},
        {ImGuiKey_RightArrow, SDL_SCANCODE_RIGHT},
        {ImGuiKey_UpArrow, SDL_SCANCODE_UP},
        {ImGuiKey_DownArrow, SDL_SCANCODE_DOWN},
        {ImGuiKey_PageUp, SDL_SCANCODE_PAGEUP},
        {ImGuiKey_PageDown, SDL_SCANCODE_PAGEDOWN},
        {ImGuiKey_Home, SDL_SCANCODE_HOME},
        {ImGuiKey_End, SDL_SCANCODE_END},
        {ImGuiKey_Insert, SDL_SCANCODE_INSERT},
        {ImGuiKey_Delete, SDL_SCANCODE_DELETE},
        {ImGuiKey_Backspace, SDL_SCANCODE_BACKSPACE},
        {ImGuiKey_Space, SDL_SCANCODE_SPACE},
        {ImGuiKey_Enter, SDL_SCANCODE_RETURN},
        {ImGuiKey_Escape, SDL_SCANCODE_ESCAPE},
        {ImGuiKey_KeyPadEnter, SDL_SCANCODE_KP_ENTER},
        {ImGuiKey_A, SDL_SCANCODE_A},
        {ImGuiKey_C, SDL_SCANCODE_C},
        {ImGuiKey_V, SDL_SCANCODE_V},
        {ImGuiKey_X, SDL_SCANCODE_X},
        {ImGuiKey_Y, SDL_SCANCODE_Y},
        {ImGuiKey_Z, SDL_SCANCODE_Z},
    };
    for (const auto& k : keys)
        io.KeyMap[k.key] = k.scancode;
    shown.x = shown.y = -FLT_MAX;
}

void GuiInput::push(const Change& change)
{
    // A frame normally drains the queue; this bound only matters when no
    // frame runs while events keep coming.
    if (queue.size() >= 1024)
        queue.pop_front();
    queue.push_back(change);
}

void GuiInput::processEvent(const SDL_Event& event)
{
    Change change{Kind::Position};
    switch (event.type) {
    case SDL_MOUSEMOTION:
        change.x = float(event.motion.x);
        change.y = float(event.motion.y);
        change.touch = event.motion.which == SDL_TOUCH_MOUSEID;
        push(change);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        change.kind = Kind::Button;
        change.index = guiButton(event.button.button);
        if (change.index < 0)
            break;
        change.x = float(event.button.x);
        change.y = float(event.button.y);
        change.down = event.type == SDL_MOUSEBUTTONDOWN;
        change.touch = event.button.which == SDL_TOUCH_MOUSEID;
        push(change);
        break;
    case SDL_MOUSEWHEEL:
        change.kind = Kind::Wheel;
        change.x = float((event.wheel.x > 0) - (event.wheel.x < 0));
        change.y = float((event.wheel.y > 0) - (event.wheel.y < 0));
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) {
            change.x = -change.x;
            change.y = -change.y;
        }
        push(change);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const int scancode = int(event.key.keysym.scancode);
        if (scancode < 0 || scancode >= kKeyCount)
            break; // the GUI's key array has no room for it
        change.kind = Kind::Key;
        change.index = scancode;
        change.down = event.type == SDL_KEYDOWN;
        change.mods = event.key.keysym.mod;
        push(change);
        break;
    }
    case SDL_TEXTINPUT:
        ImGui::GetIO().AddInputCharactersUTF8(event.text.text);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
            ImGui::GetIO().AddFocusEvent(true);
        else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            ImGui::GetIO().AddFocusEvent(false);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (event.cbutton.button >= SDL_CONTROLLER_BUTTON_MAX)
            break;
        change.kind = Kind::PadButton;
        change.index = event.cbutton.button;
        change.down = event.type == SDL_CONTROLLERBUTTONDOWN;
        push(change);
        break;
    case SDL_CONTROLLERAXISMOTION:
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
            stickX = stickValue(event.caxis.value);
        else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
            stickY = stickValue(event.caxis.value);
        break;
    default:
        break;
    }
}

void GuiInput::applyQueue()
{
    ImGuiIO& io = ImGui::GetIO();
    unsigned buttonsChanged = 0;
    bool moved = false, wheeled = false;
    std::bitset<kKeyCount> keysChanged;
    std::bitset<SDL_CONTROLLER_BUTTON_MAX> padChanged;
    while (!queue.empty()) {
        const Change& c = queue.front();
        const bool isPointer = c.kind == Kind::Position || c.kind == Kind::Button;
        if (isPointer && (c.x != io.MousePos.x || c.y != io.MousePos.y)) {
            // A move after a button change belongs to the next frame, so the
            // frame of a press or release sees the position it happened at.
            if (buttonsChanged != 0 || wheeled)
                return;
        }
        if (c.kind == Kind::Button && io.MouseDown[c.index] != c.down) {
            if ((buttonsChanged & (1u << c.index)) || wheeled)
                return; // the same button twice: one change per frame
        }
        if (c.kind == Kind::Wheel && (moved || buttonsChanged != 0))
            return;
        if (c.kind == Kind::Key && io.KeysDown[c.index] != c.down && keysChanged[size_t(c.index)])
            return;
        if (c.kind == Kind::PadButton && padDown[c.index] != c.down && padChanged[size_t(c.index)])
            return;

        switch (c.kind) {
        case Kind::Position:
        case Kind::Button:
            if (c.x != io.MousePos.x || c.y != io.MousePos.y) {
                io.MousePos = ImVec2(c.x, c.y);
                moved = true;
            }
            if (c.kind == Kind::Button && io.MouseDown[c.index] != c.down) {
                io.MouseDown[c.index] = c.down;
                buttonsChanged |= 1u << c.index;
            }
            shown.fromTouch = c.touch;
            break;
        case Kind::Wheel:
            io.MouseWheelH += c.x;
            io.MouseWheel += c.y;
            wheeled = true;
            break;
        case Kind::Key: {
            if (io.KeysDown[c.index] != c.down)
                keysChanged[size_t(c.index)] = true;
            io.KeysDown[c.index] = c.down;
            const int mods = c.mods;
            io.KeyShift = (mods & KMOD_SHIFT) != 0;
            io.KeyCtrl = (mods & KMOD_CTRL) != 0;
            io.KeyAlt = (mods & KMOD_ALT) != 0;
            io.KeySuper = (mods & KMOD_GUI) != 0;
            break;
        }
        case Kind::PadButton:
            if (padDown[c.index] != c.down)
                padChanged[size_t(c.index)] = true;
            padDown[c.index] = c.down;
            break;
        }
        queue.pop_front();
    }
}

void GuiInput::newFrame(Window* window, FrameClock& clock)
{
    ImGuiIO& io = ImGui::GetIO();
    const WindowSize points = windowPoints(window);
    const WindowSize pixels = windowPixels(window);
    io.DisplaySize = ImVec2(float(points.width), float(points.height));
    if (points.width > 0 && points.height > 0)
        io.DisplayFramebufferScale =
            ImVec2(float(pixels.width) / float(points.width), float(pixels.height) / float(points.height));

    // The GUI library stops on a time step of zero or less.
    const std::uint64_t now = clock.counter();
    float dt = 1.f / 60.f;
    if (lastCounter != 0 && now > lastCounter)
        dt = float(double(now - lastCounter) / double(clock.countsPerSecond()));
    else if (lastCounter != 0)
        dt = 1e-6f;
    io.DeltaTime = dt > 1e-6f ? dt : 1e-6f;
    lastCounter = now;

    applyQueue();

    std::memset(io.NavInputs, 0, sizeof io.NavInputs);
    const struct {
        ImGuiNavInput nav;
        SDL_GameControllerButton button;
    } buttons[] = {
        {ImGuiNavInput_Activate, SDL_CONTROLLER_BUTTON_A},
        {ImGuiNavInput_Cancel, SDL_CONTROLLER_BUTTON_B},
        {ImGuiNavInput_Menu, SDL_CONTROLLER_BUTTON_X},
        {ImGuiNavInput_Input, SDL_CONTROLLER_BUTTON_Y},
        {ImGuiNavInput_DpadLeft, SDL_CONTROLLER_BUTTON_DPAD_LEFT},
        {ImGuiNavInput_DpadRight, SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
        {ImGuiNavInput_DpadUp, SDL_CONTROLLER_BUTTON_DPAD_UP},
        {ImGuiNavInput_DpadDown, SDL_CONTROLLER_BUTTON_DPAD_DOWN},
        {ImGuiNavInput_FocusPrev, SDL_CONTROLLER_BUTTON_LEFTSHOULDER},
        {ImGuiNavInput_FocusNext, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER},
        {ImGuiNavInput_TweakSlow, SDL_CONTROLLER_BUTTON_LEFTSHOULDER},
        {ImGuiNavInput_TweakFast, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER},
    };
    for (const auto& b : buttons)
        io.NavInputs[b.nav] = padDown[b.button] ? 1.f : 0.f;
    io.NavInputs[ImGuiNavInput_LStickLeft] = stickX < 0.f ? -stickX : 0.f;
    io.NavInputs[ImGuiNavInput_LStickRight] = stickX > 0.f ? stickX : 0.f;
    io.NavInputs[ImGuiNavInput_LStickUp] = stickY < 0.f ? -stickY : 0.f;
    io.NavInputs[ImGuiNavInput_LStickDown] = stickY > 0.f ? stickY : 0.f;

    shown.x = io.MousePos.x;
    shown.y = io.MousePos.y;
    for (int i = 0; i < 5; ++i)
        shown.down[i] = io.MouseDown[i];
}

void GuiInput::releaseAll()
{
    queue.clear();
    std::memset(padDown, 0, sizeof padDown);
    stickX = stickY = 0.f;
    for (bool& d : shown.down)
        d = false;
    if (!ImGui::GetCurrentContext())
        return;
    ImGuiIO& io = ImGui::GetIO();
    std::memset(io.KeysDown, 0, sizeof io.KeysDown);
    std::memset(io.MouseDown, 0, sizeof io.MouseDown);
    std::memset(io.NavInputs, 0, sizeof io.NavInputs);
    io.KeyShift = io.KeyCtrl = io.KeyAlt = io.KeySuper = false;
}

} // namespace lumaroll
