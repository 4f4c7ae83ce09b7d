// The shared menu context: its set-up, the frame report and the trace of named
// items, the widgets bound to settings, and the title.
#include "overlay/MenuContext.h"

#include "overlay/MenuWidgets.h"
#include "store/Settings.h"

#include <imgui.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace lumaroll {

namespace {

// The slider's text as the GUI shows it; format is one of the menu's own.
std::string shownValue(const char* format, float value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, double(value));
    return text;
}

} // namespace

MenuContext::MenuContext(Notices& notices) : saver(notices) {}

void MenuContext::setUp(Window& window, const OverlayPlatform& platform, const MenuMetrics& metrics,
                        bool iconsLoaded)
{
    shownOn = &window;
    reached = platform;
    uiScale = metrics.scale;
    compactLayout = metrics.compact;
    icons = iconsLoaded;
}

void MenuContext::startReport()
{
    frame = FrameReport();
}

void MenuContext::noteItem(const std::string& name)
{
    noteItem(name, std::string());
}

void MenuContext::noteItem(const std::string& name, const std::string& text)
{
    const ImVec2 min = ImGui::GetItemRectMin(), max = ImGui::GetItemRectMax();
    frame.items.push_back(FrameReport::Item{name, min.x, min.y, max.x - min.x, max.y - min.y, text});
}

void MenuContext::traceItem(const std::string& name)
{
    if (frame.items.empty() || frame.items.back().name != name)
        noteItem(name);
    if (!std::getenv("LUMAROLL_TRACE") || std::find(traced.begin(), traced.end(), name) != traced.end())
        return;
    // Where a scripted click finds the item; a tab bar lays its tabs out a
    // frame late, so an item without a size yet is traced once it has one.
    const FrameReport::Item& item = frame.items.back();
    if (item.width <= 0.f || item.height <= 0.f)
        return;
    std::printf("[trace] %s at %.0f %.0f size %.0f %.0f\n", name.c_str(), double(item.x), double(item.y),
                double(item.width), double(item.height));
    traced.push_back(name);
}

bool MenuContext::checkbox(const char* label, const char* key, bool fallback)
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
    saveSettings();
    return true;
}

bool MenuContext::slider(const char* label, const char* key, const char* format, float fallback, float min,
                         float max)
{
    Settings& settings = Settings::instance();
    menu::row(label);
    ImGui::PushID(key);
    float restored = 0.f;
    if (drag.takeRevert(key, restored)) {
        // The drag that began on this slider scrolled the page instead.
        settings.setFloat(key, restored);
        saveSettings();
        float shown = restored;
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
    if (ImGui::IsItemActivated())
        drag.activated(key, before);
    if (!changed)
        return false;
    settings.setFloat(key, value);
    saveSettings();
    return true;
}

void MenuContext::drawTitle(float width)
{
    if (titlePicture.texture() == 0) {
        ImGui::SetWindowFontScale(2.f);
        menu::centredText("Lumaroll");
        ImGui::SetWindowFontScale(1.f);
        noteItem("title", "Lumaroll");
        return;
    }
    const float w = std::min(width, ImGui::GetContentRegionAvail().x);
    const ImVec2 size(w, w * float(titlePicture.height()) / float(titlePicture.width()));
    menu::centreNext(size.x);
    ImGui::Image(reinterpret_cast<ImTextureID>(static_cast<std::uintptr_t>(titlePicture.texture())), size);
    noteItem("title");
}

} // namespace lumaroll
