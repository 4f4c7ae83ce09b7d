#ifndef TESTS_GAME_APP_SESSIONPROBE_H
#define TESTS_GAME_APP_SESSIONPROBE_H

// Reaches the parts of a level session that the in-process event tests set
// up or look at: the menu images flag (to take the menus away), the in-game
// menu, the player input, a ball, the audio flags and the level state.

#include "app/LevelSession.h"

namespace lumaroll {

struct LevelSessionProbe {
	static bool& uiLoaded(LevelSession& s) { return s.uiLoaded; }
	static InGameMenu& menu(LevelSession& s) { return s.menu; }
	static PlayerInput& input(LevelSession& s) { return s.input; }
	static Audio& audio(LevelSession& s) { return *s.audio; }
	static bool& levelOver(LevelSession& s) { return s.levelOver; }
	static bool& captureRequested(LevelSession& s) { return s.captureRequested; }
	static WaterReflection& water(LevelSession& s) { return *s.water; }
	static FreeCamera& freeCamera(LevelSession& s) { return s.freeCam; }
	static Player& ball(LevelSession& s) { return *s.player; }
	// A ball for the session, as its player set-up would make one.
	static void givePlayer(LevelSession& s) { s.player.reset(new Player(s.scene, s.world.get())); }
};

} // namespace lumaroll

#endif
