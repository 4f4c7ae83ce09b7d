// Event routing of the level session: device hot-plug, the background rules,
// the overlay, touch, the in-game menu (its controller keys, the rules that
// open it, the events it gets while open and its actions), the session's
// keys, the developer keys and the mouse look.
#include "app/LevelSession.h"

#include "input/Controllers.h"
#include "overlay/Overlay.h"
#include "overlay/SafeFormat.h"
#include "overlay/Translations.h"

#include <cstdio>
#include <cstdlib>

namespace lumaroll {

namespace {

const char kControllerIcon[] = "\xEF\x84\x9B"; // U+F11B

bool isBackgroundEvent(const SDL_Event& event)
{
    if (event.type == SDL_APP_WILLENTERBACKGROUND || event.type == SDL_APP_DIDENTERBACKGROUND)
        return true;
    return event.type == SDL_WINDOWEVENT &&
           (event.window.event == SDL_WINDOWEVENT_MINIMIZED || event.window.event == SDL_WINDOWEVENT_FOCUS_LOST);
}

bool isForegroundEvent(const SDL_Event& event)
{
    if (event.type == SDL_APP_DIDENTERFOREGROUND)
        return true;
    return event.type == SDL_WINDOWEVENT &&
           (event.window.event == SDL_WINDOWEVENT_RESTORED || event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED);
}

bool isFingerEvent(const SDL_Event& event)
{
    return event.type == SDL_FINGERDOWN || event.type == SDL_FINGERMOTION || event.type == SDL_FINGERUP;
}

} // namespace

void LevelSession::pollEvents()
{
    SDL_Event event;
    while (app->events->poll(event)) {
        // A release goes nowhere else first: a button let go over a menu is let go.
        actionButtons.release(event);
        routeEvent(event);
    }
}

void LevelSession::routeEvent(const SDL_Event& event)
{
    Controllers& devices = Controllers::instance();
    // Asked before the event closes it: was this a pad the manager held?
    const bool padRemoved = event.type == SDL_CONTROLLERDEVICEREMOVED &&
                            devices.holdsController(event.cdevice.which);
    if (devices.handleDeviceEvent(event)) {
        notifyDeviceEvent(event, padRemoved);
        return;
    }

    if (isBackgroundEvent(event)) {
        actionButtons.clear();
        if (relativeMouse)
            setRelativeMouse(false);
        enterBackground();
    } else if (isForegroundEvent(event)) {
        if (audio->backgroundMute.exchange(false))
            std::puts("app: back in the foreground, audio resumed");
    }

    if (app->overlay && app->overlay->handleEvent(event))
        return;

    if (isFingerEvent(event) && player && !menu.isOpen() && !levelOver)
        input.handleTouchEvent(event, app->drawableWidth, app->drawableHeight);

    if (menu.isOpen() && navigateMenuByController(event))
        return;
    if (handleMenuOpenEvent(event))
        return;
    if (menu.isOpen() && uiLoaded && !forwardToMenu(event))
        return;
    handleGameEvent(event);
}

void LevelSession::notifyDeviceEvent(const SDL_Event& event, bool padRemoved)
{
    if (!app->overlay)
        return;
    if (event.type == SDL_CONTROLLERDEVICEADDED) {
        // The translation is user data: filled safely, never used as a printf format.
        const std::string text = formatText(Translations::instance().get("notice.controller_connected"),
                                            {Controllers::controllerName(event.cdevice.which)});
        app->overlay->notify(text, kControllerIcon, 3.5f);
    } else if (padRemoved) {
        app->overlay->notify(Translations::instance().get("notice.controller_disconnected"), kControllerIcon,
                             3.5f);
    }
}

bool LevelSession::navigateMenuByController(const SDL_Event& event)
{
    SDL_Keycode key = SDLK_UNKNOWN;
    if (event.type == SDL_CONTROLLERBUTTONDOWN) {
        switch (event.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_A:
            key = SDLK_RETURN;
            break;
        case SDL_CONTROLLER_BUTTON_B:
            key = SDLK_p;
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            key = SDLK_LEFT;
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            key = SDLK_RIGHT;
            break;
        default:
            return false;
        }
    } else if (event.type == SDL_CONTROLLERAXISMOTION && event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
        // One arrow per push of the stick: the next needs it back near the middle first.
        const float x = static_cast<float>(event.caxis.value) / 32767.f;
        if (menuStickLatch != 0) {
            if (x < 0.3f && x > -0.3f)
                menuStickLatch = 0;
        } else if (x > 0.6f) {
            key = SDLK_RIGHT;
            menuStickLatch = 1;
        } else if (x < -0.6f) {
            key = SDLK_LEFT;
            menuStickLatch = -1;
        }
        if (key == SDLK_UNKNOWN)
            return true;
    } else {
        return false;
    }
    // The key arrives later in this same loop, as if typed.
    SDL_Event press{};
    press.type = SDL_KEYDOWN;
    press.key.keysym.sym = key;
    app->events->push(press);
    return true;
}

bool LevelSession::menuAvailable() const
{
    return uiLoaded && (options.menu || options.fromMenu);
}

void LevelSession::openMenu()
{
    menu.open();
    // Whatever muted the game ("audio.mute", 'm'), the menu shows it.
    menu.volumeOn = !audio->masterMute.load();
    if (!ui->hasValidCapture())
        captureRequested = true;
}

float LevelSession::pixelsPerPoint() const
{
    int width = 0, height = 0;
    if (app->window)
        app->window->size(width, height);
    return height > 0 ? static_cast<float>(app->drawableHeight) / static_cast<float>(height) : 1.f;
}

bool LevelSession::handleMenuOpenEvent(const SDL_Event& event)
{
    if (!menuAvailable() || menu.isOpen())
        return false;
    bool opens = false;
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT) {
            // In play only the corner with the menu button; elsewhere a click
            // is the game's. Mouse positions are in window points, which a
            // high-density display makes fewer than the drawable's pixels.
            int width = app->drawableWidth, height = app->drawableHeight;
            if (app->window)
                app->window->size(width, height);
            const bool inPlay = player && !levelOver;
            opens = !inPlay || (event.button.x < 0.12f * static_cast<float>(width) &&
                                event.button.y < 0.15f * static_cast<float>(height));
        }
        break;
    case SDL_KEYDOWN:
        // A held key opens once: its repeats would close the menu again at once.
        if (!event.key.repeat)
            opens = event.key.keysym.sym == SDLK_p || (event.key.keysym.sym == SDLK_RETURN && levelOver);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
        opens = event.cbutton.button == SDL_CONTROLLER_BUTTON_START ||
                (event.cbutton.button == SDL_CONTROLLER_BUTTON_A && levelOver);
        break;
    default:
        break;
    }
    if (!opens)
        return false;
    openMenu();
    return true;
}

