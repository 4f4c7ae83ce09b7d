#include "SceneFixtures.h"

#include <hgr/Camera.h>
#include <hgr/Dummy.h>
#include <hgr/Light.h>
#include <hgr/Lines.h>
#include <hgr/Mesh.h>
#include <gr/VertexFormat.h>

#include <cmath>
#include <functional>

using namespace scenetest;
using test::SceneWriter;

namespace {

// A level with one node of every kind, built the same way for every version.
SceneWriter everyKind(int version) {
	SceneWriter w(version);
	w.fog(1, 5.f, 50.f, 0.25f, 0.5f, 0.75f);
	const int wall = w.texture("wall.pvr");
	w.material("stone", "lit.fx", 2).texture("BASEMAP", wall).vector("TINT", 1, 2, 3, 4).scalar("SHINE", 0.5f);
	w.primitive(0)
		.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0, 0, 0, 2, 0, 0, 0, 2, 0})
		.indices({0, 1, 2});
	w.mesh("floor").primitives({0}).position(1, 2, 3).id(11);
	w.camera("cam").planes(0.5f, 500.f).fov(1.f).id(12);
	w.light("sun").color(1, 0.5f, 0.25f).ranges(10, 20).cones(0.1f, 0.2f).lightType(3).id(13);
	w.dummy("T_box").box({-1, -1, -1}, {1, 2, 3}).parent("floor").id(14);
	w.lines("rail").line({0, 0, 0}, {1, 0, 0}).line({1, 0, 0}, {1, 1, 0}).path(0, 1).id(15);
	w.node("group").id(16);
	w.animation("group").positionKeys({{0, 0, 0}, {1, 0, 0}}).rotationKeys({{0, 0, 0, 1}, {0, 0, 0, 1}});
	w.animationsForAllNodes();
	w.userProperty("floor", "group=1");
	return w;
}

class SceneVersions : public SceneFixture, public ::testing::WithParamInterface<int> {};

TEST_P(SceneVersions, EveryKindLoadsIntoTheExpectedTree) {
	const int version = GetParam();
	if (version < 180)
		context->platform = 0; // older files carry no platform
	lang::Ptr<hgr::Scene> scene = load(everyKind(version));

	EXPECT_EQ(hgr::Node::NODE_SCENE, scene->getClassId());
	// Roots are linked in node order at the head, so they read back reversed.
	EXPECT_EQ((std::vector<std::string>{"group", "rail", "sun", "cam", "floor"}), childNames(scene));
	hgr::Node* floor = scene->getNodeByName("floor");
	EXPECT_EQ((std::vector<std::string>{"T_box"}), childNames(floor));

	EXPECT_EQ(hgr::Node::NODE_MESH, floor->getClassId());
	EXPECT_EQ(hgr::Node::NODE_CAMERA, scene->getNodeByName("cam")->getClassId());
	EXPECT_EQ(hgr::Node::NODE_LIGHT, scene->getNodeByName("sun")->getClassId());
	EXPECT_EQ(hgr::Node::NODE_DUMMY, scene->getNodeByName("T_box")->getClassId());
	EXPECT_EQ(hgr::Node::NODE_LINES, scene->getNodeByName("rail")->getClassId());
	EXPECT_EQ(hgr::Node::NODE_CLASS, scene->getNodeByName("group")->getClassId());
	EXPECT_FLOAT_EQ(3.f, floor->getTransform().m[2][3]);

	// Node ids are stored from version 191 on.
	const bool ids = version > 190;
	EXPECT_EQ(ids ? 11 : 0, floor->getId());
	EXPECT_EQ(ids ? 16 : 0, scene->getNodeByName("group")->getId());
	if (ids) {
		EXPECT_EQ(scene->getNodeByName("rail"), scene->getNodeById(15));
	}

	EXPECT_EQ(1, scene->getFogMode());
	EXPECT_FLOAT_EQ(5.f, scene->getFogStart());
	EXPECT_FLOAT_EQ(50.f, scene->getFogEnd());
	EXPECT_FLOAT_EQ(0.75f, scene->getFogColor().z);

	ASSERT_NE(nullptr, scene->getAnimations());
	EXPECT_EQ(6, scene->getAnimations()->size());
	const lang::Ptr<hgr::TransformAnimation> groupAnimation = scene->getAnimations()->get("group");
	ASSERT_TRUE(groupAnimation);
	EXPECT_NEAR(0.5f, groupAnimation->getTransform(0.5f).m[0][3], 1e-5f);
	// The still animation written for the mesh reproduces its transform.
	const math::Matrix3x4 still = scene->getAnimations()->get("floor")->getTransform(0.f);
	EXPECT_NEAR(2.f, still.m[1][3], 1e-5f);

	ASSERT_NE(nullptr, scene->getUserProperties());
	EXPECT_EQ("group=1", str(scene->getUserProperties()->get("floor")));

	hgr::Mesh* mesh = static_cast<hgr::Mesh*>(floor);
	ASSERT_EQ(1, mesh->getPrimitiveCount());
	EXPECT_EQ(3, mesh->getPrimitive(0)->getIndexCount());
	EXPECT_EQ("stone", str(mesh->getPrimitive(0)->getShader()->name()));
}

