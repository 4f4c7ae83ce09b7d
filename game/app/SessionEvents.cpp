#include "app/SessionEvents.h"

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

SessionEvents::SessionEvents(AppContext& app, const LaunchOptions& options, RunningLevel& level,
                             CameraChoice& view, const LevelEnd& end, BackdropRequest& backdrop,
                             SessionOutcome& outcome)
    : app(&app), options(&options), level(&level), view(&view), end(&end), backdrop(&backdrop), outcome(&outcome),
      playerInput(*app.keys, *app.clock, *app.devices, *app.controllers)
{
}

SessionEvents::~SessionEvents()
{
    releaseMouse();
}

void SessionEvents::poll()
{
    SDL_Event event;
    while (app->events->poll(event)) {
        // A release goes nowhere else first: a button let go over a menu is let go.
        actionButtons.release(event);
        routeEvent(event);
    }
}

void SessionEvents::routeEvent(const SDL_Event& event)
{
    Controllers& devices = *app->controllers;
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
        if (level->audio()->backgroundMute.exchange(false))
            std::puts("app: back in the foreground, audio resumed");
    }

    const bool overlayTook = app->overlay && app->overlay->handleEvent(event);
    if (isFingerEvent(event)) {
        if (!overlayTook && level->player() && !inGameMenu.isOpen() && !end->over())
            playerInput.handleTouchEvent(event, app->drawableWidth, app->drawableHeight);
        else if (event.type == SDL_FINGERUP) // a lift it never sees would leave the finger down
            playerInput.forgetFinger(event.tfinger.fingerId);
    }
    if (overlayTook)
        return;

    if (inGameMenu.isOpen() && navigateMenuByController(event))
        return;
    if (handleMenuOpenEvent(event))
        return;
    if (inGameMenu.isOpen() && level->menuImagesLoaded() && !forwardToMenu(event))
        return;
    handleGameEvent(event);
}

void SessionEvents::notifyDeviceEvent(const SDL_Event& event, bool padRemoved)
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

bool SessionEvents::navigateMenuByController(const SDL_Event& event)
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

bool SessionEvents::menuAvailable() const
{
    return level->menuImagesLoaded() && (options->menu || options->fromMenu);
}

void SessionEvents::openMenu()
{
    inGameMenu.open();
    // Whatever muted the game ("audio.mute", 'm'), the menu shows it.
    inGameMenu.volumeOn = !level->audio()->masterMute.load();
    if (!level->menuImages()->hasValidCapture())
        backdrop->request();
}

float SessionEvents::pixelsPerPoint() const
{
    int width = 0, height = 0;
    if (app->window)
        app->window->size(width, height);
    return height > 0 ? static_cast<float>(app->drawableHeight) / static_cast<float>(height) : 1.f;
}

bool SessionEvents::handleMenuOpenEvent(const SDL_Event& event)
{
    if (!menuAvailable() || inGameMenu.isOpen())
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
            const bool inPlay = level->player() && !end->over();
            opens = !inPlay || (event.button.x < 0.12f * static_cast<float>(width) &&
                                event.button.y < 0.15f * static_cast<float>(height));
        }
        break;
    case SDL_KEYDOWN:
        // A held key opens once: its repeats would close the menu again at once.
        if (!event.key.repeat)
            opens = event.key.keysym.sym == SDLK_p || (event.key.keysym.sym == SDLK_RETURN && end->over());
        break;
    case SDL_CONTROLLERBUTTONDOWN:
        opens = event.cbutton.button == SDL_CONTROLLER_BUTTON_START ||
                (event.cbutton.button == SDL_CONTROLLER_BUTTON_A && end->over());
        break;
    default:
        break;
    }
    if (!opens)
        return false;
    openMenu();
    return true;
}

