// The scenes of the synthetic game data package (support/GamePackage.h): the
// two levels, the ball and the library models.
#include "support/GamePackageScenes.h"

#include "support/BallModelWriter.h"
#include "support/LevelFixtures.h"
#include "support/TriggerScript.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace test {

namespace {

using Vec3 = SceneWriter::Vec3;
using Matrix = SceneWriter::Matrix;
using Quad = std::array<Vec3, 4>;

Vec3 sub(const Vec3& a, const Vec3& b) {
	return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

Vec3 cross(const Vec3& a, const Vec3& b) {
	return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vec3 unit(const Vec3& v) {
	const float l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
	return {v[0] / l, v[1] / l, v[2] / l};
}

// A camera at eye looking at target with y up: the cameras look along their z axis.
Matrix lookAt(const Vec3& eye, const Vec3& target) {
	const Vec3 z = unit(sub(target, eye));
	const Vec3 x = unit(cross({0.f, 1.f, 0.f}, z));
	const Vec3 y = cross(z, x);
	return {x[0], y[0], z[0], eye[0], x[1], y[1], z[1], eye[1], x[2], y[2], z[2], eye[2]};
}

// Adds a primitive of the material holding the quads, corners in order
// around each, texture coordinates 0 to repeat across each; returns its index.
int quadPrimitive(SceneWriter& w, int material, const std::vector<Quad>& quads, float repeat = 1.f) {
	std::vector<float> positions, uvs;
	std::vector<int> indices;
	const float u[4] = {0.f, repeat, repeat, 0.f};
	const float v[4] = {0.f, 0.f, repeat, repeat};
	for (const Quad& q : quads) {
		const int base = int(positions.size() / 3);
		for (int i = 0; i < 4; ++i) {
			positions.insert(positions.end(), {q[i][0], q[i][1], q[i][2]});
			uvs.insert(uvs.end(), {u[i], v[i]});
		}
		indices.insert(indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
	}
	const int index = w.primitiveCount();
	w.primitive(material)
		.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, positions)
		.component(SceneWriter::DT_TEX0, SceneWriter::V2_32, uvs)
		.indices(indices);
	return index;
}

// A horizontal quad at height y over x0..x1, z0..z1.
Quad flat(float x0, float x1, float z0, float z1, float y) {
	return {Vec3{x0, y, z0}, Vec3{x1, y, z0}, Vec3{x1, y, z1}, Vec3{x0, y, z1}};
}

// Two triangles of a quad, for the collision meshes.
Triangles triangles(const Quad& q) {
	return {q[0], q[1], q[2], q[0], q[2], q[3]};
}

// A textured material of "flat.fx"; returns its index.
int flatMaterial(SceneWriter& w, const std::string& name, const std::string& texture) {
	const int index = w.materialCount();
	w.material(name, "flat.fx").texture("BASEMAP", w.texture(texture));
	return index;
}

// The six inward faces of a cube of half size h around c: the sky.
std::vector<Quad> skyFaces(const Vec3& c, float h) {
	const float x0 = c[0] - h, x1 = c[0] + h, y0 = c[1] - h, y1 = c[1] + h, z0 = c[2] - h, z1 = c[2] + h;
	return {
		Quad{Vec3{x0, y0, z1}, Vec3{x1, y0, z1}, Vec3{x1, y1, z1}, Vec3{x0, y1, z1}},
		Quad{Vec3{x1, y0, z0}, Vec3{x0, y0, z0}, Vec3{x0, y1, z0}, Vec3{x1, y1, z0}},
		Quad{Vec3{x0, y0, z0}, Vec3{x0, y0, z1}, Vec3{x0, y1, z1}, Vec3{x0, y1, z0}},
		Quad{Vec3{x1, y0, z1}, Vec3{x1, y0, z0}, Vec3{x1, y1, z0}, Vec3{x1, y1, z1}},
		Quad{Vec3{x0, y1, z1}, Vec3{x1, y1, z1}, Vec3{x1, y1, z0}, Vec3{x0, y1, z0}},
		Quad{Vec3{x0, y0, z0}, Vec3{x1, y0, z0}, Vec3{x1, y0, z1}, Vec3{x0, y0, z1}},
	};
}

// What both levels have: fog, the sky "O_sky" ("skybox=1") and, as collision
// meshes, the corridor's walls from z -300 to zEnd (bottom at yBottom) with
// a wall across its end.
void addLevelFrame(SceneWriter& w, LevelFixtures& level, float zEnd, float yBottom) {
	w.fog(1, 4000.f, 30000.f, 0.55f, 0.7f, 0.85f);
	const int sky = flatMaterial(w, "sky", "sky.pvr");
	w.mesh("O_sky").primitives({quadPrimitive(w, sky, skyFaces({0.f, 0.f, zEnd / 2.f}, 12000.f))});
	w.userProperty("O_sky", "skybox=1");

	const float height = 300.f;
	const float length = zEnd + 300.f;
	level.mesh("wall_left", wallTriangles(-300.f, length / 2.f, height)).position(0.f, yBottom, (zEnd - 300.f) / 2.f);
	level.mesh("wall_right", wallTriangles(300.f, length / 2.f, height)).position(0.f, yBottom, (zEnd - 300.f) / 2.f);
	const Quad end = {Vec3{-300.f, yBottom, zEnd}, Vec3{300.f, yBottom, zEnd}, Vec3{300.f, yBottom + height, zEnd},
					  Vec3{-300.f, yBottom + height, zEnd}};
	level.mesh("wall_end", triangles(end));
}

// The ball's form record: the text of its "D_forminfo" after the first '='.
std::string ballFormRecord() {
	char forms[128];
	std::snprintf(forms, sizeof(forms), "plimbo,ball,1,0,shadow_plimbo,%g,1,%g,%g,350,0.4,%g,0.1",
				  gamepackage::kBallRadius, gamepackage::kBallForce, gamepackage::kBallJump,
				  gamepackage::kBallMaxSpeed);
	return forms;
}

// A straight drawing along z at (x, y) from z0 to z1, in segments of 300 units.
Segments alongZ(float x, float y, float z0, float z1) {
	return straightSegments({x, y, z0}, {x, y, z1}, int(std::ceil((z1 - z0) / 300.f)));
}

} // namespace

SceneWriter level01Scene() {
	SceneWriter w;
	LevelFixtures level(w);

	// Start, background colour and music; the ambient emitter by the water.
	level.dummyAt("D_start", 0.f, 0.f, gamepackage::kStartZ);
	w.userProperty("D_start", "bgcolor=88aacc\nmusic=music01.mp3");
	level.dummyAt("S_waterfall", 400.f, -200.f, 1250.f);
	w.userProperty("S_waterfall", "sound=waterfall.wav\ninradius=300\noutradius=1500\nvolume=80");

	// The floor and the slope; a hidden wall (no material name) behind the start.
	level.mesh("ground_start", rectangleTriangles(-300.f, -300.f, 300.f, 800.f, 0.f));
	level.mesh("ground_slope", triangles({Vec3{-300.f, 0.f, 800.f}, Vec3{300.f, 0.f, 800.f}, Vec3{300.f, -60.f, 1100.f},
										  Vec3{-300.f, -60.f, 1100.f}}));
	level.mesh("ground_far", rectangleTriangles(-300.f, gamepackage::kGapEndZ, 300.f, 3400.f, -60.f));
	addLevelFrame(w, level, 3400.f, -100.f);
	const int hidden = w.materialCount();
	w.material("", "unlit.fx");
	w.mesh("wall_back")
		.primitives({quadPrimitive(w, hidden,
								   {Quad{Vec3{-300.f, 0.f, -300.f}, Vec3{300.f, 0.f, -300.f},
										 Vec3{300.f, 300.f, -300.f}, Vec3{-300.f, 300.f, -300.f}}})});
	w.userProperty("wall_back", "collisionmesh=this");

	// The coin, a library object taken by its subnode, and a post taken whole.
	level.dummyAt("item01", 0.f, 40.f, gamepackage::kItemZ);
	w.userProperty("item01", TriggerScript()
								 .key("load", "coin,coin")
								 .key("item", "collectable")
								 .key("radius", "60")
								 .executeType(0)
								 .a("addscore,1")
								 .a("playsound,pickup.wav")
								 .a("particlefx,sparkle.prs,this")
								 .a("unlink,this"));
	level.dummyAt("O_post01", -250.f, 0.f, 600.f);
	w.userProperty("O_post01", "load=post");
	level.dummyAt("O_fountain", 200.f, 0.f, 300.f);
	w.userProperty("O_fountain", "particle=sparkle");

	// Checkpoint, jump hint, the gap with its water and fall volume.
	level.dummyAt("D_checkpoint01", 0.f, 0.f, gamepackage::kCheckpointZ);
	level.boxVolume("T_checkpoint01", {-300.f, -100.f, 650.f}, {300.f, 300.f, 750.f},
					TriggerScript().executeType(0).a("checkpoint,D_checkpoint01").a("playsound,checkpoint.wav"));
	level.boxVolume("T_jump", {-300.f, -200.f, 950.f}, {300.f, 300.f, gamepackage::kGapStartZ},
					TriggerScript().a("set,jumphint,1"));
	const int water = w.materialCount();
	w.material("water", "water.fx");
	w.mesh("O_water").primitives({quadPrimitive(w, water, {flat(-600.f, 600.f, 1000.f, 1500.f, -400.f)}, 4.f)});
	level.boxVolume("T_fall", {-600.f, -700.f, 1000.f}, {600.f, -250.f, 1500.f}, TriggerScript().a("levelfailed"));

	// The rail with its camera guide, the rail start and the goal.
	RailDrawing rail;
	rail.track = alongZ(0.f, -10.f, gamepackage::kRailStartZ, 3300.f);
	rail.cameraPosition = alongZ(0.f, 150.f, gamepackage::kRailStartZ - 450.f, 2850.f);
	rail.cameraLookAt = alongZ(0.f, 0.f, gamepackage::kRailStartZ, 3300.f);
	rail.properties = "tracknormalgravity=1\ndeathplane=T_fall";
	level.railNode("L_rail01", rail);
	level.boxVolume("T_railstart", {-300.f, -200.f, 1850.f}, {300.f, 300.f, 1950.f},
					TriggerScript()
						.executeType(0)
						.a("maxspeed,600")
						.a("attachtorail,1,L_rail01")
						.a("setguidingobject,L_rail01")
						.a("set,boost,1"));
	level.boxVolume("T_goal", {-300.f, -200.f, gamepackage::kGoalZ}, {300.f, 300.f, 3200.f},
					TriggerScript().executeType(0).a("levelcomplete"));
	w.userProperty("T_restartLevel", TriggerScript().state(0).a("set,score,0").a("resetballvalues"));

	// Cameras: the start view and the two of the menu's attract script.
	w.camera("O_startcamera").transform(lookAt({0.f, 300.f, -700.f}, {0.f, 0.f, 600.f})).planes(1.f, 40000.f).fov(1.3f);
	w.camera("O_attractcam01")
		.transform(lookAt({700.f, 500.f, -500.f}, {0.f, 0.f, 900.f}))
		.planes(1.f, 40000.f)
		.fov(1.2f);
	w.camera("O_attractcam02")
		.transform(lookAt({-600.f, 400.f, 1800.f}, {0.f, -60.f, 2800.f}))
		.planes(1.f, 40000.f)
		.fov(1.2f);
	w.userProperty("T_attract", TriggerScript()
									.state(2)
									.executeType(0)
									.a("equal,attraction,1,7")
									.a("setcamera,O_attractcam01")
									.a("delay,4")
									.a("setcamera,O_attractcam02")
									.a("delay,4")
									.a("jumptoaction,2"));
	return w;
}

SceneWriter level02Scene() {
	SceneWriter w;
	LevelFixtures level(w);
	level.dummyAt("D_start", 0.f, 0.f, 0.f);
	w.userProperty("D_start", "bgcolor=aa8866\nmusic=music01.mp3");
	level.mesh("ground", rectangleTriangles(-300.f, -300.f, 300.f, 4000.f, 0.f));
	addLevelFrame(w, level, 4000.f, 0.f);

	RailDrawing ride01, ride02, guide;
	ride01.track = alongZ(0.f, 50.f, 0.f, 1800.f);
	ride01.properties = "tracknormalgravity=1\nnext=L_ride02";
	level.railNode("L_ride01", ride01);
	ride02.track = alongZ(0.f, 50.f, 1800.f, 3600.f);
	ride02.properties = "tracknormalgravity=1";
	level.railNode("L_ride02", ride02);
	guide.track = alongZ(0.f, 50.f, 0.f, 3600.f);
	guide.cameraPosition = alongZ(250.f, 300.f, -400.f, 3200.f);
	guide.cameraLookAt = alongZ(0.f, 50.f, 0.f, 3600.f);
	level.railNode("L_guide02", guide);

	w.userProperty("level2_logic", TriggerScript()
									   .state(2)
									   .executeType(0)
									   .a("maxspeed,0")
									   .a("attachtorail,1,L_ride01")
									   .a("set,countdown,3.5")
									   .a("timer,countdown")
									   .a("maxspeed,700")
									   .a("set,boost,1")
									   .a("add,timer01,_dt")
									   .a("jumptoaction,7"));
	level.boxVolume("T_goal2", {-300.f, -200.f, 3200.f}, {300.f, 300.f, 3400.f},
					TriggerScript().executeType(0).a("levelcomplete"));
	w.camera("O_startcamera").transform(lookAt({0.f, 400.f, -800.f}, {0.f, 0.f, 800.f})).planes(1.f, 40000.f).fov(1.3f);
	return w;
}

SceneWriter ballModelScene() {
	SceneWriter w;
	writeBallModel(w, BallModel::Full, ballFormRecord());
	// Lids over the eyes, blinking by the model's two eye triggers; they close
	// and open again in a quarter of a second, time 0 being the rest pose. A
	// scene with animations has one for every node: the others stand still.
	const int lids = flatMaterial(w, "lids", "ball.pvr");
	w.mesh("plimbo_eyelids")
		.parent("G_plimbo_lookat_eyes")
		.position(10.f, 58.f, 36.f)
		.primitives({quadPrimitive(w, lids,
								   {Quad{Vec3{-12.f, -4.f, 0.f}, Vec3{12.f, -4.f, 0.f}, Vec3{12.f, 4.f, 0.f},
										 Vec3{-12.f, 4.f, 0.f}}})});
	w.animationsForAllNodes();
	w.animation("plimbo_eyelids")
		.rates(8, 8, 8)
		.positionKeys({{10.f, 58.f, 36.f}})
		.rotationKeys({{0.f, 0.f, 0.f, 1.f}})
		.scaleKeys({{1.f, 1.f, 1.f}, {1.f, 0.2f, 1.f}, {1.f, 1.f, 1.f}});
	w.userProperty("T_plimbo_lookat_eyes_anim01",
				   TriggerScript().a("delay,2.5").a("animate,plimbo_eyelids").a("jumptoaction,1"));
	w.userProperty("T_plimbo_lookat_eyes_anim02", TriggerScript()
													  .a("delay,5")
													  .a("animate,plimbo_eyelids")
													  .a("delay,0.4")
													  .a("animate,plimbo_eyelids")
													  .a("jumptoaction,1"));
	return w;
}

SceneWriter coinModelScene() {
	SceneWriter w;
	const int coin = flatMaterial(w, "coin", "coin.pvr");
	const int shadow = w.materialCount();
	w.material("shadow", "shadow.fx").texture("BASEMAP", w.texture("shadow.pvr"));
	w.mesh("coin").primitives({quadPrimitive(
		w, coin,
		{Quad{Vec3{-30.f, -30.f, 0.f}, Vec3{30.f, -30.f, 0.f}, Vec3{30.f, 30.f, 0.f}, Vec3{-30.f, 30.f, 0.f}},
		 Quad{Vec3{0.f, -30.f, -30.f}, Vec3{0.f, -30.f, 30.f}, Vec3{0.f, 30.f, 30.f}, Vec3{0.f, 30.f, -30.f}}})});
	w.mesh("coin_shadow")
		.position(0.f, -40.f, 0.f)
		.primitives({quadPrimitive(w, shadow, {flat(-30.f, 30.f, -30.f, 30.f, 0.f)})});
	return w;
}

SceneWriter postModelScene() {
	SceneWriter w;
	const int post = flatMaterial(w, "post", "post.pvr");
	const float h = 15.f, top = 250.f;
	w.mesh("post").primitives(
		{quadPrimitive(w, post,
					   {Quad{Vec3{-h, 0.f, -h}, Vec3{h, 0.f, -h}, Vec3{h, top, -h}, Vec3{-h, top, -h}},
						Quad{Vec3{h, 0.f, -h}, Vec3{h, 0.f, h}, Vec3{h, top, h}, Vec3{h, top, -h}},
						Quad{Vec3{h, 0.f, h}, Vec3{-h, 0.f, h}, Vec3{-h, top, h}, Vec3{h, top, h}},
						Quad{Vec3{-h, 0.f, h}, Vec3{-h, 0.f, -h}, Vec3{-h, top, -h}, Vec3{-h, top, h}}})});
	return w;
}

} // namespace test