INSTANTIATE_TEST_SUITE_P(AllBranches, SceneVersions, ::testing::Values(170, 179, 180, 189, 190, 191, 192, 193));

TEST_F(SceneFixture, EmptyFileGivesEmptySceneWithEmptyAnimationSet) {
	lang::Ptr<hgr::Scene> scene = load(SceneWriter());
	EXPECT_EQ(nullptr, scene->getFirstChild());
	ASSERT_NE(nullptr, scene->getAnimations());
	EXPECT_EQ(0, scene->getAnimations()->size());
	EXPECT_EQ(nullptr, scene->getUserProperties());
	EXPECT_EQ(0, scene->getFogMode());
}

TEST_F(SceneFixture, SceneIsNamedByTheFileNameAsPassed) {
	const std::string path = file(SceneWriter());
	EXPECT_EQ(path, str(loadPath(path)->getName()));
}

TEST_F(SceneFixture, PlatformMustBeTheContexts) {
	EXPECT_EQ("Cannot load scene file {file}, invalid platform (file:psp, current:egl)",
			  loadError(SceneWriter().platform(2)));
	// Before version 180 files carry platform 0.
	EXPECT_EQ("Cannot load scene file {file}, invalid platform (file:dx, current:egl)", loadError(SceneWriter(179)));
	context->platform = 0;
	EXPECT_NO_THROW(load(SceneWriter(179)));
}

// Textures and materials

TEST_F(SceneFixture, TexturesAndShadersComeFromTheManagerWithJoinedPaths) {
	SceneWriter w;
	const int flat = w.texture("wall.pvr");
	const int sky = w.texture("sky.pvr", 1);
	w.material("stone", "lit.fx", 3)
		.texture("BASEMAP", flat)
		.texture("ENVMAP", sky)
		.vector("TINT", 1, 2, 3, 4)
		.scalar("SHINE", 0.5f);
	w.primitive(0).component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0, 0, 0});
	w.mesh("m").primitives({0});
	lang::Ptr<hgr::Scene> scene = load(w);

	EXPECT_EQ((std::vector<std::string>{"texture /tex/wall.pvr", "cube /tex/sky.pvr", "shader /fx/lit.fx 3"}),
			  resources->calls);
	ParamShader* shader =
		static_cast<ParamShader*>(static_cast<hgr::Mesh*>(scene->getNodeByName("m"))->getPrimitive(0)->getShader());
	// The shader carries the material's name, not the effect's.
	EXPECT_EQ("stone", str(shader->name()));
	EXPECT_EQ("/tex/wall.pvr", static_cast<NamedTexture*>(shader->textures["BASEMAP"])->path);
	EXPECT_EQ("/tex/sky.pvr", static_cast<NamedCubeTexture*>(shader->textures["ENVMAP"])->path);
	EXPECT_FLOAT_EQ(3.f, shader->vectors["TINT"].z);
	EXPECT_FLOAT_EQ(0.5f, shader->floats["SHINE"]);
}

