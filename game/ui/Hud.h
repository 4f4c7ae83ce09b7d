// The in-level overlays drawn from the game's atlases, every frame after the
// scene and before the in-game menu: the collectables counter that slides in
// when "score" changes, the ride display while the ball rides a rail (time,
// distance, start countdown), the results panels once the level is over (with
// the three best distances of the high-score file) and the start logo. The
// HUD reads the level through World::getVariable and the player's ride; the
// only thing it changes is the high-score file, once per level session.
// With LUMAROLL_TRACE set, the frame in which the results panels have fully
// faded in prints "[trace] results shown", and the one in which the start
// logo reaches full strength "[trace] logo at full strength"; each once per
// HUD (one level session).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lumaroll {

class UiCanvas;
class World;

// What the HUD reads of the player: the rail the ball rides (negative when
// none) and the distance ridden along rails (scene units; 100 make a metre).
struct HudPlayer {
    int railIndex = -1;
    float distanceRidden = 0.f;
};

// The high-score table's answer to this run's distance.
struct ScoreSubmission {
    int place = -1;        // 0 to 2, -1 when the distance did not enter the table
    std::vector<int> best; // the table, best first
    bool saved = true;     // false when the file could not be written
    std::string file;      // the high-score file (named in the message when not saved)
};

class Hud {
public:
    // The frame's HUD on canvas: the collectables counter; with a player on
    // a rail the ride display while the level runs, or the ride results and
    // the collectables results once the level is over and the menu closed;
    // without a player or off rails the collectables results once the level
    // is over and the menu closed. player is null in the menu level and with
    // the free camera; paused: game time stands still; dt: the real frame
    // time (at most 0.1 s).
    void draw(UiCanvas& canvas, World& world, const HudPlayer* player, bool paused, bool levelOver, float dt,
              bool menuOpen);
    // The ride display: time, distance and the start countdown.
    void drawLevel2(UiCanvas& canvas, World& world, const HudPlayer& player);
    // The ride results with the best distances, faded in by fade. The first
    // call of the session submits the run's distance (submitDistance); when
    // the file could not be written, one line on standard error names it and
    // the panel still shows the run's row.
    void drawResults(UiCanvas& canvas, const HudPlayer& player, float fade);
    // The start logo while logoTimer runs; the timer stands still while paused.
    void drawLogo(UiCanvas& canvas, bool paused, float dt);

    // Adds this run's distance (whole metres) to the high-score file: set by
    // the session; without it nothing is submitted and no rows are drawn.
    std::function<ScoreSubmission(int distance)> submitDistance;

    // The level's collectables ("item=collectable" nodes): set by the
    // session's world set-up; 0 hides the counter and the collectables results.
    int collectablesTotal = 0;
    // The collected count seen last frame, and the time the counter stays
    // shown after a change (3 s, counted down by every draw).
    int lastCount = 0;
    float countTimer = 0.f;
    // How far the counter has slid in, 0 to 100 (fully shown).
    float slide = 0.f;
    // Seconds since the results appeared: the session sets 0 when the level
    // becomes over; the results fade in over min(2 t, 1).
    float resultsTimer = 0.f;
    // The start logo's clock: -1 idle; the session sets 0 to start it (menu
    // level, first level started from the menu); -1 again after 4 s.
    float logoTimer = -1.f;
    // This run's place in the high-score table: -2 not submitted yet, -1 not
    // placed, 0 to 2 the place. Written by the first drawResults.
    int place = -2;
    // The high-score table as the submission returned it, best first.
    std::vector<int> bestDistances;

private:
    void drawCollectablesResults(UiCanvas& canvas, int count, float fade);
    // Prints the results' trace line once fade has reached 1.
    void traceResults(float fade);
    bool resultsTraced = false;
    bool logoTraced = false;
};

} // namespace lumaroll