bool SessionEvents::forwardToMenu(const SDL_Event& event)
{
    if (event.type == SDL_QUIT) {
        outcome->quit();
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
        const MenuAction action =
            inGameMenu.handleEvent(event, *level->menuImages(), app->drawableHeight, closed, pixelsPerPoint());
        if (closed) {
            app->controllers->calibrateRequested = true;
            if (!end->over())
                level->menuImages()->invalidateCapture();
        }
        onMenuAction(action);
    }
    return key && (sym == SDLK_m || sym == SDLK_F12);
}

void SessionEvents::handleGameEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT:
        outcome->quit();
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_m)
            level->audio()->masterMute = !level->audio()->masterMute.load();
        else if (options->dev)
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
            if (!level->player() || view->freeCameraOn()) {
                view->freeView().yaw += static_cast<float>(event.motion.xrel) * 0.004f;
                view->freeView().pitch -= static_cast<float>(event.motion.yrel) * 0.004f;
            } else {
                playerInput.mouseDX += static_cast<float>(event.motion.xrel);
                playerInput.mouseDY += static_cast<float>(event.motion.yrel);
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

void SessionEvents::enterBackground()
{
    if (!level->audio()->backgroundMute.exchange(true))
        std::puts("app: in the background, game paused and audio muted");
    if (menuAvailable() && level->player() && !end->over() && !inGameMenu.isOpen())
        openMenu();
}

void SessionEvents::onMenuAction(MenuAction action)
{
    const std::string levelDir = dirWithSlash(options->level);
    switch (action) {
    case MenuAction::MenuLevel:
        outcome->changeLevel({"--menu", "--from-menu", levelDir + "level01.hgr"});
        break;
    case MenuAction::PlayLevel1:
        outcome->changeLevel({"--play", "--from-menu", levelDir + "level01.hgr"});
        break;
    case MenuAction::PlayLevel2:
        outcome->changeLevel({"--play", "--from-menu", levelDir + "level02.hgr"});
        break;
    case MenuAction::Volume:
        level->audio()->masterMute = !inGameMenu.volumeOn;
        break;
    case MenuAction::Minimise:
        if (app->window)
            app->window->minimize();
        break;
    case MenuAction::Quit:
        outcome->quit();
        break;
    case MenuAction::None:
    case MenuAction::Credits:
        break;
    }
}

void SessionEvents::handleDevKey(SDL_Keycode key)
{
    switch (key) {
    case SDLK_TAB:
        view->nextSceneCamera(level->sceneCameras());
        break;
    case SDLK_r:
        if (Player* player = level->player())
            player->placeAtStart();
        break;
    case SDLK_F3:
        hiddenMeshesShown = !hiddenMeshesShown;
        for (const auto& node : level->helperMeshes())
            node->setEnabled(hiddenMeshesShown);
        break;
    case SDLK_F4:
        view->toggleScriptedView(level->player() != nullptr);
        break;
    case SDLK_F5:
        level->water()->enabled = !level->water()->enabled;
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

bool SessionEvents::overlayMenuOpen() const
{
    return app->overlay && app->overlay->menuOpen();
}

bool SessionEvents::gameplayHasFocus() const
{
    const bool windowHasFocus = app->window && app->window->hasInputFocus();
    return windowHasFocus && (view->freeCameraOn() ||
                              (level->player() && !end->over() && !inGameMenu.isOpen() && !overlayMenuOpen()));
}

void SessionEvents::setRelativeMouse(bool on)
{
    if (on == relativeMouse)
        return;
    relativeMouse = on;
    mouseTravel = 0;
    if (app->window)
        app->window->setRelativeMouse(on);
    playerInput.mouseCaptured = on;
}

void SessionEvents::releaseMouseUnlessSteering()
{
    if (relativeMouse && !gameplayHasFocus())
        setRelativeMouse(false);
}

void SessionEvents::releaseMouse()
{
    if (relativeMouse)
        setRelativeMouse(false);
}

std::string SessionEvents::takeScreenshotRequest()
{
    std::string name;
    name.swap(devScreenshot);
    return name;
}

} // namespace lumaroll
