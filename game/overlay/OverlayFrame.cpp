// The overlay's frame, text measuring, notices and shut-down.
#include "overlay/Overlay.h"

#include "overlay/SafeFormat.h"
#include "overlay/Translations.h"

#include <gr/gles2/GLES2_Dispatch.h>

#include <imgui_impl_opengl3.h>

#include <GLES2/gl2.h>

namespace lumaroll {

namespace {

const char* const kIconUpdate = "\xEF\x82\xAA"; // U+F0AA

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
    shared.startReport();
}

void Overlay::endFrame()
{
    ImGui::Render();
    {
        VertexStateGuard guard;
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    }
    shared.report().pointer = input.pointer();
    if (frameObserver)
        frameObserver(shared.report());
}

void Overlay::shutdown()
{
    shared.title().release();
    if (!guiUp)
        return;
    ImGui::SetCurrentContext(context);
    ImGui_ImplOpenGL3_Shutdown();
    input.releaseAll();
    ImGui::DestroyContext(context);
    context = nullptr;
    guiUp = false;
}

TextSize Overlay::measureText(const std::string& text, float sizePx) const
{
    TextSize size;
    if (!guiUp)
        return size;
    ImGui::SetCurrentContext(context);
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    if (atlas->Fonts.empty())
        return size;
    const ImVec2 s = atlas->Fonts[0]->CalcTextSizeA(sizePx, FLT_MAX, 0.f, text.data(), text.data() + text.size());
    size.width = s.x;
    size.height = s.y;
    return size;
}

} // namespace lumaroll