bool LevelSession::forwardToMenu(const SDL_Event& event)
{
    if (event.type == SDL_QUIT) {
        quit = true;
        running = false;
        return false;
    }
    // Presses and releases both reach the menu: it acts on a release, and
    // only on one whose press it saw while open, so the release of the click
    // that opened it does nothing.
    if (event.type != SDL_MOUSEMOTION && event.type != SDL_MOUSEBUTTONDOWN && event.type != SDL_MOUSEBUTTONUP &&
        event.type != SDL_KEYDOWN)
        return false;
    const bool key = event.type == SDL_KEYDOWN;
    const SDL_Keycode sym = key ? event.key.keysym.sym : SDLK_UNKNOWN;
    // A held key acts once in the menu (a held 'p' would close and reopen it
    // at the key-repeat rate); only the arrows move the selection on repeat.
    const bool repeatIgnored = key && event.key.repeat && sym != SDLK_LEFT && sym != SDLK_RIGHT;
    if (!repeatIgnored) {
        bool closed = false;
        const MenuAction action = menu.handleEvent(event, *ui, app->drawableHeight, closed, pixelsPerPoint());
        if (closed) {
            Controllers::instance().calibrateRequested = true;
            if (!levelOver)
                ui->invalidateCapture();
        }
        onMenuAction(action);
    }
    return key && (sym == SDLK_m || sym == SDLK_F12);
}