TEST_F(SceneFixture, EmptyDirectoriesStandForTheFilesDirectory) {
	SceneWriter w;
	w.texture("wall.pvr");
	w.material("m", "lit.fx");
	const std::string path = file(w, "dirs.hgr");
	loadPath(path, "", "", "");
	const std::string dir = path.substr(0, path.rfind('/'));
	EXPECT_EQ((std::vector<std::string>{"texture " + dir + "/wall.pvr", "shader " + dir + "/lit.fx 0"}),
			  resources->calls);
}

TEST_F(SceneFixture, MaterialsOfOnePrimitiveShareTheirShader) {
	SceneWriter w = writerWithTriangle();
	w.primitive(0).component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0, 0, 0});
	w.mesh("a").primitives({0, 1});
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::Mesh* mesh = static_cast<hgr::Mesh*>(scene->getNodeByName("a"));
	EXPECT_EQ(mesh->getPrimitive(0)->getShader(), mesh->getPrimitive(1)->getShader());
}

TEST_F(SceneFixture, TextureAndMaterialIndicesAreChecked) {
	SceneWriter badType;
	badType.texture("odd.pvr", 2);
	EXPECT_EQ("Failed to load scene \"{file}\". Invalid texture type (\"/tex/odd.pvr\" type was 2)",
			  loadError(badType));

	SceneWriter badTexture;
	badTexture.texture("a.pvr");
	badTexture.material("stone", "lit.fx").texture("BASEMAP", 1);
	EXPECT_EQ("Failed to load scene \"{file}\". Invalid texture index (1) in material \"stone\"",
			  loadError(badTexture));

	SceneWriter badMaterial = writerWithTriangle();
	badMaterial.primitive(1).component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0, 0, 0});
	EXPECT_EQ("Failed to load scene \"{file}\". Invalid material index (1), maximum is 1.", loadError(badMaterial));
}

// Primitives

TEST_F(SceneFixture, VertexBlocksFollowDataTypeOrderWhateverTheListedOrder) {
	SceneWriter w;
	w.material("m", "lit.fx");
	w.primitive(0)
		.component(SceneWriter::DT_TEX0, SceneWriter::V2_32, {0.5f, 0.25f, 1, 1})
		.component(SceneWriter::DT_NORMAL, SceneWriter::V3_16, {0, 1, 0, 0, 0, -1})
		.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {1, 2, 3, 4, 5, 6})
		.component(SceneWriter::DT_DIFFUSE, SceneWriter::V4_8, {1, 2, 3, 4, -1, -2, -3, -4})
		.component(SceneWriter::DT_BONEWEIGHTS, SceneWriter::V2_16, {10, 20, 30, 40});
	w.mesh("m").primitives({0});
	lang::Ptr<hgr::Scene> scene = load(w);
	const gr::Primitive* p = static_cast<hgr::Mesh*>(scene->getNodeByName("m"))->getPrimitive(0);

	gr::VertexFormat expected;
	expected.addPosition(gr::VertexFormat::V3_32)
		.addNormal(gr::VertexFormat::V3_16)
		.addTextureCoordinate(gr::VertexFormat::V2_32)
		.addDiffuse(gr::VertexFormat::V4_8)
		.setDataFormat(gr::VertexFormat::DT_BONEWEIGHTS, gr::VertexFormat::V2_16);
	EXPECT_TRUE(expected == p->getVertexFormat());
	math::Vector4 v[2];
	p->getPositions(0, v, 2);
	EXPECT_FLOAT_EQ(4.f, v[1].x);
	EXPECT_FLOAT_EQ(6.f, v[1].z);
	p->getNormals(0, v, 2);
	EXPECT_FLOAT_EQ(-1.f, v[1].z);
	p->getTexCoords(0, 0, v, 2);
	EXPECT_FLOAT_EQ(0.25f, v[0].y);
	p->getDiffuse(0, v, 2);
	EXPECT_FLOAT_EQ(-4.f, v[1].w);
	p->getBoneWeights(0, v, 2);
	EXPECT_FLOAT_EQ(40.f, v[1].y);
}

