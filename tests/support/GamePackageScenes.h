#ifndef SUPPORT_GAMEPACKAGESCENES_H
#define SUPPORT_GAMEPACKAGESCENES_H

// The scene files of the synthetic game data package; support/GamePackage.h
// describes their content and the levels' layout.

#include "support/GamePackage.h"
#include "support/SceneWriter.h"

namespace test {

// "bundles/original/level01.hgr": the menu level and the first playable level.
SceneWriter level01Scene();
// "bundles/original/level02.hgr": the rail ride.
SceneWriter level02Scene();
// "resources/models/plimbo.hgr": the ball.
SceneWriter ballModelScene();
// "resources/models/coin.hgr": the collectable "coin" and its "coin_shadow".
SceneWriter coinModelScene();
// "resources/models/post.hgr": a post, loaded whole.
SceneWriter postModelScene();

} // namespace test

#endif
