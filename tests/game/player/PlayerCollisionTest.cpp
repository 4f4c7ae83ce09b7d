// The collision world built from a level: which nodes become collision
// meshes and trigger volumes, with what owner records, and what hostile
// meshes leave behind.

#include "PlayerFixture.h"

#include <hgr/Mesh.h>
#include <hgr/UserPropertySet.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

using math::Vector3;
using playertest::Level;

namespace {

TEST(PlayerCollision, BuildsMeshesAndVolumesAndSaysSo) {
	Level level;
	level.pieces.mesh("floor", test::floorTriangles(3000.f, 0.f));
	level.pieces.mesh("wall01", test::wallTriangles(500.f, 500.f, 400.f));
	level.pieces.mesh("ghost", test::floorTriangles(100.f, 300.f), "collisionmesh=this\ngroup=1024");
	level.pieces.mesh("button", test::floorTriangles(100.f, 10.f, 1000.f, 0.f),
					  "collisionmesh=this\nexecutetrigger=T_btn");
	level.pieces.boxVolume("T_box", {100, 0, -100}, {-100, 200, 100});
	level.pieces.sphereVolume("T_ball", 0, 100, 800, 75.f);
	const lumaroll::LevelCollision& collision = level.buildParts().collision;
	EXPECT_EQ("collision: 4 meshes (1 passable), 8 triangles, 2 trigger volumes\n", level.setupOutput);

	const auto owner = [&](const std::string& name) -> const lumaroll::CollisionOwner& {
		for (const auto& o : collision.grid().owners)
			if (o.name == name)
				return o;
		ADD_FAILURE() << "no owner " << name;
		return collision.grid().owners.front();
	};
	EXPECT_TRUE(owner("floor").solid);
	EXPECT_FALSE(owner("floor").marked);
	EXPECT_TRUE(owner("wall01").marked);
	EXPECT_FALSE(owner("ghost").solid);
	EXPECT_EQ(1024, owner("ghost").group);
	EXPECT_EQ("T_btn", owner("button").executeTrigger);
	EXPECT_TRUE(owner("button").marked);

	for (const lumaroll::TriggerVolume& v : collision.triggerVolumes()) {
		if (v.name == "T_box") {
			EXPECT_FALSE(v.sphere);
			// Corners given in either order make the same box.
			EXPECT_EQ(-100.f, v.boxMin.x);
			EXPECT_EQ(100.f, v.boxMax.x);
		} else {
			EXPECT_EQ("T_ball", v.name);
			EXPECT_TRUE(v.sphere);
			EXPECT_EQ(75.f, v.radius);
		}
	}
}

TEST(PlayerCollision, ABoxVolumeOnANodeThatIsNoDummyIsAnEmptyBoxAtItsOrigin) {
	Level level;
	level.writer.node("T_plain").position(300, 0, 0);
	level.writer.userProperty("T_plain", "collisiontype=box");
	const std::vector<lumaroll::TriggerVolume>& volumes = level.buildParts().collision.triggerVolumes();
	ASSERT_EQ(1u, volumes.size());
	EXPECT_FALSE(volumes[0].sphere);
	EXPECT_EQ(0.f, volumes[0].boxMin.length());
	EXPECT_EQ(0.f, volumes[0].boxMax.length());
}

// A trigger script of 2,100 bytes and more: longer than the engine's c_str
// copies, so that the lines after it are read only when the text is read whole.
std::string longScript() {
	std::string script;
	for (int i = 1; script.size() < 2100; ++i)
		script += "a" + std::to_string(i) + "=add,counter,1\n";
	return script;
}

struct SetupCase {
	const char* name;
	std::function<void(Level&)> build;
	size_t owners, triangles, volumes;
	bool sphere; // of the first volume
};

TEST(PlayerCollision, ReadsEachNodeAsItsPropertiesSay) {
	const float nan = std::numeric_limits<float>::quiet_NaN();
	const SetupCase cases[] = {
		{"7 indices give 2 triangles",
		 [](Level& l) {
			 l.pieces.indexedMesh("m", {0, 0, 0, 0, 0, 10, 10, 0, 0, 10, 0, 10}, {0, 1, 2, 2, 1, 3, 0},
								  "collisionmesh=this");
		 },
		 1, 2, 0, false},
		{"no indices: the vertices in order",
		 [](Level& l) {
			 l.pieces.indexedMesh("m", {0, 0, 0, 0, 0, 10, 10, 0, 0, 10, 0, 10, 20, 0, 0, 20, 0, 20}, {},
								  "collisionmesh=this");
		 },
		 1, 2, 0, false},
		{"a T_ node with collisionmesh and no collisiontype is a mesh",
		 [](Level& l) { l.pieces.mesh("T_lift", test::floorTriangles(100.f, 0.f), "collisionmesh=this"); }, 1, 2, 0,
		 false},
		{"collisionmesh names another node",
		 [](Level& l) {
			 l.pieces.mesh("floorshape", test::floorTriangles(100.f, 0.f), "");
			 l.writer.dummy("D_floor");
			 l.writer.userProperty("D_floor", "collisionmesh=floorshape");
		 },
		 1, 2, 0, false},
		{"collisionmesh names a dummy",
		 [](Level& l) {
			 l.writer.dummy("D_thing");
			 l.writer.userProperty("D_thing", "collisionmesh=this");
		 },
		 0, 0, 0, false},
		{"collisionmesh names nothing",
		 [](Level& l) {
			 l.writer.dummy("D_thing");
			 l.writer.userProperty("D_thing", "collisionmesh=missing");
		 },
		 0, 0, 0, false},
		{"SPHERE is a sphere",
		 [](Level& l) {
			 l.pieces.boxVolume("T_s", {0, 0, 0}, {1, 1, 1});
			 l.writer.userProperty("T_s", "collisiontype=SPHERE\nradius=5");
		 },
		 0, 0, 1, true},
		{"Sphere is a box",
		 [](Level& l) {
			 l.pieces.boxVolume("T_s", {0, 0, 0}, {1, 1, 1});
			 l.writer.userProperty("T_s", "collisiontype=Sphere\nradius=5");
		 },
		 0, 0, 1, false},
		{"a blank before sphere makes a box",
		 [](Level& l) {
			 l.pieces.boxVolume("T_s", {0, 0, 0}, {1, 1, 1});
			 l.writer.userProperty("T_s", "collisiontype= sphere\nradius=5");
		 },
		 0, 0, 1, false},
		{"group with bit 10 among others is passable",
		 [](Level& l) { l.pieces.mesh("m", test::floorTriangles(100.f, 0.f), "collisionmesh=this\ngroup=3073"); }, 1, 2,
		 0, false},
		{"a T_ key without its node", [](Level& l) { l.writer.userProperty("T_gone", "collisiontype=box"); }, 0, 0, 0,
		 false},
		{"collisiontype after a script longer than the engine's string copies",
		 [](Level& l) {
			 l.pieces.boxVolume("T_s", {0, 0, 0}, {1, 1, 1});
			 l.writer.userProperty("T_s", longScript() + "collisiontype=sphere\nradius=5");
		 },
		 0, 0, 1, true},
		{"collisionmesh after a script longer than the engine's string copies",
		 [](Level& l) { l.pieces.mesh("m", test::floorTriangles(100.f, 0.f), longScript() + "collisionmesh=this"); }, 1,
		 2, 0, false},
		{"a NaN vertex drops its triangle",
		 [nan](Level& l) {
			 l.pieces.mesh("m", {{0, 0, 0}, {0, 0, 10}, {nan, 0, 0}, {0, 0, 0}, {0, 0, 10}, {10, 0, 0}});
		 },
		 1, 1, 0, false},
		{"a quad 2e7 wide", [](Level& l) { l.pieces.mesh("m", test::floorTriangles(1e7f, 0.f)); }, 1, 2, 0, false},
		{"coordinates of 1e12",
		 [](Level& l) {
			 l.pieces.mesh("m", {{1e12f, 0, 1e12f}, {1e12f, 0, 1.000001e12f}, {1.000001e12f, 0, 1e12f}});
		 },
		 1, 1, 0, false},
	};
	for (const SetupCase& c : cases) {
		Level level;
		c.build(level);
		const lumaroll::LevelCollision& collision = level.buildParts().collision;
		EXPECT_EQ(c.owners, collision.grid().owners.size()) << c.name;
		for (const lumaroll::CollisionOwner& owner : collision.grid().owners)
			EXPECT_EQ((owner.group & 1024) == 0, owner.solid) << c.name;
		EXPECT_EQ(c.triangles, collision.grid().triangles.size()) << c.name;
		ASSERT_EQ(c.volumes, collision.triggerVolumes().size()) << c.name;
		if (c.volumes > 0) {
			EXPECT_EQ(c.sphere, collision.triggerVolumes()[0].sphere) << c.name;
		}
	}
}

// A mesh built in code (scene files with such an index are refused by the
// reader): one triangle names a vertex the primitive does not have.
TEST(PlayerCollision, TrianglesNamingMissingVerticesAreSkipped) {
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	lang::Ptr<hgr::Scene> scene = new hgr::Scene;
	lang::Ptr<hgr::UserPropertySet> properties = new hgr::UserPropertySet;
	properties->put("m", "collisionmesh=this");
	scene->setUserProperties(properties);
	gr::VertexFormat format;
	format.addPosition(gr::VertexFormat::V3_32);
	lang::Ptr<test::FakePrimitive> primitive =
		new test::FakePrimitive(&context->log, gr::PRIMITIVE_TRIANGLELIST, format, 4, 6);
	const math::Vector4 positions[4] = {{0, 0, 0, 1}, {0, 0, 10, 1}, {10, 0, 0, 1}, {10, 0, 10, 1}};
	primitive->setPositions(0, positions, 4);
	const int indices[6] = {0, 1, 2, 2, 1, 9};
	primitive->setIndices(0, indices, 6);
	lang::Ptr<hgr::Mesh> mesh = new hgr::Mesh;
	mesh->setName("m");
	mesh->addPrimitive(primitive);
	mesh->linkTo(scene);
	lumaroll::SceneWorld world(scene);
	testing::internal::CaptureStdout();
	lumaroll::Player player(scene, &world);
	EXPECT_EQ("collision: 1 meshes (0 passable), 1 triangles, 0 trigger volumes\n",
			  testing::internal::GetCapturedStdout());
}

TEST(PlayerCollision, AHostileLevelLeavesTheBallFinite) {
	const float nan = std::numeric_limits<float>::quiet_NaN();
	Level level;
	level.pieces.mesh("nan", {{0, 0, 0}, {0, 0, 100}, {nan, 0, 0}});
	level.pieces.mesh("huge", test::floorTriangles(1e7f, 0.f));
	level.pieces.mesh("far", {{1e12f, 0, 1e12f}, {1e12f, 0, 1.000001e12f}, {1.000001e12f, 0, 1e12f}});
	level.pieces.mesh("spike", {{0, 0, 0}, {0, 0, 10}, {1e12f, 1e12f, 0}});
	level.pieces.dummyAt("D_start", 0, 300, 0);
	lumaroll::Player& player = level.build();
	player.placeAtStart();
	for (int i = 0; i < 120; ++i) {
		player.step(i % 30 == 0, 1.f / 60.f, 1.f, 0.3f);
		ASSERT_TRUE(player.body().position.isFinite()) << "frame " << i;
		ASSERT_TRUE(player.body().velocity.isFinite()) << "frame " << i;
	}
}

} // namespace
