// The level's collision world as the player sees it: the collision grid and
// the trigger volumes built from the scene, and the triggers the ball starts
// by entering a volume or touching a mesh.
//
// Invariants: the grid is complete once the constructor returns and never
// changes after (the other parts keep references to it and cache ground
// probes on that ground); volumes are only appended, in the order the scene
// and then addTouchable give them.
#pragma once

#include "player/Ball.h"
#include "player/CollisionGrid.h"
#include "player/TriggerVolume.h"

#include <string>
#include <vector>

namespace hgr {
class Node;
class Scene;
} // namespace hgr

namespace lumaroll {

class SceneWorld;

class LevelCollision {
public:
    // Keeps scene and world (not owned, both must outlive this; world may be
    // null: no trigger then starts), fills the grid's owners and triangles
    // from the scene's collision meshes and the volumes from its "T_" nodes,
    // and prints the "collision:" line. Engine exceptions pass on.
    LevelCollision(hgr::Scene* scene, SceneWorld* world);
    LevelCollision(const LevelCollision&) = delete;
    LevelCollision& operator=(const LevelCollision&) = delete;

    // The collision world (the cell size is 200).
    const CollisionGrid& grid() const { return collisionGrid; }
    // The "T_" volumes of the scene, then the touchables, in the order added.
    const std::vector<TriggerVolume>& triggerVolumes() const { return volumes; }

    // Appends a sphere volume of radius around node that starts trigger name on entry.
    void addTouchable(const std::string& name, hgr::Node* node, float radius);

    // Starts the triggers of the volumes ball entered since the last call and
    // of the meshes it touched in its last integration that have an execute
    // trigger; only armed triggers (state 1) start, and a volume whose node
    // left the scene no longer does.
    void checkTouches(const BallBody& ball);

private:
    hgr::Scene* scene;
    SceneWorld* world;
    CollisionGrid collisionGrid{200.f};
    std::vector<TriggerVolume> volumes;

    void build();
};

} // namespace lumaroll
