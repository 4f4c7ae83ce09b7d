// The port menu overlay: the one GUI object of the process. Main builds it,
// brings it up for the window and GL context (init), hands it SDL events before
// the game sees them (handleEvent), lets it draw its frame on top of the game
// before each swap (render) and shuts it down before the GL context goes.
// It draws the settings menu while menuOpen, otherwise only the queued notices
// and screen texts; it also owns the F2 screenshot and F11 fullscreen keys and
// turns touch input into scrolling or clicks for the menu.
//
// Everything here runs on the main thread. With guiUp false (init not called
// or failed) nothing is consumed, drawn or saved.
#pragma once

#include "import/Import.h"
#include "overlay/GuiInput.h"

#include <imgui.h>

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace lumaroll {

class Audio;

// Width and height of a text in pixels; (0, 0) when nothing can be measured.
struct TextSize {
    float width = 0.f;
    float height = 0.f;
};

class Overlay {
public:
    // A text another part wants drawn in the current frame only: right-aligned
    // at x, vertically centred on y, in drawable pixels, at size pixels.
    struct ScreenText {
        std::string text;
        float x = 0.f;
        float y = 0.f;
        float size = 0.f;
    };

    // One queued notice: the shown text, one icon code point as UTF-8, seconds
    // shown so far and seconds until it is gone.
    struct Notice {
        std::string text;
        std::string icon;
        float elapsed = 0.f;
        float duration = 0.f;
    };

    // What one GUI frame showed, for tests and the trace: the screen
    // rectangles (window points) of named items, each drawn notice, and the
    // pointer state the GUI used.
    struct FrameReport {
        struct Item {
            std::string name;
            float x = 0.f, y = 0.f, width = 0.f, height = 0.f;
            // The text the item shows when the menu noted it (a value, a preview, a label).
            std::string text;
        };
        struct NoticeBox {
            std::string text;
            float x = 0.f, y = 0.f, width = 0.f, height = 0.f;
            float opacity = 0.f;
        };
        std::vector<Item> items;
        std::vector<NoticeBox> notices;
        GuiInput::Pointer pointer;
        // The menu's content area: its scroll position and the largest one.
        float contentScrollY = 0.f, contentScrollMaxY = 0.f;

        // The item of that name, or null.
        const Item* find(const std::string& name) const;
    };

    Overlay() = default;
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

    // Creates the GUI context, picks fonts, scale and layout for the display,
    // starts the input glue and the GL renderer, loads the title picture,
    // starts the update check when the settings allow it, sets the language
    // and prints the ready line. Returns false (guiUp stays false) when the GL
    // renderer cannot start. The GL context must be current.
    bool init(SDL_Window* window, SDL_GLContext glContext);

    // Offers one SDL event; true when the overlay consumed it and the caller
    // must not pass it on. Escape, Android Back (not repeated), the
    // controller's Back button and a tap of three or more fingers (once a
    // tap, when its third finger comes down; the finger-downs from the third
    // on are consumed) open and close the menu; F11 toggles fullscreen and F2
    // asks for a screenshot
    // whether the menu is open or not. With the menu open every other event
    // goes to the GUI and is consumed, except SDL_QUIT and window events.
    bool handleEvent(const SDL_Event& event);

    // The overlay's frame, after the game has drawn and before the swap: the
    // update notice once per run, the menu or the notices and screen texts,
    // then the screenshot when one was asked for. Always empties screenTexts.
    void render();

    // Frees the title texture, the GL renderer, the input glue and the GUI
    // context. A second call does nothing.
    void shutdown();

    // Size of text in the first font of the GUI at sizePx pixels, no wrapping.
    TextSize measureText(const std::string& text, float sizePx) const;

    // Queues a notice (text already translated and formatted) for seconds;
    // icon null means the "i" circle. The same text again only pulls the
    // queued one's elapsed back to at most 0.2 s. At most four are kept.
    // Prints "notice: <text>" for each new one.
    void notify(const std::string& text, const char* icon, float seconds);

    // Writes the window's framebuffer as a PNG file into the pictures folder
    // and confirms with a notice; returns the path, or empty when nothing was
    // written ("screenshot: could not write <path>" is printed then).
    std::string saveScreenshot();

    // One whole GUI frame with the menu (called by render while menuOpen):
    // the centred "Lumaroll" window with the six tabs, or the welcome page in
    // import-screen mode, a scrolling content area and the footer buttons,
    // then the screen texts and notices on top.
    void drawMenu();

    // Widgets bound to a setting: one table row with the label and a check box
    // or slider. Each change is stored and config.ini saved at once; true
    // when the stored value changed this frame. A slider under a vertical
    // drag that became a scroll gets its value from before the drag back.
    bool checkbox(const char* label, const char* key, bool fallback);
    bool slider(const char* label, const char* key, const char* format, float fallback, float min, float max);

    // The title picture at most width pixels wide (never wider than the
    // space, aspect kept), or "Lumaroll" as text at twice the font size.
    void drawTitle(float width);
    // The import screen's page: title, welcome text, import button, language.
    void drawWelcomePage();
    // Mouse drag-scrolling, touch scrolling and the fling of the content
    // area; called inside the content child after its body.
    void updateContentScroll();

    // Tab bodies.
    void drawGameTab();
    void drawControlsTab();
    void drawGraphicsTab();
    void drawAudioTab();
    void drawImprovementsTab();
    void drawAboutTab();
    // The language row of the game tab and the welcome page (inside a table).
    void drawLanguageRow();

    // The import button with importMessage below it; present says whether
    // game data is installed (the label offers another package then).
    void drawImportButton(bool present);
    // The desktop's file dialog (PackagePicker.h) titled "game.picker_title";
    // the chosen path or empty.
    std::string pickPackageFile();
    // Imports the package into gameDataDir() with importOptions, at once, and
    // sets importMessage to the translated summary or failure.
    void importPackage(const std::string& path);

    // Merges an icon font asset (relative to the assets folder) into the text
    // font at sizePx; false when the asset cannot be read or used.
    bool addFont(const char* relPath, const ImWchar* glyphRanges, float sizePx);

    // Loads "title/title.png" from the assets into titleTexture (halved until
    // at most 1100 pixels wide); no texture when it is missing or undecodable.
    void loadTitleImage();

    // Advances, draws and drops the notices; once per GUI frame while any are queued.
    void drawNotices();
    // Draws every queued screen text; once per GUI frame.
    void drawScreenTexts();

    // Records the GUI item drawn last under name in this frame's report
    // (menu code and test bodies name the items a test or trace looks for).
    void noteItem(const std::string& name);
    // The same, with the text the item shows.
    void noteItem(const std::string& name, const std::string& text);

    // Quit action of the menu's quit buttons; set by the level session for its
    // lifetime and by main's import screen. Empty: the buttons do nothing.
    std::function<void()> quitCallback;
    // Tilt calibration request of the calibrate button; set by main.
    std::function<void()> calibrateCallback;
    // Set by init; not owned. Used for sizes, fullscreen and screenshots.
    SDL_Window* window = nullptr;
    // The running level session's audio engine, not owned; set by the session
    // when it creates its audio and cleared when its run ends. May be null.
    Audio* audio = nullptr;
    // True once init brought up the GUI; false again after shutdown.
    bool guiUp = false;
    // The menu is shown. Read by the level session to stop game time and keep
    // input from the game; inverted by the menu keys; set and cleared by main
    // around the import screen.
    bool menuOpen = false;
    // Result text of the last import or picker attempt (the import page).
    std::string importMessage;
    // Import-screen mode, set and cleared by main around its import loop: the
    // menu keys do not close the menu and the footer has one quit button.
    bool importScreen = false;
    // The title picture's GL texture, 0 when none.
    std::uint32_t titleTexture = 0;
    // The icon fonts were merged into the text font; icons are drawn only then.
    bool iconsLoaded = false;
    // Set by F2; the screenshot is taken at the end of the next render.
    bool screenshotRequested = false;
    // The clear-records button waits for its confirming second press.
    bool recordsConfirm = false;
    // The fingers on the touch screens as their events told (touch id, finger
    // id), and whether the next tap of three or more fingers toggles the menu:
    // a tap toggles once, when its third finger comes down, and the toggle is
    // armed again once every finger is up.
    std::vector<std::pair<SDL_TouchID, SDL_FingerID>> fingersDown;
    bool multiFingerArmed = true;
    // Touch gesture: 0 idle, 1 finger down and undecided, 2 scrolling, 3 passed to the GUI.
    int touchState = 0;
    // The finger press held back while the gesture is undecided.
    SDL_Event heldTouchDown = {};
    int touchStartX = 0, touchStartY = 0;
    int touchLastX = 0, touchLastY = 0;
    // SDL timestamp (ms) of the last gesture event.
    std::uint32_t touchLastTime = 0;
    // Touch scroll distance (pixels, positive scrolls down) the menu has not applied yet.
    float pendingScroll = 0.f;
    // The menu's content area in the last frame (x, y, width, height); width 0
    // when it cannot scroll, which turns the scrollbar-strip test off.
    float contentRect[4] = {0.f, 0.f, 0.f, 0.f};
    // Mouse drag-scrolling of the content area.
    bool dragActive = false, dragScrolling = false;
    // Fling speed of the content area, pixels per second.
    float scrollVelocity = 0.f;
    // Queued notices, oldest first; never more than four.
    std::vector<Notice> notices;
    // Tick (ms) of the last notice animation step; 0 while no notice animates.
    std::uint32_t lastNoticeTick = 0;
    // The "update available" notice was queued in this run.
    bool updateNoticeShown = false;
    // Texts for the next overlay frame only; filled by the level session
    // (frame-rate label), emptied by every render.
    std::vector<ScreenText> screenTexts;
    // Size of the title picture in pixels.
    int titleWidth = 0, titleHeight = 0;
    // UI scale (menu font pixels / 22), set by init; every pixel constant is multiplied by it.
    float scale = 1.f;
    // Compact layout: the menu fills the display and has no title bar.
    bool compact = false;

    // Limits and known digests of menu imports; the production values unless a test changes them.
    ImportOptions importOptions;

    // Test seam: when set, drawn in the "content" child instead of the tabs.
    std::function<void()> contentBody;
    // Called at the end of every GUI frame with what it showed. Tests set it.
    std::function<void(const FrameReport&)> frameReport;
    // Milliseconds for the notice animation; SDL_GetTicks unless a test replaces it.
    std::function<std::uint32_t()> ticks = [] { return SDL_GetTicks(); };
    // Number of touch devices (the controls tab's touch section); SDL_GetNumTouchDevices unless a test replaces it.
    std::function<int()> touchDevices = [] { return SDL_GetNumTouchDevices(); };

private:
    void toggleMenu();
    // Notes a finger going down or up; true when the event is a finger-down
    // that makes three or more fingers on its touch screen (a menu gesture).
    bool trackFingers(const SDL_Event& event);
    void toggleFullscreen();
    // The touch step of handleEvent; true when it consumed the event.
    bool handleTouch(const SDL_Event& event);
    void sendPointerTo(const SDL_Event& cause, int x, int y);
    // Starts and ends a GUI frame; endFrame renders it and reports it.
    void beginFrame();
    void endFrame();
    GuiInput input;
    ImGuiContext* context = nullptr;
    // Glyph ranges of the text font; the atlas reads them until it is destroyed.
    ImVector<ImWchar> textRanges;
    // Notes the item and, under LUMAROLL_TRACE, prints where it is once per run.
    void traceItem(const std::string& name);
    FrameReport report;
    std::vector<std::string> traced;

    // The slider a drag began on, shared by all sliders and the content
    // scrolling: a vertical drag that starts on a slider scrolls the page and
    // gives the slider its value from before the drag back.
    struct SliderDrag {
        float valueBeforeDrag = 0.f;
        std::string activeKey; // the slider that became active; cleared on release
        std::string revertKey; // the slider to restore on its next draw
    };
    SliderDrag sliderDrag;

    // What the game tab and the welcome page show from disk, read once each
    // time the menu opens (reading every language file each frame doubled
    // the cost of a game-tab frame).
    struct MenuFiles {
        bool fresh = false;
        std::vector<int> scores;
        std::vector<std::pair<std::string, std::string>> languages;
    };
    // Reads menuFiles unless they are fresh.
    void readMenuFiles();
    MenuFiles menuFiles;
    // The last render drew the menu.
    bool menuShown = false;
};

} // namespace lumaroll