TEST_F(SceneFixture, ScalesIndicesAndUsedBonesReachThePrimitive) {
	SceneWriter w;
	w.material("m", "lit.fx");
	w.primitive(0)
		.type(4)
		.component(SceneWriter::DT_POSITION, SceneWriter::V3_16, {2, 0, 0, 4, 0, 0, 0, -6, 0})
		.positionScale(0.5f, 1, 0, 0)
		.texCoordScale(0.25f, 0.5f, 0.75f)
		.indices({2, 1, 0, 1})
		.usedBones({3, 1});
	w.mesh("m").primitives({0});
	lang::Ptr<hgr::Scene> scene = load(w);
	const gr::Primitive* p = static_cast<hgr::Mesh*>(scene->getNodeByName("m"))->getPrimitive(0);

	EXPECT_EQ(gr::PRIMITIVE_TRIANGLESTRIP, p->getType());
	EXPECT_FLOAT_EQ(0.5f, p->getPositionScale().x);
	EXPECT_FLOAT_EQ(0.75f, p->getTexCoordScale().z);
	int indices[4];
	p->getIndices(0, indices, 4);
	EXPECT_EQ(2, indices[0]);
	EXPECT_EQ(1, indices[3]);
	ASSERT_EQ(2, p->getUsedBoneCount());
	EXPECT_EQ(3, p->getUsedBones()[0]);
	// Bounds of the scaled positions: x 0*0.5+1 .. 4*0.5+1, y -3 .. 0.
	EXPECT_FLOAT_EQ(1.f, p->getBoundsMin().x);
	EXPECT_FLOAT_EQ(3.f, p->getBoundsMax().x);
	EXPECT_FLOAT_EQ(-3.f, p->getBoundsMin().y);
	EXPECT_FLOAT_EQ(std::sqrt(10.f), p->getBoundingRadius());
}

struct BoundsCase {
	int format;
	std::vector<float> values;
	math::Vector3 min, max;
};

TEST_F(SceneFixture, PositionsOfAnyFormatGetTheirBounds) {
	const BoundsCase cases[] = {
		{SceneWriter::V3_32, {1, 2, 3, -1, 0, 5}, {-1, 0, 3}, {1, 2, 5}},
		{SceneWriter::V2_32, {1, 2, -3, 4}, {-3, 2, 0}, {1, 4, 0}},
		{SceneWriter::V4_8, {1, 2, 3, 9, -4, 5, -6, 9}, {-4, 2, -6}, {1, 5, 3}},
		{SceneWriter::V4_16, {100, -2, 3, 0, 4, 5, 6, 0}, {4, -2, 3}, {100, 5, 6}},
	};
	for (const BoundsCase& c : cases) {
		SceneWriter w;
		w.material("m", "lit.fx");
		w.primitive(0).component(SceneWriter::DT_POSITION, c.format, c.values);
		w.mesh("m").primitives({0});
		lang::Ptr<hgr::Scene> scene = load(w);
		hgr::Mesh* mesh = static_cast<hgr::Mesh*>(scene->getNodeByName("m"));
		const gr::Primitive* p = mesh->getPrimitive(0);
		const std::string name = SceneWriter::dataFormatName(c.format);
		EXPECT_FLOAT_EQ(c.min.x, p->getBoundsMin().x) << name;
		EXPECT_FLOAT_EQ(c.min.z, p->getBoundsMin().z) << name;
		EXPECT_FLOAT_EQ(c.max.y, p->getBoundsMax().y) << name;
		EXPECT_FLOAT_EQ(c.max.z, mesh->getBoundBoxMax().z) << name;
		EXPECT_GT(mesh->getBoundRadius(), 0.f) << name;
	}
}

TEST_F(SceneFixture, OldPrimitivesHaveShortCountsAndUnusedFloatsBeforeEachBlock) {
	SceneWriter w(185);
	w.material("m", "lit.fx");
	w.primitive(0)
		.component(SceneWriter::DT_NORMAL, SceneWriter::V3_32, {0, 0, 1, 0, 1, 0})
		.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {1, 1, 1, 2, 2, 2})
		.indices({1, 0});
	w.mesh("m").primitives({0});
	lang::Ptr<hgr::Scene> scene = load(w);
	const gr::Primitive* p = static_cast<hgr::Mesh*>(scene->getNodeByName("m"))->getPrimitive(0);
	math::Vector4 v[2];
	p->getNormals(0, v, 2);
	EXPECT_FLOAT_EQ(1.f, v[1].y);
	p->getPositions(0, v, 2);
	EXPECT_FLOAT_EQ(2.f, v[1].z);
	EXPECT_FLOAT_EQ(1.f, p->getPositionScale().x);
}

