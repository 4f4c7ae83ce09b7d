#include "ui/Hud.h"

#include "logic/World.h"
#include "text/Numbers.h"
#include "ui/UiCanvas.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace lumaroll {

namespace {

const char* const kIngame = "INGAME";
// Image names drawn every frame, made once: names longer than a short
// string's inline space would otherwise be allocated at each call.
const std::string kPickIcon = "LEVEL_1_PICK_ITEM_ICON";
const std::string kResultsBackground1 = "LEVEL_1_RESULTS_BG";
const std::string kTimeIcon = "LEVEL_2_HUD_TIME";
const std::string kDistanceIcon = "LEVEL_2_HUD_DISTANCE";
const std::string kResultsBackground2 = "LEVEL_2_RESULTS_BG";

// printf into the 48 bytes a HUD text may take.
std::string hudText(const char* format, ...)
{
    char text[48];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

} // namespace

void Hud::draw(UiCanvas& canvas, World& world, const HudPlayer* player, bool paused, bool levelOver, float dt,
               bool menuOpen)
{
    const float v = canvas.virtualWidth();
    const int count = saturateToInt(world.getVariable("score"));
    float t = countTimer;
    if (count != lastCount) {
        lastCount = count;
        t = 3.f;
    }
    countTimer = t - dt;
    const float target = t - dt > 0.f && !paused ? 100.f : 0.f;
    slide += (target - slide) * std::min(8.f * dt, 1.f);

    if (player) {
        if (slide > 0.5f && collectablesTotal > 0) {
            // The icon and its count slide in from the right edge.
            const std::string text = hudText("%d/%d", count, collectablesTotal);
            const float iw = static_cast<float>(canvas.imageWidth(kIngame, kPickIcon));
            const float ih = static_cast<float>(canvas.imageHeight(kIngame, kPickIcon));
            const float tw = static_cast<float>(canvas.textWidth("FONT", text));
            const float x = v + (1.f - slide / 100.f) * (tw + iw);
            canvas.drawImage(kIngame, kPickIcon, x, 0.f, 1.f, 1.f);
            canvas.drawText("FONT", text, 2, 1, x - iw, ih / 2.f, 1.f);
        }
        if (player->railIndex >= 0) {
            if (!paused && !levelOver) {
                drawLevel2(canvas, world, *player);
            } else if (levelOver && !menuOpen) {
                resultsTimer += dt;
                const float fade = std::min(2.f * resultsTimer, 1.f);
                drawResults(canvas, *player, fade);
                drawCollectablesResults(canvas, count, fade);
                traceResults(fade);
            }
            return;
        }
    }
    if (!levelOver || menuOpen)
        return;
    resultsTimer += dt;
    const float fade = std::min(2.f * resultsTimer, 1.f);
    drawCollectablesResults(canvas, count, fade);
    traceResults(fade);
}

void Hud::traceResults(float fade)
{
    if (fade < 1.f || resultsTraced)
        return;
    resultsTraced = true;
    if (std::getenv("LUMAROLL_TRACE"))
        std::printf("[trace] results shown\n");
}

void Hud::drawCollectablesResults(UiCanvas& canvas, int count, float fade)
{
    if (collectablesTotal <= 0)
        return;
    const float v = canvas.virtualWidth();
    canvas.drawImage(kIngame, kResultsBackground1, v / 2.f, 240.f, fade, 1.f);
    canvas.drawText(count >= collectablesTotal ? "FONT_YELLOW" : "FONT",
                    hudText("%d/%d", count, collectablesTotal), 1, 1, v / 2.f, 310.f, fade);
}

void Hud::drawLevel2(UiCanvas& canvas, World& world, const HudPlayer& player)
{
    const float v = canvas.virtualWidth();
    canvas.drawImage(kIngame, kTimeIcon, 0.f, 0.f, 1.f, 1.f);
    canvas.drawText("FONT", hudText("%.1f", static_cast<double>(world.getVariable("timer01"))), 2, 1, 175.f, 25.f,
                    1.f);
    canvas.drawImage(kIngame, kDistanceIcon, v, 0.f, 1.f, 1.f);
    canvas.drawText("FONT", hudText("%d", saturateToInt(player.distanceRidden / 100.f)), 2, 1, v - 52.f, 25.f,
                    1.f);
    const int n = saturateToInt(world.getVariable("countdown") + 0.5f);
    if (n >= 1 && n <= 3)
        canvas.drawImage(kIngame, hudText("LEVEL_2_START_COUNTDOWN_%d", n), v / 2.f, 160.f, 1.f, 1.f);
}

void Hud::drawResults(UiCanvas& canvas, const HudPlayer& player, float fade)
{
    const float v = canvas.virtualWidth();
    const int distance = saturateToInt(player.distanceRidden / 100.f);
    if (place == -2) {
        place = -1;
        if (submitDistance) {
            const ScoreSubmission result = submitDistance(distance);
            place = result.place;
            bestDistances = result.best;
            if (!result.saved)
                std::fprintf(stderr, "ui: could not save the best distances to %s\n", result.file.c_str());
        }
    }
    canvas.drawImage(kIngame, kResultsBackground2, v / 2.f, 229.f, fade, 1.f);
    canvas.drawText("FONT", hudText("%d m", distance), 1, 1, v / 2.f, 148.f, fade);
    const int rows = std::min(static_cast<int>(bestDistances.size()), 3);
    for (int r = 0; r < rows; ++r) {
        const char* font = r == place ? "FONT_YELLOW" : "FONT";
        const float y = 272.f + 30.f * static_cast<float>(r);
        canvas.drawText(font, hudText("%d.", r + 1), 0, 1, v / 2.f - 100.f, y, fade);
        canvas.drawText(font, hudText("%d m", bestDistances[static_cast<size_t>(r)]), 2, 1, v / 2.f + 115.f, y,
                        fade);
    }
}

void Hud::drawLogo(UiCanvas& canvas, bool paused, float dt)
{
    if (logoTimer < 0.f || paused)
        return;
    logoTimer += dt;
    const float alpha = logoTimer < 2.5f ? std::min(3.f * logoTimer, 1.f)
                                         : std::max(1.f - (logoTimer - 2.5f) / 1.5f, 0.f);
    canvas.drawImage("MENU", "MENU_LOGO", canvas.virtualWidth() / 2.f, 240.f, alpha, 1.f);
    if (alpha >= 1.f && !logoTraced) {
        logoTraced = true;
        if (std::getenv("LUMAROLL_TRACE"))
            std::printf("[trace] logo at full strength\n");
    }
    if (logoTimer > 4.f)
        logoTimer = -1.f;
}

} // namespace lumaroll
