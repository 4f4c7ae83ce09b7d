// The game's own pause menu, drawn with images of the "MENU" atlas over the
// blurred game: a main page (the three level choices in a row, task switcher,
// volume, credits and exit buttons) and a credits page. It turns mouse, touch
// and key events into menu actions that the level session carries out; it
// runs no timers and never touches the audio itself.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

namespace lumaroll {

class UiCanvas;

// What an activated item asks for.
enum class MenuAction {
    None,       // nothing to do
    MenuLevel,  // back to the menu level
    PlayLevel1, // play level 1
    PlayLevel2, // play level 2
    Credits,    // the credits page, which the menu shows itself
    Volume,     // the menu toggled volumeOn; the session sets the master mute to !volumeOn
    Minimise,   // minimise the window
    Quit,       // end the program
};

class InGameMenu {
public:
    // One button: an image of the "MENU" atlas (empty for a placeholder that
    // is never drawn nor hit) drawn with its pivot at (x, y), and its action.
    struct Item {
        std::string image;
        float x = 0.f, y = 0.f;
        MenuAction action = MenuAction::None;
    };

    // Open while the page is 0 or more.
    bool isOpen() const { return page != -1; }
    // Page 0, nothing selected, and no left press seen yet: the release of
    // the click that opened the menu does not count. Called by the session
    // when an event opens the menu and when the game goes to the background.
    void open();
    // Page -1: the session closes the menu this way; the menu closes itself
    // through handleEvent.
    void close() { page = -1; }

    // An event while the menu is open; the session forwards mouse motion,
    // left-button presses and releases, and key presses (touch comes as
    // mouse events with the touch mouse id). drawableHeight is the window's
    // drawable height in pixels; pixelsPerPoint converts SDL's mouse
    // positions (window points) into drawable pixels: drawable height /
    // window height, which the session passes (2 on a display that doubles
    // points). closed is set true when the menu closed itself on this event,
    // false otherwise. Returns the action for the session, None when nothing
    // is to be done; None at once, changing nothing, while closed.
    //
    // A left release counts only after a left press reached the open menu.
    // A release on an item activates it; on no item the credits page goes
    // back to the main page and the main page closes. 'p' and Escape do the
    // same; Left and Right move among the three levels on the main page;
    // Return and Space activate the selection.
    MenuAction handleEvent(const SDL_Event& event, UiCanvas& canvas, int drawableHeight, bool& closed,
                           float pixelsPerPoint = 1.f);

    // Draws the open menu on canvas (the selected item 6 % larger); nothing
    // when closed. Called every frame between the canvas's begin and end.
    void draw(UiCanvas& canvas);

    // The buttons of the current page and volume flag for virtual width v.
    void buildItems(float v);
    const std::vector<Item>& currentItems() const { return items; }

    // -1 closed, 0 main page, 1 credits: written by the menu and by
    // open/close; read by the session's pause rule and event routing.
    int page = -1;
    // Index of the highlighted item, -1 none: written by the menu.
    int selected = -1;
    // The volume item's state, true shows "MENU_VOLUME_ON": toggled by the
    // menu's volume item; the session reads it for MenuAction::Volume and sets it to
    // !masterMute whenever it opens the menu.
    bool volumeOn = true;

private:
    MenuAction activate(int index);
    void closeSelf(bool& closed);

    // A left press reached the open menu since it opened or since the last
    // counted release.
    bool leftPressed = false;
    std::vector<Item> items;
};

} // namespace lumaroll