TEST_F(SceneFixture, PrimitiveRecordChecks) {
	struct Case {
		std::function<void(SceneWriter::Primitive&)> change;
		std::string message;
	};
	const Case cases[] = {
		{[](SceneWriter::Primitive& p) {
			 p.indices({0, 1, 3});
		 },
		 "Failed to load scene \"{file}\". Invalid face vertex index (face 2)."},
		{[](SceneWriter::Primitive& p) { p.vertexCountField(65536); },
		 "Failed to load scene \"{file}\". Invalid vertex count (65536)."},
		{[](SceneWriter::Primitive& p) { p.vertexCountField(-1); },
		 "Failed to load scene \"{file}\". Invalid vertex count (-1)."},
		{[](SceneWriter::Primitive& p) { p.indexCountField(-3); },
		 "Failed to load scene \"{file}\". Invalid face index count (-3)."},
		{[](SceneWriter::Primitive& p) { p.indexCountField(65536); },
		 "Failed to load scene \"{file}\". Invalid face index count (65536)."},
		{[](SceneWriter::Primitive& p) { p.type(7); }, "Failed to load scene \"{file}\". Primitive type (7) invalid"},
		{[](SceneWriter::Primitive& p) { p.type(-1); }, "Failed to load scene \"{file}\". Primitive type (-1) invalid"},
		{[](SceneWriter::Primitive& p) { p.componentNames("DT_TEX4", "V2_32"); },
		 "Invalid vertex data type in \"{file}\": DT_TEX4"},
		{[](SceneWriter::Primitive& p) { p.componentNames("DT_TEX0", "v2_32"); },
		 "Invalid vertex data format in \"{file}\": v2_32"},
		{[](SceneWriter::Primitive& p) { p.componentNames(std::string(256, 'D'), "V2_32"); },
		 "Too small buffer (256) for UTF-8 data in {file}."},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.message);
		SceneWriter w;
		w.material("m", "lit.fx");
		c.change(w.primitive(0)
					 .component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0, 0, 0, 1, 0, 0, 0, 1, 0})
					 .indices({0, 1, 2}));
		EXPECT_EQ(c.message, loadError(w));
	}
}

// Meshes

TEST_F(SceneFixture, MeshPrimitiveIndicesAreChecked) {
	SceneWriter w = writerWithTriangle();
	w.mesh("ok").primitives({0});
	w.mesh("bad").primitives({0, 1});
	EXPECT_EQ("Failed to load scene \"{file}\". Invalid primitive index (1) in primitive 1.", loadError(w));
	SceneWriter negative = writerWithTriangle();
	negative.mesh("bad").primitives({-1});
	EXPECT_EQ("Failed to load scene \"{file}\". Invalid primitive index (-1) in primitive 0.", loadError(negative));
}

TEST_F(SceneFixture, BonesAttachToNodesByIndexWithTheirRestTransforms) {
	SceneWriter w = writerWithTriangle();
	w.mesh("skin").primitives({0}).bone("hip", SceneWriter::translation(1, 2, 3)).bone("knee");
	w.node("hip");
	w.node("knee").parent("hip");
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::Mesh* skin = static_cast<hgr::Mesh*>(scene->getNodeByName("skin"));
	ASSERT_EQ(2, skin->getBoneCount());
	EXPECT_EQ(scene->getNodeByName("hip"), skin->getBoneNode(0));
	EXPECT_EQ(scene->getNodeByName("knee"), skin->getBoneNode(1));
	EXPECT_FLOAT_EQ(2.f, skin->getBone(0).offset.m[1][3]);

	SceneWriter bad = writerWithTriangle();
	bad.mesh("skin").primitives({0}).boneIndex(1);
	EXPECT_EQ("Failed to load scene \"{file}\". Invalid bone index (1) in \"skin\".", loadError(bad));
}

