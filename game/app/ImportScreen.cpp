#include "app/ImportScreen.h"

#include "import/Import.h"
#include "overlay/Overlay.h"

#include <gr/gles2/GLES2_Dispatch.h>

#include <GLES2/gl2.h>

namespace lumaroll {

bool runImportScreen(AppContext& app)
{
    Overlay& overlay = *app.overlay;
    bool quit = false;
    overlay.setQuitAction([&quit]() { quit = true; });
    overlay.setMenuOpen(true);
    overlay.setImportScreen(true);
    while (!quit) {
        if (hasGameData(gameDataDir()))
            break;
        SDL_Event event;
        while (app.events->poll(event)) {
            if (event.type == SDL_QUIT)
                quit = true;
            overlay.handleEvent(event);
        }
        app.window->drawableSize(app.drawableWidth, app.drawableHeight);
        gr::gl.Viewport(0, 0, app.drawableWidth, app.drawableHeight);
        gr::gl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        gr::gl.Clear(GL_COLOR_BUFFER_BIT);
        overlay.render();
        app.window->present();
        app.clock->delay(16);
    }
    overlay.setMenuOpen(false);
    overlay.setImportScreen(false);
    // The callback refers to this frame's flag: the first level session sets its own.
    overlay.setQuitAction(nullptr);
    return quit;
}

bool importScreenCanShow(const std::string& videoDriver, bool driverChosenByUser)
{
    return driverChosenByUser || (videoDriver != "offscreen" && videoDriver != "dummy");
}

} // namespace lumaroll
