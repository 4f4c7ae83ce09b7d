#ifndef SUPPORT_BALLMODELWRITER_H
#define SUPPORT_BALLMODELWRITER_H

// The ball model as a SceneWriter file: the parts the player's model analysis
// looks for, placed so that their sizes and distances are known.
//
//   SceneWriter model;
//   test::writeBallModel(model);                       // the full model
//   test::writeBallModel(model, test::BallModel::NoSphere, "a,b,c,d,shadow_plimbo,40,...");
//
// The full model, under the dummy root "plimbo" at the origin:
// - mesh "body", a box from -50 to 50 on each axis (spherical, radius 50),
//   placed at (10, 50, 0): the pivot;
// - plain node "G_plimbo_lookat_eyes" holding mesh "plimbo_eyeballs", a
//   10-unit box centred at (10, 50, 30), 30 units in front of the pivot (+z);
// - mesh "shadow_plimbo", a flat 120 x 120 quad at height 0 (the ball's bottom);
// - dummies "cameraposition" and "cameralookat", dummy "splash", plain node
//   "G_plimbo_eyes_rolling".
// NoSphere gives the body a 100 x 100 x 40 box (nothing near-spherical) and
// no eyeballs; Empty writes no node at all.

#include "support/SceneWriter.h"

#include <string>

namespace test {

enum class BallModel { Full, NoSphere, Empty };

// Writes the model into writer; a non-empty formRecord is stored as the
// property text "D_forminfo=" + formRecord of the node "D_forminfo".
void writeBallModel(SceneWriter& writer, BallModel kind = BallModel::Full, const std::string& formRecord = "");

} // namespace test

#endif
