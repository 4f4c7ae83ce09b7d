// The menu window: geometry, the tabs or the welcome page in a scrolling
// content area, and the footer buttons.
#include "overlay/Overlay.h"

#include "overlay/MenuMetrics.h"
#include "overlay/MenuWidgets.h"

#include <string>

namespace lumaroll {

void Overlay::drawMenu()
{
    struct Tab {
        const char* labelKey;
        const char* id;
        MenuTab* body;
    };
    const Tab tabs[] = {
        {"tab.game", "game", &game},
        {"tab.controls", "controls", &controls},
        {"tab.graphics", "graphics", &graphics},
        {"tab.audio", "audio", &sound},
        {"tab.improvements", "improvements", &improvements},
        {"tab.about", "about", &about},
    };

    beginFrame();
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const MenuWindowLayout layout = menuWindowLayout(display.x, display.y, shared.scale(), shared.compact());
    ImGui::SetNextWindowSize(ImVec2(layout.width, layout.height), ImGuiCond_Always);
    ImGui::SetNextWindowPos(ImVec2(display.x * 0.5f, display.y * 0.5f), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse;
    if (!layout.titleBar)
        flags |= ImGuiWindowFlags_NoTitleBar;
    const ImGuiStyle& style = ImGui::GetStyle();
    if (ImGui::Begin("Lumaroll", nullptr, flags)) {
        const ImVec2 at = ImGui::GetWindowPos();
        shared.frame().report().items.push_back(
            FrameReport::Item{"window", at.x, at.y, ImGui::GetWindowWidth(), ImGui::GetWindowHeight(), ""});
        const float footer = style.ItemSpacing.y + ImGui::GetFrameHeightWithSpacing();
        if (contentBody || shared.importScreen()) {
            ImGui::BeginChild("content", ImVec2(0.f, -footer));
            if (contentBody)
                contentBody();
            else
                imports.drawWelcomePage();
            scrolling.update();
            ImGui::EndChild();
        } else if (ImGui::BeginTabBar("tabs", ImGuiTabBarFlags_FittingPolicyScroll)) {
            for (const Tab& tab : tabs) {
                // The fixed id keeps the tab selected when the language changes.
                const std::string label = std::string(menu::tr(tab.labelKey)) + "###" + tab.id;
                const bool selected = ImGui::BeginTabItem(label.c_str());
                shared.frame().noteItem(std::string("tab.") + tab.id, menu::selectedText(selected));
                shared.frame().traceItem(std::string("tab.") + tab.id);
                if (!selected)
                    continue;
                ImGui::BeginChild("content", ImVec2(0.f, -footer));
                tab.body->draw();
                scrolling.update();
                ImGui::EndChild();
                ImGui::EndTabItem();
            }
            ImGui::EndTabBar();
        }

        // The footer stays at the bottom of the window; only the content scrolls.
        ImGui::SetCursorPosY(ImGui::GetWindowHeight() - ImGui::GetFrameHeight() - style.WindowPadding.y);
        if (shared.importScreen()) {
            const bool pressed = ImGui::Button(menu::tr("button.quit"), ImVec2(-1.f, 0.f));
            shared.frame().traceItem("button.quit");
            if (pressed && quit)
                quit();
        } else {
            const float w = (ImGui::GetContentRegionAvail().x - style.ItemSpacing.x) * 0.5f;
            const char* continueLabel = menu::tr("button.continue");
            const bool resume = ImGui::Button(continueLabel, ImVec2(w, 0.f));
            shared.frame().noteItem("button.continue", continueLabel);
            ImGui::SameLine();
            const char* quitLabel = menu::tr("button.quit_game");
            const bool pressed = ImGui::Button(quitLabel, ImVec2(w, 0.f));
            shared.frame().noteItem("button.quit_game", quitLabel);
            shared.frame().traceItem("button.quit_game");
            if (resume && open)
                toggleMenu();
            if (pressed && quit)
                quit();
        }
    }
    ImGui::End();
    texts.draw();
    drawNotices();
    endFrame();
}

} // namespace lumaroll
