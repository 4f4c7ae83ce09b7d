// What every part of the port menu shares: the window and platform of the
// overlay's bring-up, the layout (UI scale, compact), whether the icon font
// is there, the import-screen mode, the title picture, the files the menu
// shows from disk, the report of the GUI frame being drawn with the trace of
// its named items, the saving of the settings, and the widgets bound to
// settings with the slider drag they share. The overlay owns it and sets it
// up at init; the tabs, the import page, the notices and the content
// scrolling hold a reference.
//
// The drawing members run inside a GUI frame only.
#pragma once

#include "overlay/FrameReport.h"
#include "overlay/MenuFiles.h"
#include "overlay/MenuMetrics.h"
#include "overlay/OverlayPlatform.h"
#include "overlay/SettingsSaver.h"
#include "overlay/SliderDrag.h"
#include "overlay/TitlePicture.h"
#include "platform/Window.h"

#include <string>
#include <vector>

namespace lumaroll {

class Notices;

class MenuContext {
public:
    // The notices (a failed save is told there) are the overlay's and outlive the context.
    explicit MenuContext(Notices& notices);
    MenuContext(const MenuContext&) = delete;
    MenuContext& operator=(const MenuContext&) = delete;

    // Takes the window (not owned; used until the overlay shuts down), the
    // platform and the layout of a bring-up, and whether the icon font was merged.
    void setUp(Window& window, const OverlayPlatform& platform, const MenuMetrics& metrics, bool iconsLoaded);

    // The window; null before the first bring-up.
    Window* window() const { return shownOn; }
    // The clock, devices, desktop and release query; SDL's and the real one
    // before the first bring-up.
    const OverlayPlatform& platform() const { return reached; }
    // UI scale (menu font pixels / 22); every pixel constant is multiplied by it. 1 before set-up.
    float scale() const { return uiScale; }
    // Compact layout: the menu fills the display and has no title bar.
    bool compact() const { return compactLayout; }
    // The icon fonts were merged into the text font; icons are drawn only then.
    bool iconsLoaded() const { return icons; }

    // Import-screen mode, set and cleared by main around its import loop
    // (through Overlay::setImportScreen): the menu keys do not close the
    // menu, the content is the welcome page, the footer has one quit button
    // and an import needs no restart.
    bool importScreen() const { return importScreenMode; }
    void setImportScreen(bool on) { importScreenMode = on; }

    // The title picture; loaded and freed by the overlay.
    TitlePicture& title() { return titlePicture; }
    const TitlePicture& title() const { return titlePicture; }
    // The best distances and installed languages, read once per opening.
    MenuFiles& files() { return menuFiles; }
    // The slider a drag began on (SliderDrag.h).
    SliderDrag& sliderDrag() { return drag; }

    // The report of the GUI frame being drawn: emptied when a frame begins.
    void startReport();
    FrameReport& report() { return frame; }
    const FrameReport& report() const { return frame; }
    // Records the GUI item drawn last under name in this frame's report
    // (menu code and test bodies name the items a test or trace looks for),
    // with the text it shows when given.
    void noteItem(const std::string& name);
    void noteItem(const std::string& name, const std::string& text);
    // Notes the item unless the last one noted has its name and, under
    // LUMAROLL_TRACE, prints "[trace] <name> at X Y size W H" once for this
    // context (the overlay's run), in the first frame that gives the item a size.
    void traceItem(const std::string& name);

    // Writes the settings store to config.ini (SettingsSaver.h: a failure is
    // printed and told by a notice). Every change the menu and the overlay's
    // keys store is saved through it at once; false when it could not be.
    bool saveSettings() { return saver.save(); }

    // Widgets bound to a setting: one table row with the label and a check
    // box or slider. Each change is stored and saved at once (saveSettings); true
    // when the stored value changed this frame. A slider under a vertical
    // drag that became a scroll gets its value from before the drag back
    // (and returns true then).
    bool checkbox(const char* label, const char* key, bool fallback);
    bool slider(const char* label, const char* key, const char* format, float fallback, float min, float max);

    // The title picture at most width pixels wide (never wider than the
    // space, aspect kept), or "Lumaroll" as text at twice the font size.
    void drawTitle(float width);

private:
    Window* shownOn = nullptr;
    OverlayPlatform reached;
    float uiScale = 1.f;
    bool compactLayout = false;
    bool icons = false;
    bool importScreenMode = false;
    TitlePicture titlePicture;
    MenuFiles menuFiles;
    SettingsSaver saver;
    SliderDrag drag;
    FrameReport frame;
    // Items already traced in this run.
    std::vector<std::string> traced;
};

} // namespace lumaroll