void LevelSession::handleGameEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT:
        quit = true;
        running = false;
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_m)
            audio->masterMute = !audio->masterMute.load();
        else if (options.dev)
            handleDevKey(event.key.keysym.sym);
        actionButtons.press(event);
        break;
    case SDL_MOUSEBUTTONDOWN:
        actionButtons.press(event);
        break;
    case SDL_MOUSEMOTION:
        // Motion that a touch screen made up never steers or captures.
        if (event.motion.which == SDL_TOUCH_MOUSEID)
            break;
        if (relativeMouse) {
            if (!player || freeCamera) {
                freeCam.yaw += static_cast<float>(event.motion.xrel) * 0.004f;
                freeCam.pitch -= static_cast<float>(event.motion.yrel) * 0.004f;
            } else {
                input.mouseDX += static_cast<float>(event.motion.xrel);
                input.mouseDY += static_cast<float>(event.motion.yrel);
            }
        } else if (gameplayHasFocus()) {
            mouseTravel += std::abs(event.motion.xrel) + std::abs(event.motion.yrel);
            if (mouseTravel >= 25)
                setRelativeMouse(true);
        }
        break;
    default:
        break;
    }
}

void LevelSession::enterBackground()
{
    if (!audio->backgroundMute.exchange(true))
        std::puts("app: in the background, game paused and audio muted");
    if (menuAvailable() && player && !levelOver && !menu.isOpen())
        openMenu();
}

void LevelSession::setNextLevel(const std::vector<std::string>& words)
{
    nextArgs = words;
    running = false;
}

void LevelSession::onMenuAction(MenuAction action)
{
    const std::string levelDir = dirWithSlash(options.level);
    switch (action) {
    case MenuAction::MenuLevel:
        setNextLevel({"--menu", "--from-menu", levelDir + "level01.hgr"});
        break;
    case MenuAction::PlayLevel1:
        setNextLevel({"--play", "--from-menu", levelDir + "level01.hgr"});
        break;
    case MenuAction::PlayLevel2:
        setNextLevel({"--play", "--from-menu", levelDir + "level02.hgr"});
        break;
    case MenuAction::Volume:
        audio->masterMute = !menu.volumeOn;
        break;
    case MenuAction::Minimise:
        if (app->window)
            app->window->minimize();
        break;
    case MenuAction::Quit:
        quit = true;
        running = false;
        break;
    case MenuAction::None:
    case MenuAction::Credits:
        break;
    }
}

void LevelSession::handleDevKey(SDL_Keycode key)
{
    switch (key) {
    case SDLK_TAB:
        if (sceneCameras.empty())
            break;
        chosenCamera += 1;
        if (chosenCamera < static_cast<int>(sceneCameras.size())) {
            std::printf("camera: %s\n", sceneCameras[static_cast<size_t>(chosenCamera)]->getName().c_str());
        } else {
            chosenCamera = -1;
            std::printf("camera: %s\n", "free");
        }
        break;
    case SDLK_r:
        if (player)
            player->placeAtStart();
        break;
    case SDLK_F3:
        hiddenMeshesShown = !hiddenMeshesShown;
        for (const auto& node : hiddenMeshes)
            node->setEnabled(hiddenMeshesShown);
        break;
    case SDLK_F4:
        if (player)
            freeCamera = !freeCamera;
        scriptedView = !scriptedView;
        break;
    case SDLK_F5:
        water->enabled = !water->enabled;
        break;
    case SDLK_F12: {
        char name[40];
        std::snprintf(name, sizeof name, "screenshot-%u.png", static_cast<unsigned>(app->clock->ticks()));
        devScreenshot = name;
        break;
    }
    default:
        break;
    }
}

void LevelSession::saveRequestedScreenshot()
{
    if (devScreenshot.empty())
        return;
    // A screenshot that cannot be written prints nothing.
    if (context->saveScreenshot(devScreenshot))
        std::printf("saved %s\n", devScreenshot.c_str());
    devScreenshot.clear();
}

} // namespace lumaroll
