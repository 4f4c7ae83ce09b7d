// The overlay's frame: the menu or the notices and screen texts on top of the
// game, the notices, and the screenshot that F2 asked for.
#include "overlay/Overlay.h"

#include "files/Paths.h"
#include "overlay/OverlayWindow.h"
#include "overlay/SafeFormat.h"
#include "overlay/Screenshot.h"
#include "overlay/Translations.h"

#include <gr/gles2/GLES2_Dispatch.h>

#include <imgui_impl_opengl3.h>

#include <GLES2/gl2.h>

#include <cstdio>
#include <ctime>
#include <vector>

namespace lumaroll {

namespace {

const char* const kIconUpdate = "\xEF\x82\xAA"; // U+F0AA
const char* const kIconCamera = "\xEF\x80\xB0"; // U+F030

// The GL renderer leaves its vertex arrays enabled and its index buffer
// bound; the engine expects arrays it does not use to be off. This keeps
// both as they were around the GUI's drawing.
class VertexStateGuard {
public:
    VertexStateGuard()
    {
        GLint count = 0;
        gr::gl.GetIntegerv(GL_MAX_VERTEX_ATTRIBS, &count);
        attribs = count < kMaxAttribs ? int(count) : kMaxAttribs;
        for (int i = 0; i < attribs; ++i) {
            GLint on = 0;
            gr::gl.GetVertexAttribiv(GLuint(i), GL_VERTEX_ATTRIB_ARRAY_ENABLED, &on);
            enabled[i] = on != 0;
        }
        gr::gl.GetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elementBuffer);
    }
    ~VertexStateGuard()
    {
        for (int i = 0; i < attribs; ++i) {
            if (!enabled[i])
                gr::gl.DisableVertexAttribArray(GLuint(i));
        }
        gr::gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, GLuint(elementBuffer));
    }

private:
    static const int kMaxAttribs = 16;
    int attribs = 0;
    bool enabled[kMaxAttribs] = {};
    GLint elementBuffer = 0;
};

} // namespace

void Overlay::render()
{
    if (!guiUp) {
        // Producers queue their texts every frame; without a GUI they would pile up.
        texts.clear();
        return;
    }
    ImGui::SetCurrentContext(context);
    if (!updateNoticeShown && updates.state() == UpdateAvailable) {
        updateNoticeShown = true;
        notify(formatText(Translations::instance().get("notice.update_available"), {updates.latestVersion()}),
               kIconUpdate, 7.f);
    }
    if (open) {
        if (!menuShown)
            shared.files().expire(); // read again at each opening
        drawMenu();
    } else if (!texts.empty() || !noticeQueue.empty()) {
        beginFrame();
        texts.draw();
        drawNotices();
        endFrame();
    }
    menuShown = open;
    texts.clear();
    // Labels taken from the translations during this frame are no longer used.
    Translations::instance().releaseReplaced();
    if (screenshotDue) {
        screenshotDue = false;
        saveScreenshot();
    }
}

void Overlay::drawNotices()
{
    if (!noticeQueue.empty())
        noticeQueue.draw(shared.platform().clock->ticks(), shared);
}

void Overlay::notify(const std::string& text, const char* icon, float seconds)
{
    noticeQueue.notify(text, icon, seconds);
}

void Overlay::beginFrame()
{
    ImGui_ImplOpenGL3_NewFrame();
    input.newFrame(shared.window(), *shared.platform().clock);
    ImGui::NewFrame();
    shared.frame().start();
}

void Overlay::endFrame()
{
    ImGui::Render();
    {
        VertexStateGuard guard;
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    }
    shared.frame().report().pointer = input.pointer();
    if (frameObserver)
        frameObserver(shared.frame().report());
}

std::string Overlay::saveScreenshot()
{
    if (!guiUp)
        return std::string();
    const WindowSize size = windowPixels(shared.window());
    if (size.width <= 0 || size.height <= 0)
        return std::string();
    std::vector<unsigned char> rgba(size_t(size.width) * size_t(size.height) * 4);
    gr::gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gr::gl.ReadPixels(0, 0, size.width, size.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const ScreenshotFile file = writeScreenshotPng(framebufferToRgb(rgba, size.width, size.height), size.width,
                                                   size.height, picturesDir(), std::time(nullptr));
    if (!file.written) {
        std::printf("screenshot: could not write %s\n", file.path.c_str());
        return std::string();
    }
    std::printf("screenshot: %s\n", file.path.c_str());
    notify(Translations::instance().get("notice.screenshot"), kIconCamera, 3.5f);
    return file.path;
}

} // namespace lumaroll
