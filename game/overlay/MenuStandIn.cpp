// STAND-IN for the menu window (the menu with its tabs, the import page and
// the content scrolling replaces it): the centred "Lumaroll" window, a
// "content" child drawing contentBody, and the footer buttons.
#include "overlay/Overlay.h"

#include "overlay/Translations.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace lumaroll {

void Overlay::drawMenu()
{
    beginFrame();
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const ImVec2 size = compact ? display
                                : ImVec2(std::min(scale * 900.f, 0.9f * display.x),
                                         std::min(scale * 640.f, 0.86f * display.y));
    ImGui::SetNextWindowSize(size, ImGuiCond_Always);
    ImGui::SetNextWindowPos(ImVec2(display.x * 0.5f, display.y * 0.5f), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse;
    if (compact)
        flags |= ImGuiWindowFlags_NoTitleBar;
    const ImGuiStyle& style = ImGui::GetStyle();
    Translations& texts = Translations::instance();
    if (ImGui::Begin("Lumaroll", nullptr, flags)) {
        const float footer = style.ItemSpacing.y + ImGui::GetFrameHeightWithSpacing();
        ImGui::BeginChild("content", ImVec2(0.f, -footer));
        if (contentBody)
            contentBody();
        const ImVec2 at = ImGui::GetWindowPos(), area = ImGui::GetWindowSize();
        contentRect[0] = at.x;
        contentRect[1] = at.y;
        contentRect[2] = ImGui::GetScrollMaxY() > 0.f ? area.x : 0.f;
        contentRect[3] = area.y;
        if (pendingScroll != 0.f) {
            ImGui::SetScrollY(ImGui::GetScrollY() + pendingScroll);
            pendingScroll = 0.f;
        }
        ImGui::EndChild();

        ImGui::SetCursorPosY(ImGui::GetWindowHeight() - ImGui::GetFrameHeight() - style.WindowPadding.y);
        if (importScreen) {
            const bool quit = ImGui::Button(texts.get("button.quit"), ImVec2(-1.f, 0.f));
            noteItem("button.quit");
            if (quit && quitCallback)
                quitCallback();
        } else {
            const float w = (ImGui::GetContentRegionAvail().x - style.ItemSpacing.x) * 0.5f;
            const bool resume = ImGui::Button(texts.get("button.continue"), ImVec2(w, 0.f));
            noteItem("button.continue");
            ImGui::SameLine();
            const bool quit = ImGui::Button(texts.get("button.quit_game"), ImVec2(w, 0.f));
            noteItem("button.quit_game");
            if (!traceQuitShown && std::getenv("LUMAROLL_TRACE")) {
                // Where a scripted click can find the quit button.
                const FrameReport::Item& item = report.items.back();
                std::printf("[trace] button.quit_game at %.0f %.0f size %.0f %.0f\n", double(item.x), double(item.y),
                            double(item.width), double(item.height));
                traceQuitShown = true;
            }
            if (resume && menuOpen)
                toggleMenu();
            if (quit && quitCallback)
                quitCallback();
        }
    }
    ImGui::End();
    drawScreenTexts();
    if (!notices.empty())
        drawNotices();
    endFrame();
}

} // namespace lumaroll
