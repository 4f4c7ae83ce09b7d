// The port menu overlay: the one GUI object of the process. Main builds it,
// brings it up for the window (init), hands it SDL events before the game
// sees them (handleEvent), lets it draw its frame on top of the game before
// each swap (render) and shuts it down before the GL context goes. It draws
// the settings menu while the menu is open, otherwise only the queued notices
// and screen texts; it also owns the F2 screenshot and F11 fullscreen keys,
// and hands touch input with the menu open to the content's scrolling.
//
// The overlay composes its parts and keeps them to itself: the shared menu
// context (MenuContext.h), one unit per tab (GameTab.h, ControlsTab.h,
// GraphicsTab.h, AudioTab.h, ImprovementsTab.h, AboutTab.h) and the import
// page (ImportPage.h), the notices and screen texts, the content scrolling,
// the multi-finger tap, the GUI's input glue and the update check. What the
// program and the tests need of them is reached through the members below.
//
// Everything here runs on the main thread. While the GUI is not up (init
// not called or failed, or shutdown called since) nothing is consumed, drawn
// or saved.
#pragma once

#include "overlay/AboutTab.h"
#include "overlay/AudioTab.h"
#include "overlay/ContentScroll.h"
#include "overlay/ControlsTab.h"
#include "overlay/FrameReport.h"
#include "overlay/GameTab.h"
#include "overlay/GraphicsTab.h"
#include "overlay/GuiInput.h"
#include "overlay/ImportPage.h"
#include "overlay/ImprovementsTab.h"
#include "overlay/MenuContext.h"
#include "overlay/MultiFingerTap.h"
#include "overlay/Notices.h"
#include "overlay/OverlayPlatform.h"
#include "overlay/ScreenTexts.h"
#include "overlay/UpdateCheck.h"
#include "platform/Window.h"

#include <imgui.h>

#include <SDL.h>

#include <functional>
#include <string>
#include <utility>

namespace lumaroll {

class Audio;

// Width and height of a text in pixels; (0, 0) when nothing can be measured.
struct TextSize {
    float width = 0.f;
    float height = 0.f;
};

class Overlay {
public:
    Overlay();
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

    // Creates the GUI context, picks fonts, scale and layout for the window's
    // display, starts the input glue and the GL renderer, loads the title
    // picture, makes a new update check with the platform's query and starts
    // it when the settings allow it, sets the language and prints the ready
    // line. The window (not owned) is used until shutdown, and its GL
    // context must be current. Returns false (up() stays false) when the GL
    // renderer cannot start; true at once when the GUI is up already.
    bool init(Window& window, const OverlayPlatform& platform = OverlayPlatform());

    // Offers one SDL event; true when the overlay consumed it and the caller
    // must not pass it on (false for every event while the GUI is not up).
    // The menu keys (Escape and Android Back, not repeated, and the
    // controller's Back button) and a tap of three or more fingers (once a
    // tap, when its third finger comes down; the finger-downs from the third
    // on are consumed) open and close the menu; on the import screen they
    // do nothing, and are consumed all the same. F11 (not repeated) toggles
    // fullscreen (and stores and saves it, MenuContext::saveSettings) and F2
    // (not repeated) asks for a screenshot, whether the menu is open or not.
    // With the menu closed every other event is left to the caller; with it
    // open the touch gesture comes first (ContentScroll.h), and every other
    // event goes to the GUI and is consumed, except SDL_QUIT and window
    // events.
    bool handleEvent(const SDL_Event& event);

    // The overlay's frame, after the game has drawn and before the swap: the
    // update notice once per check, then one GUI frame with the menu (its
    // files read again at each opening) or, with the menu closed, with the
    // notices and screen texts (no GUI frame when none are queued), then the
    // screenshot when one was asked for. Always empties the screen texts;
    // while the GUI is not up that is all it does.
    void render();

    // Frees the title texture, the GL renderer, the input glue and the GUI
    // context. A second call does nothing.
    void shutdown();

    // Size of text in the first font of the GUI at sizePx pixels, no wrapping.
    TextSize measureText(const std::string& text, float sizePx) const;

    // Queues a notice (Notices::notify): text already translated and
    // formatted, icon null for the "i" circle.
    void notify(const std::string& text, const char* icon, float seconds);

