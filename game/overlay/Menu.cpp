// The menu window: geometry, the tabs or the welcome page in a scrolling
// content area, the footer buttons; the widgets bound to settings, the title,
// and the content's drag, touch and fling scrolling.
#include "overlay/Overlay.h"

#include "overlay/MenuMetrics.h"
#include "overlay/MenuWidgets.h"
#include "store/Settings.h"

#include <imgui_internal.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace lumaroll {

namespace {

struct Tab {
    const char* labelKey;
    const char* id;
    void (Overlay::*body)();
};

const Tab kTabs[] = {
    {"tab.game", "game", &Overlay::drawGameTab},
    {"tab.controls", "controls", &Overlay::drawControlsTab},
    {"tab.graphics", "graphics", &Overlay::drawGraphicsTab},
    {"tab.audio", "audio", &Overlay::drawAudioTab},
    {"tab.improvements", "improvements", &Overlay::drawImprovementsTab},
    {"tab.about", "about", &Overlay::drawAboutTab},
};

// The slider's text as the GUI shows it; format is one of the menu's own.
std::string shownValue(const char* format, float value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, double(value));
    return text;
}

} // namespace

void Overlay::drawMenu()
{
    beginFrame();
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const MenuWindowLayout layout = menuWindowLayout(display.x, display.y, scale, compact);
    ImGui::SetNextWindowSize(ImVec2(layout.width, layout.height), ImGuiCond_Always);
    ImGui::SetNextWindowPos(ImVec2(display.x * 0.5f, display.y * 0.5f), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse;
    if (!layout.titleBar)
        flags |= ImGuiWindowFlags_NoTitleBar;
    const ImGuiStyle& style = ImGui::GetStyle();
    if (ImGui::Begin("Lumaroll", nullptr, flags)) {
        const ImVec2 at = ImGui::GetWindowPos();
        report.items.push_back(
            FrameReport::Item{"window", at.x, at.y, ImGui::GetWindowWidth(), ImGui::GetWindowHeight(), ""});
        const float footer = style.ItemSpacing.y + ImGui::GetFrameHeightWithSpacing();
        if (contentBody || importScreen) {
            ImGui::BeginChild("content", ImVec2(0.f, -footer));
            if (contentBody)
                contentBody();
            else
                drawWelcomePage();
            updateContentScroll();
            ImGui::EndChild();
        } else if (ImGui::BeginTabBar("tabs", ImGuiTabBarFlags_FittingPolicyScroll)) {
            for (const Tab& tab : kTabs) {
                // The fixed id keeps the tab selected when the language changes.
                const std::string label = std::string(menu::tr(tab.labelKey)) + "###" + tab.id;
                const bool selected = ImGui::BeginTabItem(label.c_str());
                noteItem(std::string("tab.") + tab.id, menu::selectedText(selected));
                traceItem(std::string("tab.") + tab.id);
                if (!selected)
                    continue;
                ImGui::BeginChild("content", ImVec2(0.f, -footer));
                (this->*tab.body)();
                updateContentScroll();
                ImGui::EndChild();
                ImGui::EndTabItem();
            }
            ImGui::EndTabBar();
        }

        // The footer stays at the bottom of the window; only the content scrolls.
        ImGui::SetCursorPosY(ImGui::GetWindowHeight() - ImGui::GetFrameHeight() - style.WindowPadding.y);
        if (importScreen) {
            const bool quit = ImGui::Button(menu::tr("button.quit"), ImVec2(-1.f, 0.f));
            traceItem("button.quit");
            if (quit && quitCallback)
                quitCallback();
        } else {
            const float w = (ImGui::GetContentRegionAvail().x - style.ItemSpacing.x) * 0.5f;
            const char* continueLabel = menu::tr("button.continue");
            const bool resume = ImGui::Button(continueLabel, ImVec2(w, 0.f));
            noteItem("button.continue", continueLabel);
            ImGui::SameLine();
            const char* quitLabel = menu::tr("button.quit_game");
            const bool quit = ImGui::Button(quitLabel, ImVec2(w, 0.f));
            noteItem("button.quit_game", quitLabel);
            traceItem("button.quit_game");
            if (resume && menuOpen)
                toggleMenu();
            if (quit && quitCallback)
                quitCallback();
        }
    }
    ImGui::End();
    drawScreenTexts();
    if (!notices.empty())
        drawNotices();
    endFrame();
}

void Overlay::traceItem(const std::string& name)
{
    if (report.items.empty() || report.items.back().name != name)
        noteItem(name);
    if (!std::getenv("LUMAROLL_TRACE") || std::find(traced.begin(), traced.end(), name) != traced.end())
        return;
    // Where a scripted click finds the item; a tab bar lays its tabs out a
    // frame late, so an item without a size yet is traced once it has one.
    const FrameReport::Item& item = report.items.back();
    if (item.width <= 0.f || item.height <= 0.f)
        return;
    std::printf("[trace] %s at %.0f %.0f size %.0f %.0f\n", name.c_str(), double(item.x), double(item.y),
                double(item.width), double(item.height));
    traced.push_back(name);
}

bool Overlay::checkbox(const char* label, const char* key, bool fallback)
{
    bool value = Settings::instance().getBool(key, fallback);
    menu::row(label);
    ImGui::PushID(key);
    const bool changed = ImGui::Checkbox("##v", &value);
    ImGui::PopID();
    noteItem(key, value ? "1" : "0");
    traceItem(key);
    if (!changed)
        return false;
    Settings::instance().setBool(key, value);
    Settings::instance().save();
    return true;
}

bool Overlay::slider(const char* label, const char* key, const char* format, float fallback, float min, float max)
{
    Settings& settings = Settings::instance();
    menu::row(label);
    ImGui::PushID(key);
    if (sliderDrag.revertKey == key) {
        // The drag that began on this slider scrolled the page instead.
        sliderDrag.revertKey.clear();
        settings.setFloat(key, sliderDrag.valueBeforeDrag);
        settings.save();
        float shown = sliderDrag.valueBeforeDrag;
        ImGui::SliderFloat("##v", &shown, min, max, format);
        ImGui::PopID();
        noteItem(key, shownValue(format, shown));
        return true;
    }
    const float before = settings.getFloat(key, fallback);
    float value = before;
    const bool changed = ImGui::SliderFloat("##v", &value, min, max, format);
    ImGui::PopID();
    noteItem(key, shownValue(format, value));
    if (ImGui::IsItemActivated()) {
        sliderDrag.activeKey = key;
        sliderDrag.valueBeforeDrag = before;
    }
    if (!changed)
        return false;
    settings.setFloat(key, value);
    settings.save();
    return true;
}

void Overlay::drawTitle(float width)
{
    if (titleTexture == 0 || titleWidth <= 0 || titleHeight <= 0) {
        ImGui::SetWindowFontScale(2.f);
        menu::centredText("Lumaroll");
        ImGui::SetWindowFontScale(1.f);
        noteItem("title", "Lumaroll");
        return;
    }
    const float w = std::min(width, ImGui::GetContentRegionAvail().x);
    const ImVec2 size(w, w * float(titleHeight) / float(titleWidth));
    menu::centreNext(size.x);
    ImGui::Image(reinterpret_cast<ImTextureID>(static_cast<std::uintptr_t>(titleTexture)), size);
    noteItem("title");
}

void Overlay::updateContentScroll()
{
    const ImVec2 at = ImGui::GetWindowPos(), area = ImGui::GetWindowSize();
    const float maxScroll = ImGui::GetScrollMaxY();
    contentRect[0] = at.x;
    contentRect[1] = at.y;
    contentRect[2] = maxScroll > 0.f ? area.x : 0.f;
    contentRect[3] = area.y;
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
        const float strip = contentRect[0] + contentRect[2] - 1.5f * ImGui::GetStyle().ScrollbarSize;
        if (contentRect[2] > 0.f && io.MousePos.x >= strip) {
            // The scrollbar takes the drag itself.
            dragActive = dragScrolling = false;
            if (hovered)
                scrollVelocity = 0.f;
        } else if (hovered) {
            scrollVelocity = 0.f;
            // Touch has its own gesture in handleEvent.
            dragActive = !input.pointer().fromTouch;
            dragScrolling = false;
        } else {
            dragActive = dragScrolling = false;
        }
    }

    const float t = io.DeltaTime;
    if (dragActive && ImGui::IsMouseDown(ImGuiMouseButton_Left)) {
        const ImVec2 d = ImGui::GetMouseDragDelta(ImGuiMouseButton_Left, 0.f);
        if (!dragScrolling && std::fabs(d.y) > 10.f * scale && std::fabs(d.y) > std::fabs(d.x)) {
            dragScrolling = true;
            if (!sliderDrag.activeKey.empty())
                sliderDrag.revertKey = sliderDrag.activeKey;
        }
        if (dragScrolling) {
            scroll -= io.MouseDelta.y;
            ImGui::SetScrollY(scroll);
            if (t > 0.f)
                scrollVelocity = 0.4f * (-io.MouseDelta.y / t) + 0.6f * scrollVelocity;
            // The widget under the pointer must not keep the drag.
            ImGui::ClearActiveID();
        }
    }

    if (ImGui::IsMouseReleased(ImGuiMouseButton_Left)) {
        sliderDrag.activeKey.clear();
        if (!dragScrolling)
            scrollVelocity = 0.f;
        dragActive = dragScrolling = false;
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
    report.contentScrollY = ImGui::GetScrollY();
    report.contentScrollMaxY = maxScroll;
}

} // namespace lumaroll