TEST_F(SceneFixture, UsedBonesMustBeBonesOfTheMesh) {
	SceneWriter w;
	w.material("m", "lit.fx");
	w.primitive(0).component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0, 0, 0}).usedBones({0, 2});
	w.mesh("skin").primitives({0}).bone("a").bone("b");
	w.node("a");
	w.node("b");
	EXPECT_EQ("Failed to load scene \"{file}\". Invalid used bone (2) in \"skin\".", loadError(w));

	// A mesh without bones never reads the list.
	SceneWriter unskinned;
	unskinned.material("m", "lit.fx");
	unskinned.primitive(0).component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0, 0, 0}).usedBones({5});
	unskinned.mesh("plain").primitives({0});
	EXPECT_NO_THROW(load(unskinned));
}

TEST_F(SceneFixture, BonesMayBeTheMeshItsParentOrItsRoot) {
	// A skinned mesh below its skeleton's root, with the root among its bones,
	// as exporters write it; and the mesh itself as its own bone.
	SceneWriter w = writerWithTriangle();
	w.mesh("skin").primitives({0}).parent("hip").bone("root").bone("hip").bone("skin");
	w.node("root");
	w.node("hip").parent("root");
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::Mesh* skin = static_cast<hgr::Mesh*>(scene->getNodeByName("skin"));
	ASSERT_EQ(3, skin->getBoneCount());
	EXPECT_EQ(scene->getNodeByName("root"), skin->getBoneNode(0));
	EXPECT_EQ(scene->getNodeByName("hip"), skin->getBoneNode(1));
	EXPECT_EQ(skin, skin->getBoneNode(2));
	// The bones are not counted by the mesh.
	EXPECT_EQ(1, scene->getNodeByName("root")->referenceCount());
	EXPECT_EQ(1, skin->referenceCount());
}

TEST_F(SceneFixture, EachMeshGetsTheNearestEnabledLight) {
	SceneWriter w = writerWithTriangle();
	w.mesh("near").primitives({0}).position(10, 0, 0);
	w.mesh("far").primitives({0}).position(-10, 0, 0);
	w.light("east").position(9, 0, 0);
	w.light("west").position(-12, 0, 0);
	w.light("off").position(-10, 0, 0).flags(0);
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::Mesh* nearMesh = static_cast<hgr::Mesh*>(scene->getNodeByName("near"));
	hgr::Mesh* farMesh = static_cast<hgr::Mesh*>(scene->getNodeByName("far"));
	ASSERT_EQ(1, nearMesh->getLightCount());
	EXPECT_EQ("east", str(nearMesh->getLight(0)->getName()));
	ASSERT_EQ(1, farMesh->getLightCount());
	EXPECT_EQ("west", str(farMesh->getLight(0)->getName()));
}

TEST_F(SceneFixture, ALightAboveTheMeshIsItsFixedLightWhenNearest) {
	SceneWriter w = writerWithTriangle();
	w.mesh("lamp shade").primitives({0}).parent("bulb");
	w.light("bulb");
	w.light("other").position(50, 0, 0);
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::Mesh* mesh = static_cast<hgr::Mesh*>(scene->getNodeByName("lamp shade"));
	ASSERT_EQ(1, mesh->getLightCount());
	EXPECT_EQ("bulb", str(mesh->getLight(0)->getName()));
	EXPECT_EQ(1, mesh->getLight(0)->referenceCount()); // held by the tree alone
}

TEST_F(SceneFixture, LightsAreChosenByWorldPositionsThroughNestedTransforms) {
	// The mesh and the light each sit two levels down, below parents that
	// come after them in the file; the mesh's parent turns a quarter about
	// z. The decoys stand where the mesh would seem to be with its parents'
	// rotation or translation dropped, composed in the wrong order, or
	// missing altogether (taken before they were worked out).
	const float quarter = 1.5707964f;
	SceneWriter w = writerWithTriangle();
	w.mesh("hand").primitives({0}).parent("arm").position(10, 0, 0);
	w.light("right").parent("post").position(0, 0, 5);
	w.light("unrotated").position(110, 0, -50);
	w.light("unbased").position(100, 10, 0);
	w.light("unparented").position(10, 0, 0);
	w.node("arm").parent("base").transform(SceneWriter::rotationZ(quarter, 100, 0, 0));
	w.node("base").position(0, 0, -50);
	w.node("post").parent("ground").position(100, 10, -45);
	w.node("ground").position(0, 0, -10);
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::Mesh* hand = static_cast<hgr::Mesh*>(scene->getNodeByName("hand"));
	ASSERT_EQ(1, hand->getLightCount());
	EXPECT_EQ("right", str(hand->getLight(0)->getName()));
}