    // Writes the window's framebuffer as a PNG file into the pictures folder
    // (Screenshot.h), prints "screenshot: <path>" and confirms with a notice;
    // returns the path. Empty when nothing was written: the GUI is not up or
    // the window has no pixels (nothing printed), or the file could not be
    // written ("screenshot: could not write <path>" printed).
    std::string saveScreenshot();

    // init brought the GUI up, and shutdown has not taken it down since.
    bool up() const { return guiUp; }

    // The menu is shown. Read by the level session to stop game time and keep
    // input from the game; inverted by the menu keys and the multi-finger tap
    // (not on the import screen) and closed by the continue button, which
    // also let go of what the GUI holds and of the touch press. setMenuOpen
    // only shows or hides it (the program's import screen).
    bool menuOpen() const { return open; }
    void setMenuOpen(bool on) { open = on; }

    // Import-screen mode (MenuContext::importScreen), set and cleared by the
    // program's import screen around its loop.
    bool importScreen() const { return shared.importScreen(); }
    void setImportScreen(bool on) { shared.setImportScreen(on); }

    // The action of the menu's quit buttons; set by the level session for its
    // lifetime and by the program's import screen. Empty: the buttons do
    // nothing.
    const std::function<void()>& quitAction() const { return quit; }
    void setQuitAction(std::function<void()> action) { quit = std::move(action); }

    // The calibrate button's action (ControlsTab::setCalibrateAction); set by main.
    void setCalibrateAction(std::function<void()> action) { controls.setCalibrateAction(std::move(action)); }

    // The running level session's audio engine for the audio tab
    // (AudioTab::setAudio); null when none.
    Audio* audio() const { return sound.audio(); }
    void setAudio(Audio* audio) { sound.setAudio(audio); }

    // F2 asked for a screenshot, which the end of the next render takes.
    bool screenshotRequested() const { return screenshotDue; }

    // Draws body in the content area instead of the tabs or the welcome page
    // (a test's own widgets); an empty function gives them back.
    void setContentBody(std::function<void()> body) { contentBody = std::move(body); }
    // Called at the end of every GUI frame with what it showed (FrameReport.h).
    void setFrameReport(std::function<void(const FrameReport&)> observer) { frameObserver = std::move(observer); }

    // The parts, for what the program and the tests read or drive of them
    // through their own headers.
    MenuContext& menu() { return shared; }
    const MenuContext& menu() const { return shared; }
    Notices& notices() { return noticeQueue; }
    // Texts for the next overlay frame only; filled by the level session
    // (frame-rate label), emptied by every render.
    ScreenTexts& screenTexts() { return texts; }
    ContentScroll& scroll() { return scrolling; }
    ImportPage& importPage() { return imports; }
    const UpdateCheck& updateCheck() const { return updates; }
    const GameTab& gameTab() const { return game; }

private:
    void toggleMenu();
    void toggleFullscreen();
    // Starts and ends a GUI frame; endFrame renders it and reports it.
    void beginFrame();
    void endFrame();
    // One whole GUI frame with the menu (called by render while the menu is
    // open): the centred "Lumaroll" window with the six tabs, or the welcome
    // page in import-screen mode, a scrolling content area and the footer
    // buttons, then the screen texts and notices on top.
    void drawMenu();
    // The notices, when any are queued, on the platform's clock.
    void drawNotices();

    // Before the context, which tells of failed saves with them.
    Notices noticeQueue;
    MenuContext shared;
    ScreenTexts texts;
    GuiInput input;
    ContentScroll scrolling;
    MultiFingerTap fingers;
    UpdateCheck updates;
    ImportPage imports;
    GameTab game;
    ControlsTab controls;
    GraphicsTab graphics;
    AudioTab sound;
    ImprovementsTab improvements;
    AboutTab about;

    ImGuiContext* context = nullptr;
    // Glyph ranges of the text font; the atlas reads them until it is destroyed.
    ImVector<ImWchar> textRanges;
    bool guiUp = false;
    bool open = false;
    // The last render drew the menu.
    bool menuShown = false;
    bool screenshotDue = false;
    // The "update available" notice was queued for the current check.
    bool updateNoticeShown = false;
    std::function<void()> quit;
    std::function<void()> contentBody;
    std::function<void(const FrameReport&)> frameObserver;
};

} // namespace lumaroll
