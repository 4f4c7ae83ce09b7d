#ifndef SUPPORT_GAMEPACKAGE_H
#define SUPPORT_GAMEPACKAGE_H

// A whole synthetic game data package, made only by the project's fixture
// writers from simple shapes and flat colours: the folder tree a user's
// import leaves in the data folder, and the ".deb" (gzip data.tar, built by
// dpkg-deb) that holds it below "opt/plimbo/data/".
//
// Content, below "data/":
// - "bundles/original/level01.hgr": the menu level and the first playable
//   level (layout below); "bundles/original/level02.hgr": a rail ride.
// - "resources/models/plimbo.hgr": the ball of support/BallModelWriter.h
//   (body "body" of radius 50, the eye group "G_plimbo_lookat_eyes" with
//   "plimbo_eyeballs", the shadow "shadow_plimbo", the camera dummies) with
//   "D_forminfo", the blinking "plimbo_eyelids" in the eye group, their
//   animation and two eye triggers.
//   "resources/models/coin.hgr" (the collectable, taken by its subnode
//   "coin" with its shadow "coin_shadow") and "post.hgr" (a whole model).
// - "resources/textures/": ".pvr" textures (RGBA 8888) of the level, the
//   ball, the sky, the shadows, the particles and the water normal maps
//   "water01.pvr" to "water08.pvr".
// - "resources/particles/": "sparkle.prs" (the coin and a fountain) and
//   "boost.prs" (the rail boost).
// - "resources/images/" MENU.dat, INGAME.dat, LOADING.dat and
//   "resources/localization/" FONT.dat, FONT_YELLOW.dat with PNG textures:
//   every image and glyph the menus and HUD name (support/MenuDataWriter.h).
// - "resources/sounds/": "music01.mp3" (level music), "waterfall.wav"
//   (ambient emitter "S_waterfall"), "plimbo_jump.wav",
//   "plimbo_collision.wav", "pickup.wav", "checkpoint.wav".
// - "shaders/": "flat.fx" (textured; techniques Default and Reflected),
//   "unlit.fx" (the collision meshes: shaded by face, checkered), "water.fx"
//   (REFLMAP and NORMALMAP), "shadow.fx" (blended), "particle.fx",
//   "lines-alpha.fx" (the rails' lines), with their GLSL stages.
//
// Level 01, in scene units; the ball rolls along +z (heading 0), its radius
// is 50, the floor's top is y 0 up to z 800 and y -60 from z 1100 on; walls
// at x -300 and 300 run from z -300 to 3400, a hidden wall closes z -300 and
// a wall closes z 3400.
//
//   z -300 .. 800    flat floor; start "D_start" at (0, 0, 0) (the ball at y 55)
//   z 400            the coin "item01" (sphere of radius 60 at y 40): +1 score, one-shot
//   z 650 .. 750     "T_checkpoint01": checkpoint "D_checkpoint01" at (0, 0, 700)
//   z 800 .. 1100    "ground_slope", down from y 0 to y -60
//   z 950 .. 1100    "T_jump": a hint volume; jump here to clear the gap
//   z 1100 .. 1400   the gap over the water "O_water" (y -400); "T_fall" (y -700
//                    to -250) fails the level: the ball respawns at the checkpoint
//   z 1400 .. 3400   "ground_far" at y -60
//   z 1850 .. 1950   "T_railstart": rail speed limit 600 (ride at 690), the ball
//                    joins the rail "L_rail01" (z 1900 to 3300, with its camera
//                    guide), boost
//   z 3000 .. 3200   "T_goal": level complete, while riding the rail
//
// Keyboard play-through of level 01 ("--play"), ball values force 1750, max
// speed 800, jump 1000 (850 up with the jump factor, 0.85 s in the air,
// about 680 units at full speed): hold Up from the start; the ball reaches
// full speed after about 0.5 s, takes the coin at z 400 and the checkpoint at
// z 700 (about 1.2 s), and falls into the gap (about 1.7 s); "T_fall" puts it
// back at the checkpoint at rest. Holding Up again, it enters "T_jump" after
// about 0.55 s (with LUMAROLL_TRACE: "[trace] ball enters T_jump") and leaves
// the slope's edge after about 0.75 s; a Space press from entering "T_jump"
// until about 0.2 s after the edge clears the gap. On "ground_far" the ball
// joins the rail at z 1900 (Up no longer matters) and reaches "T_goal" about
// 1.6 s later: "*** level complete: 1 points ***", the ride and collectables
// results at once, the ridden distance in "level2.scores".
//
// In menu mode ("--menu", the variable "attraction" 1) the trigger
// "T_attract" switches between the cameras "O_attractcam01" and
// "O_attractcam02" every 4 s; in play it does nothing.
//
// Level 02: the floor at y 0 from z -300 to 4000 with walls; start at
// (0, 0, 0). The script "level2_logic" (running from the start) joins the
// rail "L_ride01" (z 0 to 1800, handing over to "L_ride02", z 1800 to 3600)
// with speed limit 0, counts "countdown" down from 3.5 s (the HUD shows 3, 2,
// 1), then rides at 805 ("maxspeed" 700) with "timer01" counting;
// "T_goal2" (z 3200 to 3400) completes the level on the rail, about 4 s
// after the countdown. "L_guide02" is a camera guide only.

#include <string>

namespace test {

// Ball values of the model's "D_forminfo" and the level's key positions.
namespace gamepackage {
constexpr float kBallRadius = 50.f;
constexpr float kBallForce = 1750.f;
constexpr float kBallJump = 1000.f;
constexpr float kBallMaxSpeed = 800.f;
constexpr float kStartZ = 0.f;
constexpr float kItemZ = 400.f;
constexpr float kCheckpointZ = 700.f;
constexpr float kGapStartZ = 1100.f;
constexpr float kGapEndZ = 1400.f;
constexpr float kRailStartZ = 1900.f;
constexpr float kGoalZ = 3000.f;
} // namespace gamepackage

// Writes the package's game files into dataDir (the folder that holds
// "bundles", "resources" and "shaders"), making folders as needed. False with
// a message in *error when something cannot be written.
bool writeGameData(const std::string& dataDir, std::string* error = nullptr);

// Writes the package as debPath: a tree holding DEBIAN/control and the game
// files below "opt/plimbo/data", built by dpkg-deb with gzip compression.
// False with dpkg-deb's output or the writer's message in *log.
bool writeGamePackage(const std::string& debPath, std::string* log = nullptr);

} // namespace test

#endif
