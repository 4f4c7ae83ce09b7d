#include "app/LevelSession.h"

#include <GLES2/gl2.h>
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace lumaroll {

// Saves the back buffer as an RGBA PNG, rows flipped to top-down; false when
// the file could not be written.
static bool saveScreenshot(const std::string& path, int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    size_t row = static_cast<size_t>(width) * 4;
    std::vector<unsigned char> pixels(row * static_cast<size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    std::vector<unsigned char> flipped(pixels.size());
    for (int y = 0; y < height; ++y)
        std::copy_n(&pixels[row * static_cast<size_t>(height - 1 - y)], row, &flipped[row * static_cast<size_t>(y)]);
    return stbi_write_png(path.c_str(), width, height, 4, flipped.data(), static_cast<int>(row)) != 0;
}

LevelSession::LevelSession(AppContext& app, const LaunchOptions& options) : app(&app), options(options) {}

LevelResult LevelSession::run()
{
    if (options.frames <= 0 && options.screenshot.empty())
        return LevelResult{true, {}, false};
    int frameCount = 0;
    while (running) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                quit = true;
                running = false;
            }
        }
        if (!running)
            break;
        SDL_GL_GetDrawableSize(app->window, &app->drawableWidth, &app->drawableHeight);
        glViewport(0, 0, app->drawableWidth, app->drawableHeight);
        glClearColor(((clearColor >> 16) & 0xff) / 255.0f, ((clearColor >> 8) & 0xff) / 255.0f,
                     (clearColor & 0xff) / 255.0f, ((clearColor >> 24) & 0xff) / 255.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

        ++frameCount;
        if (!options.screenshot.empty()) {
            if ((options.frames < 1 && frameCount > 2) || frameCount == options.frames) {
                if (saveScreenshot(options.screenshot, app->drawableWidth, app->drawableHeight)) {
                    std::printf("screenshot: %s\n", options.screenshot.c_str());
                } else {
                    std::fprintf(stderr, "could not save %s\n", options.screenshot.c_str());
                    screenshotFailed = true;
                }
                quit = true;
                running = false;
            }
        } else if (options.frames > 0 && frameCount >= options.frames) {
            quit = true;
            running = false;
        }
        SDL_GL_SwapWindow(app->window);
    }
    return LevelResult{quit, {}, screenshotFailed};
}

} // namespace lumaroll