// Cameras, lights, dummies, line sets

TEST_F(SceneFixture, CameraPlanesAndFieldOfView) {
	SceneWriter w;
	w.camera("cam").planes(0.0001f, 2000.f).fov(0.02617994f);
	w.camera("flat").planes(2.f, 2.f).fov(3.1241393f);
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::Camera* cam = static_cast<hgr::Camera*>(scene->getNodeByName("cam"));
	EXPECT_FLOAT_EQ(0.0001f, cam->getFront());
	EXPECT_FLOAT_EQ(2000.f, cam->getBack());
	EXPECT_FLOAT_EQ(0.02617994f, cam->getVerticalFov());
	// Equal planes load, with the back plane just beyond the front one.
	hgr::Camera* flat = static_cast<hgr::Camera*>(scene->getNodeByName("flat"));
	EXPECT_FLOAT_EQ(2.f, flat->getFront());
	EXPECT_GT(flat->getBack(), 2.f);
	EXPECT_LT(flat->getBack(), 2.01f);
}

TEST_F(SceneFixture, CameraValuesOutsideTheirRangesAreRefused) {
	struct Case {
		float front, back, fov;
		std::string message;
	};
	const float nan = std::nanf("");
	const Case cases[] = {
		{0.00009f, 10.f, 1.f, "Invalid front/back plane (9e-05/10) in \"c\"."},
		{5.f, 4.f, 1.f, "Invalid front/back plane (5/4) in \"c\"."},
		{1.f, 2e9f, 1.f, "Invalid front/back plane (1/2e+09) in \"c\"."},
		{nan, 10.f, 1.f, "Invalid front/back plane (nan/10) in \"c\"."},
		{1.f, nan, 1.f, "Invalid front/back plane (1/nan) in \"c\"."},
		{1.f, 10.f, 0.02f, "Invalid horizontal field-of-view (0.02) in \"c\"."},
		{1.f, 10.f, 3.2f, "Invalid horizontal field-of-view (3.2) in \"c\"."},
		{1.f, 10.f, nan, "Invalid horizontal field-of-view (nan) in \"c\"."},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.message);
		SceneWriter w;
		w.camera("c").planes(c.front, c.back).fov(c.fov);
		EXPECT_EQ("Failed to load scene \"{file}\". " + c.message, loadError(w));
	}
}

TEST_F(SceneFixture, LightValuesReachTheLight) {
	SceneWriter w;
	w.light("spot").color(0.5f, 0.25f, 1.f).ranges(3.f, 2e9f).cones(0.5f, 3.1415927f).lightType(3);
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::Light* light = static_cast<hgr::Light*>(scene->getNodeByName("spot"));
	EXPECT_FLOAT_EQ(0.25f, light->getColor().y);
	EXPECT_FLOAT_EQ(3.f, light->getNearRange());
	EXPECT_FLOAT_EQ(1e9f, light->getFarRange());
	EXPECT_FLOAT_EQ(0.5f, light->getInnerCone());
	EXPECT_FLOAT_EQ(3.1415927f, light->getOuterCone());
	EXPECT_EQ(3, light->getType());

	const float nan = std::nanf("");
	struct Case {
		float inner, outer;
		int type;
		std::string message;
	} cases[] = {
		{-0.1f, 1.f, 1, "Light inner cone (-0.1) invalid in object \"l\"."},
		{nan, 1.f, 1, "Light inner cone (nan) invalid in object \"l\"."},
		{0.f, 3.2f, 1, "Light outer cone (3.2) invalid in object \"l\"."},
		{0.f, 1.f, 0, "Light type (0) invalid in object \"l\"."},
		{0.f, 1.f, 4, "Light type (4) invalid in object \"l\"."},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.message);
		SceneWriter bad;
		bad.light("l").cones(c.inner, c.outer).lightType(c.type);
		EXPECT_EQ("Failed to load scene \"{file}\". " + c.message, loadError(bad));
	}
}

