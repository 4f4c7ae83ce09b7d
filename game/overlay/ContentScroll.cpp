#include "overlay/ContentScroll.h"

#include "overlay/GuiInput.h"
#include "overlay/MenuContext.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lumaroll {

ContentScroll::ContentScroll(MenuContext& context, GuiInput& input) : context(context), input(input) {}

void ContentScroll::sendPointerTo(const SDL_Event& cause, int x, int y)
{
    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.timestamp = 0;
    motion.motion.windowID = cause.button.windowID;
    motion.motion.which = SDL_TOUCH_MOUSEID;
    motion.motion.x = x;
    motion.motion.y = y;
    input.processEvent(motion);
}

bool ContentScroll::handleTouch(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN: {
        const SDL_MouseButtonEvent& b = event.button;
        if (b.which != SDL_TOUCH_MOUSEID || b.button != SDL_BUTTON_LEFT)
            return false;
        const float right = contentArea.x + contentArea.width;
        const float strip = 1.5f * ImGui::GetStyle().ScrollbarSize;
        if (contentArea.width > 0.f && float(b.x) >= right - strip && float(b.x) <= right &&
            float(b.y) >= contentArea.y && float(b.y) <= contentArea.y + contentArea.height) {
            // The scrollbar takes the finger itself.
            touchState = Touch::ToGui;
            sendPointerTo(event, b.x, b.y);
            return false;
        }
        touchState = Touch::Undecided;
        heldTouchDown = event;
        touchStartX = touchLastX = b.x;
        touchStartY = touchLastY = b.y;
        touchLastTime = b.timestamp;
        scrollVelocity = 0.f;
        sendPointerTo(event, b.x, b.y);
        return true;
    }
    case SDL_MOUSEMOTION: {
        const SDL_MouseMotionEvent& m = event.motion;
        if (m.which != SDL_TOUCH_MOUSEID)
            return false;
        if (touchState == Touch::Undecided) {
            const int dy = std::abs(m.y - touchStartY), dx = std::abs(m.x - touchStartX);
            if (float(dy) > 10.f * context.scale() && dy >= dx) {
                touchState = Touch::Scrolling;
            } else if (float(dx) > 10.f * context.scale()) {
                touchState = Touch::ToGui;
                input.processEvent(heldTouchDown);
                return false;
            } else {
                return true;
            }
        }
        if (touchState != Touch::Scrolling)
            return false;
        const float d = float(touchLastY - m.y);
        pendingScroll += d;
        // Only a later event gives a speed (synthesised ones carry 0).
        const Sint32 ms = Sint32(m.timestamp - touchLastTime);
        if (ms > 0)
            scrollVelocity = 0.5f * d / (float(ms) / 1000.f) + 0.5f * scrollVelocity;
        touchLastX = m.x;
        touchLastY = m.y;
        touchLastTime = m.timestamp;
        return true;
    }
    case SDL_MOUSEBUTTONUP: {
        const SDL_MouseButtonEvent& b = event.button;
        if (b.which != SDL_TOUCH_MOUSEID || b.button != SDL_BUTTON_LEFT)
            return false;
        if (touchState == Touch::Undecided) {
            // A tap: the GUI gets the held press now and the release next.
            input.processEvent(heldTouchDown);
            touchState = Touch::Idle;
            return false;
        }
        if (touchState == Touch::Scrolling) {
            // No fling after the finger rested before lifting.
            if (Sint32(b.timestamp - touchLastTime) > 120)
                scrollVelocity = 0.f;
            touchState = Touch::Idle;
            return true;
        }
        touchState = Touch::Idle;
        return false;
    }
    default:
        return false;
    }
}

void ContentScroll::update()
{
    const ImVec2 at = ImGui::GetWindowPos(), size = ImGui::GetWindowSize();
    const float maxScroll = ImGui::GetScrollMaxY();
    contentArea = Area{at.x, at.y, maxScroll > 0.f ? size.x : 0.f, size.y};
    float scroll = ImGui::GetScrollY();
    if (pendingScroll != 0.f) {
        scroll += pendingScroll;
        ImGui::SetScrollY(scroll);
        pendingScroll = 0.f;
    }

    const ImGuiIO& io = ImGui::GetIO();
    const bool hovered =
        ImGui::IsWindowHovered(ImGuiHoveredFlags_ChildWindows | ImGuiHoveredFlags_AllowWhenBlockedByActiveItem);
    if (ImGui::IsMouseClicked(ImGuiMouseButton_Left)) {
        const float strip = contentArea.x + contentArea.width - 1.5f * ImGui::GetStyle().ScrollbarSize;
        if (contentArea.width > 0.f && io.MousePos.x >= strip) {
            // The scrollbar takes the drag itself.
            dragActive = dragScroll = false;
            if (hovered)
                scrollVelocity = 0.f;
        } else if (hovered) {
            scrollVelocity = 0.f;
            // Touch has its own gesture in handleTouch.
            dragActive = !input.pointer().fromTouch;
            dragScroll = false;
        } else {
            dragActive = dragScroll = false;
        }
    }

    const float t = io.DeltaTime;
    if (dragActive && ImGui::IsMouseDown(ImGuiMouseButton_Left)) {
        const ImVec2 d = ImGui::GetMouseDragDelta(ImGuiMouseButton_Left, 0.f);
        if (!dragScroll && std::fabs(d.y) > 10.f * context.scale() && std::fabs(d.y) > std::fabs(d.x)) {
            dragScroll = true;
            context.sliderDrag().becameScroll();
        }
        if (dragScroll) {
            scroll -= io.MouseDelta.y;
            ImGui::SetScrollY(scroll);
            if (t > 0.f)
                scrollVelocity = 0.4f * (-io.MouseDelta.y / t) + 0.6f * scrollVelocity;
            // The widget under the pointer must not keep the drag.
            ImGui::ClearActiveID();
        }
    }

    if (ImGui::IsMouseReleased(ImGuiMouseButton_Left)) {
        context.sliderDrag().released();
        if (!dragScroll)
            scrollVelocity = 0.f;
        dragActive = dragScroll = false;
    }

    if (!ImGui::IsMouseDown(ImGuiMouseButton_Left) && std::fabs(scrollVelocity) > 5.f) {
        scroll += scrollVelocity * t;
        scrollVelocity *= std::exp(-4.f * t);
        // A fling stops at either end instead of pushing against it.
        if (scroll <= 0.f || scroll >= maxScroll) {
            scroll = std::clamp(scroll, 0.f, maxScroll);
            scrollVelocity = 0.f;
        }
        ImGui::SetScrollY(scroll);
    }
    context.frame().report().contentScrollY = ImGui::GetScrollY();
    context.frame().report().contentScrollMaxY = maxScroll;
}

} // namespace lumaroll
