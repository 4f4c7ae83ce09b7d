#include "overlay/GraphicsTab.h"

#include "overlay/MenuContext.h"
#include "overlay/MenuWidgets.h"
#include "overlay/OverlayWindow.h"
#include "store/SettingRanges.h"
#include "store/Settings.h"
#include "text/Numbers.h"

#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumaroll {

namespace {

// The render scale slider's ends in percent.
constexpr int kRenderScalePercentMin = static_cast<int>(100.f * kRenderScaleRange.min);
constexpr int kRenderScalePercentMax = static_cast<int>(100.f * kRenderScaleRange.max);

// A stored number as an int; text such as "nan" or "1e30" must not make the
// conversion undefined.
int wholeNumber(float value)
{
    if (!std::isfinite(value))
        return 0;
    return std::clamp(saturateToInt(value), -1000000, 1000000);
}

} // namespace

GraphicsTab::GraphicsTab(MenuContext& context) : context(context) {}

void GraphicsTab::draw()
{
    using menu::tr;
    Settings& settings = Settings::instance();
    Window* window = context.window();

    menu::sectionHeader("graphics.section_display");
    if (menu::beginSettingsTable("display")) {
        // The box shows the window as it is, also after F11, whatever is stored.
        menu::row(tr("graphics.fullscreen"));
        bool fullscreen = window && window->fullscreen();
        if (ImGui::Checkbox("##fullscreen", &fullscreen)) {
            if (window)
                window->setFullscreen(fullscreen);
            settings.setString("graphics.fullscreen", fullscreen ? "1" : "0");
            context.saveSettings();
        }
        context.frame().noteItem("graphics.fullscreen", fullscreen ? "1" : "0");
        if (menu::checkboxRow(context, tr("graphics.vsync"), "graphics.vsync", true) && window)
            window->setVsync(settings.getBool("graphics.vsync", true));
        menu::row(tr("graphics.resolution"));
        const WindowSize pixels = windowPixels(window);
        char resolution[48];
        std::snprintf(resolution, sizeof resolution, "%d x %d", pixels.width, pixels.height);
        ImGui::TextUnformatted(resolution);
        context.frame().noteItem("graphics.resolution", resolution);
        ImGui::EndTable();
    }

    menu::sectionHeader("graphics.section_performance");
    if (menu::beginSettingsTable("performance")) {
        const char* const scaleKey = "graphics.render_scale";
        float restored = 0.f;
        if (context.sliderDrag().takeRevert(scaleKey, restored)) {
            // The drag that began here scrolled the page instead.
            settings.setFloat(scaleKey, restored);
            context.saveSettings();
        }
        // The scale in force, as the frame clamps it, not the stored text.
        const float scale = kRenderScaleRange.clamp(settings.getFloat(scaleKey, 1.f));
        int percent = wholeNumber(100.f * scale + 0.5f);
        menu::row(tr("graphics.render_scale"));
        const bool changed =
            ImGui::SliderInt("##render_scale", &percent, kRenderScalePercentMin, kRenderScalePercentMax, "%d%%");
        char shown[16];
        std::snprintf(shown, sizeof shown, "%d%%", percent);
        context.frame().noteItem(scaleKey, shown);
        if (ImGui::IsItemActivated())
            context.sliderDrag().activated(scaleKey, scale);
        if (changed) {
            settings.setFloat(scaleKey, float(percent) / 100.f);
            context.saveSettings();
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
        context.frame().noteItem("graphics.fps_limit", preview);
        if (open) {
            for (int fps : {0, 30, 60, 120}) {
                if (ImGui::Selectable(limitText(fps).c_str(), fps == limit)) {
                    settings.setFloat("graphics.fps_limit", float(fps));
                    context.saveSettings();
                }
                context.frame().noteItem("graphics.fps_limit=" + std::to_string(fps),
                                         menu::selectedText(fps == limit));
            }
            ImGui::EndCombo();
        }
        menu::checkboxRow(context, tr("graphics.show_fps"), "graphics.show_fps", false);
        ImGui::EndTable();
    }
}

} // namespace lumaroll
