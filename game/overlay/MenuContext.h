// What every part of the port menu shares: the window and platform of the
// overlay's bring-up, the layout (UI scale, compact), whether the icon font
// is there and the import-screen mode, and the one instance of each shared
// part: the title picture, the files the menu shows from disk, the recorder
// of the GUI frame being drawn, the saving of the settings and the slider
// drag. The menu's widgets (MenuWidgets.h) draw with them. The overlay owns
// the context and sets it up at init; the tabs, the import page and the
// content scrolling hold a reference, the notices and the widgets are handed
// it for each drawing.
#pragma once

#include "overlay/FrameRecorder.h"
#include "overlay/MenuFiles.h"
#include "overlay/MenuMetrics.h"
#include "overlay/OverlayPlatform.h"
#include "overlay/SettingsSaver.h"
#include "overlay/SliderDrag.h"
#include "overlay/TitlePicture.h"
#include "platform/Window.h"

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

    // Import-screen mode, set and cleared by the program's import screen
    // around its loop (through Overlay::setImportScreen): the menu keys and
    // the multi-finger tap neither open nor close the menu, the content is
    // the welcome page, the footer has one quit button and an import needs
    // no restart.
    bool importScreen() const { return importScreenMode; }
    void setImportScreen(bool on) { importScreenMode = on; }

    // The title picture; loaded and freed by the overlay.
    TitlePicture& title() { return titlePicture; }
    const TitlePicture& title() const { return titlePicture; }
    // The best distances and installed languages, read once per opening.
    MenuFiles& files() { return menuFiles; }
    // The slider a drag began on, for every slider of the menu and the
    // content scrolling (SliderDrag.h).
    SliderDrag& sliderDrag() { return drag; }
    // The report of the GUI frame being drawn and the trace of its named
    // items (FrameRecorder.h).
    FrameRecorder& frame() { return recorder; }
    const FrameRecorder& frame() const { return recorder; }

    // Writes the settings store to config.ini (SettingsSaver.h: a failure is
    // printed and told by a notice). Every change the menu and the overlay's
    // keys store is saved through it at once; false when it could not be.
    bool saveSettings() { return saver.save(); }

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
    FrameRecorder recorder;
};

} // namespace lumaroll
