// The graphics tab: fullscreen (following the window itself), vsync, the
// drawable size, render scale, frame rate limit and the frame-rate counter.
#include "overlay/Overlay.h"

#include "overlay/MenuWidgets.h"
#include "overlay/OverlayWindow.h"
#include "store/Settings.h"
#include "text/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumaroll {

namespace {

// A stored number as an int; text such as "nan" or "1e30" must not make the
// conversion undefined.
int wholeNumber(float value)
{
    if (!std::isfinite(value))
        return 0;
    return std::clamp(saturateToInt(value), -1000000, 1000000);
}

} // namespace

void Overlay::drawGraphicsTab()
{
    using menu::tr;
    Settings& settings = Settings::instance();

    menu::sectionHeader("graphics.section_display");
    if (menu::beginSettingsTable("display")) {
        // The box shows the window as it is, also after F11, whatever is stored.
        menu::row(tr("graphics.fullscreen"));
        bool fullscreen = windowIsFullscreen(window);
        if (ImGui::Checkbox("##fullscreen", &fullscreen)) {
            setWindowFullscreen(window, fullscreen);
            settings.setString("graphics.fullscreen", fullscreen ? "1" : "0");
            settings.save();
        }
        noteItem("graphics.fullscreen", fullscreen ? "1" : "0");
        if (checkbox(tr("graphics.vsync"), "graphics.vsync", true))
            setWindowVsync(window, settings.getBool("graphics.vsync", true));
        menu::row(tr("graphics.resolution"));
        const WindowSize pixels = windowPixels(window);
        char resolution[48];
        std::snprintf(resolution, sizeof resolution, "%d x %d", pixels.width, pixels.height);
        ImGui::TextUnformatted(resolution);
        noteItem("graphics.resolution", resolution);
        ImGui::EndTable();
    }

    menu::sectionHeader("graphics.section_performance");
    if (menu::beginSettingsTable("performance")) {
        const char* const scaleKey = "graphics.render_scale";
        if (sliderDrag.revertKey == scaleKey) {
            // The drag that began here scrolled the page instead.
            sliderDrag.revertKey.clear();
            settings.setFloat(scaleKey, sliderDrag.valueBeforeDrag);
            settings.save();
        }
        const float stored = settings.getFloat(scaleKey, 1.f);
        int percent = wholeNumber(100.f * stored + 0.5f);
        menu::row(tr("graphics.render_scale"));
        const bool changed = ImGui::SliderInt("##render_scale", &percent, 50, 100, "%d%%");
        char shown[16];
        std::snprintf(shown, sizeof shown, "%d%%", percent);
        noteItem(scaleKey, shown);
        if (ImGui::IsItemActivated()) {
            sliderDrag.activeKey = scaleKey;
            sliderDrag.valueBeforeDrag = stored;
        }
        if (changed) {
            settings.setFloat(scaleKey, float(percent) / 100.f);
            settings.save();
        }

        const int limit = wholeNumber(settings.getFloat("graphics.fps_limit", 0.f));
        auto limitText = [](int fps) {
            char text[32];
            if (fps < 1)
                std::snprintf(text, sizeof text, "%s", tr("graphics.fps_unlimited"));
            else
                std::snprintf(text, sizeof text, "%d", fps);
            return std::string(text);
        };
        const std::string preview = limitText(limit);
        menu::row(tr("graphics.fps_limit"));
        const bool open = ImGui::BeginCombo("##fps_limit", preview.c_str());
        noteItem("graphics.fps_limit", preview);
        if (open) {
            for (int fps : {0, 30, 60, 120}) {
                if (ImGui::Selectable(limitText(fps).c_str(), fps == limit)) {
                    settings.setFloat("graphics.fps_limit", float(fps));
                    settings.save();
                }
                noteItem("graphics.fps_limit=" + std::to_string(fps), menu::selectedText(fps == limit));
            }
            ImGui::EndCombo();
        }
        checkbox(tr("graphics.show_fps"), "graphics.show_fps", false);
        ImGui::EndTable();
    }
}

} // namespace lumaroll
