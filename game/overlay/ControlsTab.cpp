#include "overlay/ControlsTab.h"

#include "overlay/MenuContext.h"
#include "overlay/MenuWidgets.h"
#include "overlay/Notices.h"
#include "store/SettingRanges.h"
#include "store/Settings.h"

#include <imgui.h>

#include <cfloat>

namespace lumaroll {

namespace {

const char* const kIconPhone = "\xEF\x8F\x8F"; // U+F3CF

struct Choice {
    const char* value;
    const char* labelKey;
};

const Choice kTouchSchemes[] = {
    {"modern", "controls.touch_modern"},
    {"classic", "controls.touch_classic"},
    {"accelerometer", "controls.touch_accelerometer"},
};

const Choice kTiltCameras[] = {
    {"follow", "controls.tilt_camera_follow"},
    {"fixed", "controls.tilt_camera_fixed"},
};

} // namespace

ControlsTab::ControlsTab(MenuContext& context, Notices& notices) : context(context), notices(notices) {}

void ControlsTab::draw()
{
    using menu::tr;
    Settings& settings = Settings::instance();

    menu::sectionHeader("controls.section_camera");
    if (menu::beginSettingsTable("camera")) {
        menu::sliderRow(context, tr("controls.camera_sensitivity"), "controls.camera_sensitivity", "%.1f", 1.f,
                        kCameraSensitivityRange);
        menu::checkboxRow(context, tr("controls.invert_y"), "controls.invert_y", false);
        ImGui::EndTable();
    }

    menu::sectionHeader("controls.section_controllers");
    if (menu::beginSettingsTable("controllers")) {
        menu::sliderRow(context, tr("controls.deadzone"), "controls.deadzone", "%.2f", 0.22f, kDeadzoneRange);
        menu::checkboxRow(context, tr("controls.vibration"), "controls.vibration", true);
        menu::row(tr("controls.connected"));
        const std::vector<std::string> names = context.platform().devices->controllerNames();
        std::string shown;
        if (names.empty()) {
            shown = tr("controls.none_connected");
            ImGui::TextUnformatted(shown.c_str());
        }
        for (const std::string& name : names) {
            ImGui::TextUnformatted(name.c_str());
            shown += (shown.empty() ? "" : "\n") + name;
        }
        context.frame().noteItem("controls.connected", shown);
        ImGui::EndTable();
    }

    if (context.platform().devices->touchDeviceCount() == 0)
        return;
    menu::sectionHeader("controls.section_touch");
    if (!menu::beginSettingsTable("touch"))
        return;
    // Read once: a choice made in this frame shows its rows from the next one.
    const std::string scheme = settings.getString("controls.touch", "modern");
    const Choice* current = &kTouchSchemes[0];
    for (const Choice& choice : kTouchSchemes) {
        if (scheme == choice.value)
            current = &choice;
    }
    menu::row(tr("controls.touch"));
    const bool open = ImGui::BeginCombo("##touch", tr(current->labelKey));
    context.frame().noteItem("controls.touch", tr(current->labelKey));
    if (open) {
        for (const Choice& choice : kTouchSchemes) {
            if (ImGui::Selectable(tr(choice.labelKey), &choice == current)) {
                settings.setString("controls.touch", choice.value);
                context.saveSettings();
            }
            context.frame().noteItem(std::string("controls.touch=") + choice.value,
                                     menu::selectedText(&choice == current));
        }
        ImGui::EndCombo();
    }
    if (scheme == "accelerometer") {
        menu::sliderRow(context, tr("controls.tilt_sensitivity"), "controls.tilt_sensitivity", "%.1f", 1.f,
                        kTiltSensitivityRange);
        menu::checkboxRow(context, tr("controls.tilt_invert_x"), "controls.tilt_invert_x", false);
        menu::checkboxRow(context, tr("controls.tilt_invert_y"), "controls.tilt_invert_y", false);

        const bool fixed = settings.getString("controls.tilt_camera", "follow") == "fixed";
        const Choice& shownCamera = kTiltCameras[fixed ? 1 : 0];
        menu::row(tr("controls.tilt_camera"));
        const bool cameraOpen = ImGui::BeginCombo("##tilt_camera", tr(shownCamera.labelKey));
        context.frame().noteItem("controls.tilt_camera", tr(shownCamera.labelKey));
        if (cameraOpen) {
            for (const Choice& choice : kTiltCameras) {
                if (ImGui::Selectable(tr(choice.labelKey), &choice == &shownCamera)) {
                    settings.setString("controls.tilt_camera", choice.value);
                    context.saveSettings();
                }
                context.frame().noteItem(std::string("controls.tilt_camera=") + choice.value,
                                         menu::selectedText(&choice == &shownCamera));
            }
            ImGui::EndCombo();
        }

        menu::row("");
        const bool pressed = ImGui::Button(tr("controls.calibrate"), ImVec2(-FLT_MIN, 0.f));
        context.frame().noteItem("controls.calibrate");
        if (pressed && calibrate) {
            calibrate();
            notices.notify(tr("controls.calibrated"), kIconPhone, 3.5f);
        }
    }
    ImGui::EndTable();
}

} // namespace lumaroll
