#ifndef SUPPORT_SETUPFIXTURES_H
#define SUPPORT_SETUPFIXTURES_H

// Files for the tests of a level's set-up, written into a data folder laid
// out as the game's ("<data>/shaders", "<data>/resources/models",
// "<data>/resources/textures", "<data>/resources/particles"): library models,
// water and mirror effects, normal-map frames and particle descriptions.
//
// Models and water scenes draw with the effect "flat.fx" (BASEMAP at the
// texture coordinates, no culling) and the textures "red.png", "blue.png"
// and "yellow.png", all written by writeSetupFiles.

#include "support/SceneWriter.h"

#include <string>
#include <vector>

namespace test {

// Writes "flat.fx" and its stages into <data>/shaders, "red.png",
// "blue.png" and "yellow.png" into <data>/resources/textures.
void writeSetupFiles(const std::string& dataDir);

// A quad of two triangles from corner along the edges u and v, with texture
// coordinates 0 to 1 over it.
void addQuad(SceneWriter::Primitive& p, const SceneWriter::Vec3& corner, const SceneWriter::Vec3& u,
			 const SceneWriter::Vec3& v);
// The same quad from its four corners as given (x, y, z each, in the order
// corner, corner + u, corner + v, corner + u + v), which may be anything.
void addQuad(SceneWriter::Primitive& p, const std::vector<float>& corners);

// "box.hgr": three top-level blue meshes "box_a", "box_b", "box_c", quads of
// 40 x 40 in their z = 0 plane at x -60, 0 and 60 (box_c also turned about
// z); no user properties.
SceneWriter boxModel();

// "props.hgr", red meshes:
// - "lever", a mesh at (100, 0, 0) with a child mesh "Lever_Shadow";
// - "lever_shadow", a top-level mesh turned about z and moved to (30, -20, 10);
// - "base_shadow", a top-level mesh at (0, 50, 0), parent of the mesh "knob";
// - entries "lever" ("a01=add,lever_used,1") and "knob" ("a01=add,knob_used,1").
SceneWriter propsModel();

// "panel.hgr": the red mesh "panel" and entries "panel_light" ("color=1") and
// "panel_script" ("a01=add,pressed,1"); no entry for "panel" itself.
SceneWriter panelModel();

// Writes box.hgr, props.hgr and panel.hgr into <data>/resources/models.
void writeLibraryModels(const std::string& dataDir);

// Writes an effect file with one pass per technique over the given stage
// files of the same folder, culling off.
void writeEffectFile(const std::string& path, const std::vector<std::string>& techniques,
					 const std::string& vertexStage, const std::string& fragmentStage);

// Writes into <data>/shaders the water and mirror effects:
// - "water.fx": technique "Default", drawing REFLMAP at the texture coordinates;
// - "lake.fx": techniques "Default" and "Water", the same;
// - "waterfall.fx": technique "Default", the same;
// - "Water.fx": technique "Default", the same (a name with a capital W);
// - "mirror.fx": techniques "Default" and "Reflected", drawing BASEMAP;
// - "ceiling.fx": technique "Default" drawing BASEMAP, "Reflected" plain red.
void writeWaterEffects(const std::string& dataDir);

// Writes "water01.pvr" to "water<count>.pvr" into <data>/resources/textures,
// frame i a solid colour of its own (normalMapColour).
void writeNormalMaps(const std::string& dataDir, int count);
// The colour of normal-map frame i (1-based): r = 8 i, g = 255 - 8 i, b = 128.
void normalMapColour(int frame, unsigned char rgb[3]);

// A level of water: "O_water", a 2000 x 2000 quad of "water.fx" at y =
// waterY around the origin; "ceiling", a red 10000 x 10000 quad of
// "mirror.fx" at y 1000; "D_start"; and the start camera "O_startcamera" at
// (0, cameraY, 0) looking straight down.
SceneWriter waterLevel(float waterY, float cameraY);

// The ball model "plimbo.hgr": test::writeBallModel's full model (the dummy
// root "plimbo" with "body" at (10, 50, 0) and "plimbo_eyeballs" at
// (10, 50, 30) in the group "G_plimbo_lookat_eyes", ...) and what the player
// set-up reads besides:
// - animations "plimbo_eyeballs" (at (10, 57, 30) at time 0) and "body" (at
//   (10, 99, 0) at time 0);
// - entries "T_plimbo_lookat_eyes_anim01" ("a01=add,blinks,1" then a long
//   delay) and "T_plimbo_lookat_eyes_anim02" (the same with "brows");
// - the entry "D_forminfo" with the text formText when it is not empty;
// - a yellow 80 x 80 quad "badge" on the back (-z) face of the body, which
//   the follow camera sees.
SceneWriter ballModel(const std::string& formText);

// A form record of 13 fields with the shadow node "shadow_plimbo" and the
// ball radius given (mass 2, force 3, jump 4, friction 5 and 6, max speed 7,
// rebound 8).
std::string formRecord(float radius);

// A cube of 24 vertices (four a face, with texture coordinates) and 36
// indices around the origin, half units from the centre to each face.
void addCube(SceneWriter::Primitive& p, float half);

// Writes a particle description (test::ParticleDescriptionWriter's default)
// to <data>/resources/particles/<name>.
void writeParticleFile(const std::string& dataDir, const std::string& name);

} // namespace test

#endif