TEST_F(SceneFixture, DummyKeepsItsCornersAsWritten) {
	SceneWriter w;
	w.dummy("T_zone").box({3, -1, 2}, {-3, 1, 5});
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::Dummy* d = static_cast<hgr::Dummy*>(scene->getNodeByName("T_zone"));
	EXPECT_FLOAT_EQ(3.f, d->getBoxCorner0().x);
	EXPECT_FLOAT_EQ(-3.f, d->getBoxCorner1().x);
	EXPECT_FLOAT_EQ(-3.f, d->getBoxMin().x);
}

TEST_F(SceneFixture, LineSetsHoldWhiteLinesAndPaths) {
	SceneWriter w;
	w.lines("L_rail").line({0, 0, 0}, {1, 2, 3}).line({1, 2, 3}, {4, 0, -1}).path(0, 1).path(1, 7);
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::Lines* lines = static_cast<hgr::Lines*>(scene->getNodeByName("L_rail"));
	ASSERT_EQ(2, lines->getLineCount());
	EXPECT_FLOAT_EQ(4.f, lines->getLine(1).end.x);
	EXPECT_FLOAT_EQ(1.f, lines->getLine(0).startColor.w);
	ASSERT_EQ(2, lines->getPathCount());
	EXPECT_EQ(7, lines->getPath(1).b);
	EXPECT_FLOAT_EQ(-1.f, lines->getBoundBoxMin().z);
	EXPECT_FLOAT_EQ(4.f, lines->getBoundBoxMax().x);
}

TEST_F(SceneFixture, LineAndPathCountsAreChecked) {
	const std::pair<int, int> bad[] = {{-1, 0}, {0, -1}, {100001, 0}, {2, 3}};
	for (const auto& counts : bad) {
		SceneWriter w;
		w.lines("l").line({0, 0, 0}, {1, 0, 0}).line({0, 0, 0}, {1, 0, 0}).lineCounts(counts.first, counts.second);
		EXPECT_EQ("Failed to load scene \"{file}\". Invalid line/path count (" + std::to_string(counts.first) + "/" +
					  std::to_string(counts.second) + ")",
				  loadError(w));
	}
}

// Hierarchy

TEST_F(SceneFixture, NodeFlagsKeepTheClassBits) {
	SceneWriter w;
	w.dummy("d").flags(0x0F72 | 0x10000);
	w.node("off").flags(0);
	lang::Ptr<hgr::Scene> scene = load(w);
	EXPECT_EQ((0x0F72 & 0xFE0F) | hgr::Node::NODE_DUMMY, scene->getNodeByName("d")->getFlags());
	EXPECT_FALSE(scene->getNodeByName("off")->isEnabled());
}

TEST_F(SceneFixture, SiblingsEndUpInReverseFileOrder) {
	SceneWriter w;
	w.node("parent");
	w.node("A").parent("parent");
	w.node("B").parent("parent");
	w.node("C").parent("parent");
	lang::Ptr<hgr::Scene> scene = load(w);
	EXPECT_EQ((std::vector<std::string>{"C", "B", "A"}), childNames(scene->getNodeByName("parent")));
}

TEST_F(SceneFixture, ParentIndicesThatWouldLoopOrPointNowhereAreRefused) {
	struct Case {
		std::vector<int> parents;
		std::string message;
	};
	const Case cases[] = {
		{{0}, "Invalid node parent index (0) in \"n0\"."},
		{{1, 0}, "Invalid node parent index (0) in \"n1\"."},
		{{2, 0, 1}, "Invalid node parent index (1) in \"n2\"."},
		{{-1, 2}, "Invalid node parent index (2) in \"n1\"."},
		{{-1, 0x7fffffff}, "Invalid node parent index (2.14748e+09) in \"n1\"."},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.message);
		SceneWriter w;
		for (size_t i = 0; i < c.parents.size(); ++i)
			w.node("n" + std::to_string(i)).parentIndex(c.parents[i]);
		EXPECT_EQ("Failed to load scene \"{file}\". " + c.message, loadError(w));
	}
	SceneWriter chain;
	chain.node("n0").parentIndex(2);
	chain.node("n1").parentIndex(-5);
	chain.node("n2").parentIndex(1);
	lang::Ptr<hgr::Scene> scene = load(chain);
	EXPECT_EQ("n1", str(scene->getNodeByName("n0")->getParent()->getParent()->getName()));
}

} // namespace
