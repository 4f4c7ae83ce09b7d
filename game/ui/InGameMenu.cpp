#include "ui/InGameMenu.h"

#include "ui/UiCanvas.h"

namespace lumaroll {

namespace {

const char* const kMenu = "MENU";

// The three level items of the main page.
const int kFirstLevelItem = 4;
const int kLastLevelItem = 6;

} // namespace

void InGameMenu::open()
{
    page = 0;
    selected = -1;
    leftPressed = false;
}

void InGameMenu::buildItems(float v)
{
    items.clear();
    items.push_back(Item{"MENU_TASK_SWITCHER", 0.f, 0.f, MenuAction::Minimise});
    items.push_back(Item{volumeOn ? "MENU_VOLUME_ON" : "MENU_VOLUME_OFF", 0.f, 0.f, MenuAction::Volume});
    if (page == 1)
        items.push_back(Item{"", 0.f, 0.f, MenuAction::None});
    else
        items.push_back(Item{"MENU_HELP", 0.f, 0.f, MenuAction::Credits});
    items.push_back(Item{"MENU_EXIT", v, 0.f, MenuAction::Quit});
    if (page == 0) {
        items.push_back(Item{"MENU_LEVEL_ATTRACTION", v / 2.f - 256.f, 243.f, MenuAction::MenuLevel});
        items.push_back(Item{"MENU_LEVEL_1", v / 2.f, 243.f, MenuAction::PlayLevel1});
        items.push_back(Item{"MENU_LEVEL_2", v / 2.f + 256.f, 243.f, MenuAction::PlayLevel2});
    }
}

void InGameMenu::closeSelf(bool& closed)
{
    page = -1;
    leftPressed = false;
    closed = true;
}

MenuAction InGameMenu::activate(int index)
{
    const MenuAction action = items[static_cast<size_t>(index)].action;
    if (action == MenuAction::Credits) {
        page = 1;
        selected = -1;
    } else if (action == MenuAction::Volume) {
        volumeOn = !volumeOn;
    }
    return action;
}

MenuAction InGameMenu::handleEvent(const SDL_Event& event, UiCanvas& canvas, int drawableHeight, bool& closed,
                                   float pixelsPerPoint)
{
    closed = false;
    if (!isOpen())
        return MenuAction::None;
    buildItems(canvas.virtualWidth());
    // SDL's mouse positions are window points; hits are tested in virtual
    // units of the drawable, 480 units high.
    const float unitsPerPoint = (pixelsPerPoint > 0.f ? pixelsPerPoint : 1.f) * 480.f /
                                static_cast<float>(drawableHeight > 0 ? drawableHeight : 1);
    const auto pick = [&](int px, int py) {
        const float x = static_cast<float>(px) * unitsPerPoint;
        const float y = static_cast<float>(py) * unitsPerPoint;
        selected = -1;
        for (size_t i = 0; i < items.size(); ++i) {
            if (!items[i].image.empty() &&
                canvas.hitTest(kMenu, items[i].image, items[i].x, items[i].y, 1.f, x, y))
                selected = static_cast<int>(i);
        }
    };

    switch (event.type) {
    case SDL_MOUSEMOTION:
        pick(event.motion.x, event.motion.y);
        return MenuAction::None;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT)
            leftPressed = true;
        return MenuAction::None;
    case SDL_MOUSEBUTTONUP: {
        const bool left = event.button.button == SDL_BUTTON_LEFT;
        // The release of the click (or tap) that opened the menu is not a choice.
        if (left && !leftPressed)
            return MenuAction::None;
        if (left)
            leftPressed = false;
        pick(event.button.x, event.button.y);
        if (!left)
            return MenuAction::None;
        if (selected < 0) {
            if (page == 1)
                page = 0;
            else
                closeSelf(closed);
            return MenuAction::None;
        }
        return activate(selected);
    }
    case SDL_KEYDOWN:
        switch (event.key.keysym.sym) {
        case SDLK_p:
        case SDLK_ESCAPE:
            if (page == 1)
                page = 0;
            else
                closeSelf(closed);
            return MenuAction::None;
        case SDLK_RIGHT:
        case SDLK_LEFT: {
            if (page != 0)
                return MenuAction::None;
            const bool right = event.key.keysym.sym == SDLK_RIGHT;
            if (selected < kFirstLevelItem || selected > kLastLevelItem)
                selected = right ? kFirstLevelItem : kLastLevelItem;
            else if (right)
                selected = selected == kLastLevelItem ? kFirstLevelItem : selected + 1;
            else
                selected = selected == kFirstLevelItem ? kLastLevelItem : selected - 1;
            return MenuAction::None;
        }
        case SDLK_RETURN:
        case SDLK_SPACE:
            if (selected >= 0 && selected < static_cast<int>(items.size()) &&
                !items[static_cast<size_t>(selected)].image.empty())
                return activate(selected);
            return MenuAction::None;
        default:
            return MenuAction::None;
        }
    default:
        return MenuAction::None;
    }
}

void InGameMenu::draw(UiCanvas& canvas)
{
    if (!isOpen())
        return;
    const float v = canvas.virtualWidth();
    buildItems(v);
    if (page == 1)
        canvas.drawImage(kMenu, "MENU_CREDITS", (v - 800.f) / 2.f, 0.f, 1.f, 1.f);
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i].image.empty())
            canvas.drawImage(kMenu, items[i].image, items[i].x, items[i].y, 1.f,
                             static_cast<int>(i) == selected ? 1.06f : 1.f);
    }
}

} // namespace lumaroll
