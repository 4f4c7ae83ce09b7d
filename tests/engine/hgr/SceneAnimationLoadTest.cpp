#include "SceneFixtures.h"
#include "support/ParticleDescriptionWriter.h"

#include <hgr/KeyframeSequence.h>
#include <hgr/Mesh.h>
#include <hgr/ParticleSystem.h>
#include <gr/VertexFormat.h>

#include <functional>

using namespace scenetest;
using test::SceneWriter;

namespace {

using Animation = SceneWriter::Animation;

hgr::TransformAnimation* animationOf(hgr::Scene* scene, const char* name) {
	return scene->getAnimations()->get(name);
}

math::Vector4 key(const hgr::KeyframeSequence* sequence, int i) {
	float v[4] = {0, 0, 0, 0};
	sequence->getKey(i, v, 16, gr::VertexFormat::V4_32, 1);
	return math::Vector4(v[0], v[1], v[2], v[3]);
}

TEST_F(SceneFixture, OldSequencesKeepTheirFormatScaleAndBias) {
	SceneWriter w(191);
	w.animation("a")
		.positionKeys({{2, 4, 6}, {1, 2, 3}})
		.stored(Animation::POSITION, "V3_16", 0.01f, {1, 2, 3, 0})
		.rotationKeys({{0, 0, 0, 1}, {0, 0, 1, 0}})
		.stored(Animation::ROTATION, "V4_32")
		.rates(1, 1, 1)
		.endBehaviour(3);
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::TransformAnimation* a = animationOf(scene, "a");
	ASSERT_NE(nullptr, a);
	EXPECT_EQ(gr::VertexFormat::V3_16, a->getPositionSequence()->getFormat());
	EXPECT_FLOAT_EQ(0.01f, a->getPositionSequence()->getScale());
	const math::Vector4 first = key(a->getPositionSequence(), 0);
	EXPECT_NEAR(2.f, first.x, 1e-5f);
	EXPECT_NEAR(6.f, first.z, 1e-5f);
	// An empty scale sequence of an old file is no sequence.
	EXPECT_EQ(nullptr, a->getScaleSequence());
	EXPECT_EQ(3, a->getEndBehaviour());
	// Half-way between no turn and a half turn about z: a quarter turn.
	const math::Matrix3x4 m = a->getTransform(0.5f);
	EXPECT_NEAR(0.f, m.m[0][0], 1e-5f);
	EXPECT_NEAR(1.f, m.m[1][0], 1e-5f);
}

TEST_F(SceneFixture, QuantisedSequenceKeysDecodeWithinOneStep) {
	const std::vector<SceneWriter::Vec3> positions = {{-10, 0, 3}, {0.123f, 5, 3}, {10, -2.5f, 3}, {7.77f, 1, 3}};
	SceneWriter w(193);
	w.animation("a").positionKeys(positions).rotationKeys({{0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0.6f, 0, 0.8f}});
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::TransformAnimation* a = animationOf(scene, "a");
	ASSERT_NE(nullptr, a);
	const hgr::KeyframeSequence* p = a->getPositionSequence();
	ASSERT_EQ(4, p->getKeyCount());
	EXPECT_EQ(gr::VertexFormat::V3_32, p->getFormat());
	for (int i = 0; i < 4; ++i) {
		const math::Vector4 k = key(p, i);
		EXPECT_NEAR(positions[i][0], k.x, 20.f / 65535.f) << i;
		EXPECT_NEAR(positions[i][1], k.y, 7.5f / 65535.f) << i;
		EXPECT_FLOAT_EQ(3.f, k.z) << i; // an empty range decodes to its minimum
	}
	const hgr::KeyframeSequence* r = a->getRotationSequence();
	EXPECT_EQ(gr::VertexFormat::V4_32, r->getFormat());
	EXPECT_NEAR(0.8f, key(r, 2).w, 1.f / 65535.f);
	// An empty scale sequence of a newer file is an empty sequence.
	ASSERT_NE(nullptr, a->getScaleSequence());
	EXPECT_EQ(0, a->getScaleSequence()->getKeyCount());
}

TEST_F(SceneFixture, TwoKeysAreStoredAsPlainFloats) {
	SceneWriter w(192);
	w.animation("a").positionKeys({{0.1f, 0.2f, 0.3f}, {1e-7f, 3e8f, -5}}).rotationKeys({{0, 0, 0, 1}});
	lang::Ptr<hgr::Scene> scene = load(w);
	const math::Vector4 k = key(animationOf(scene, "a")->getPositionSequence(), 1);
	EXPECT_EQ(1e-7f, k.x);
	EXPECT_EQ(3e8f, k.y);
}

TEST_F(SceneFixture, TimedChannelsAndTheLengthOfEachVersion) {
	SceneWriter w(193);
	w.animation("a")
		.timedPositions({{0, 0, 0, 0}, {2, 0, 0, 2}, {4, 0, 0, 4}})
		.rotationKeys({{0, 0, 0, 1}, {0, 0, 0, 1}})
		.timedScales({{1, 1, 1, 0}, {2, 2, 2, 1}})
		.length(7.5f);
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::TransformAnimation* a = animationOf(scene, "a");
	ASSERT_NE(nullptr, a->getPositionKeys());
	EXPECT_EQ(nullptr, a->getPositionSequence());
	EXPECT_EQ(3, a->getPositionKeys()->getKeyCount());
	EXPECT_NEAR(4.f, a->getPositionKeys()->getKey(2).time, 4.f / 65535.f);
	EXPECT_NEAR(1.f, a->getPositionKeys()->sample(1.f).x, 1e-3f);
	EXPECT_FLOAT_EQ(2.f, a->getScaleKeys()->getKey(1).x);
	EXPECT_FLOAT_EQ(7.5f, a->getLength());

	// Version 192 stores no length: the rotation keys give it, ten keys at two per time unit.
	SceneWriter old(192);
	old.animation("a")
		.timedPositions({{0, 0, 0, 0}})
		.rotationKeys(std::vector<SceneWriter::Vec4>(10, {0, 0, 0, 1}))
		.rates(1, 2, 1);
	EXPECT_FLOAT_EQ(5.f, animationOf(load(old), "a")->getLength());
}

TEST_F(SceneFixture, AnimationsFollowTheNodeList) {
	// One per node in node order, or none at all.
	SceneWriter w;
	w.node("a");
	w.node("b");
	w.animation("b").positionKeys({{0, 5, 0}});
	w.animationsForAllNodes();
	lang::Ptr<hgr::Scene> scene = load(w);
	EXPECT_EQ(2, scene->getAnimations()->size());

	SceneWriter none;
	none.node("a");
	EXPECT_EQ(0, load(none)->getAnimations()->size());

	SceneWriter tooFew;
	tooFew.node("a");
	tooFew.node("b");
	tooFew.animation("a");
	EXPECT_EQ("Failed to load scene \"{file}\". Transform animation count (1) does not match node count (2).",
			  loadError(tooFew));

	SceneWriter misnamed;
	misnamed.node("a");
	misnamed.node("b");
	misnamed.animation("a");
	misnamed.animation("c");
	EXPECT_EQ("Failed to load scene \"{file}\". Transform animation (c) does not match node name (b).",
			  loadError(misnamed));

	// Without nodes any names go, a later equal name replacing an earlier one.
	SceneWriter free;
	free.animation("x").positionKeys({{1, 0, 0}});
	free.animation("y");
	free.animation("x").positionKeys({{2, 0, 0}});
	lang::Ptr<hgr::Scene> loose = load(free);
	EXPECT_EQ(2, loose->getAnimations()->size());
	EXPECT_FLOAT_EQ(2.f, animationOf(loose, "x")->getTransform(0.f).m[0][3]);
}

TEST_F(SceneFixture, AnimationRecordChecks) {
	struct Case {
		int version;
		std::function<void(Animation&)> change;
		std::string message;
	};
	const Case cases[] = {
		{193, [](Animation& a) { a.endBehaviour(4); },
		 "Failed to load scene \"{file}\". Invalid transform animation end behaviour (4)."},
		{193, [](Animation& a) { a.dimensionField(Animation::ROTATION, 5); },
		 "Keyframe sequence in {file} dimension invalid (5)"},
		{193, [](Animation& a) { a.keyCountField(Animation::POSITION, -1); },
		 "Failed to load scene \"{file}\". Invalid key count (-1)."},
		{191, [](Animation& a) { a.stored(Animation::POSITION, "V3_99"); },
		 "Failed to load scene \"{file}\". Invalid keyframe data format (V3_99)."},
		{191, [](Animation& a) { a.stored(Animation::POSITION, "NONE"); },
		 "Failed to load scene \"{file}\". Invalid keyframe data format (NONE)."},
		{191, [](Animation& a) { a.keyCountField(Animation::SCALE, -2); },
		 "Failed to load scene \"{file}\". Invalid key count (-2)."},
	};
	for (const Case& c : cases) {
		SceneWriter w(c.version);
		Animation& a =
			w.animation("a").positionKeys({{0, 0, 0}, {1, 1, 1}}).rotationKeys({{0, 0, 0, 1}}).scaleKeys({{1, 1, 1}});
		c.change(a);
		EXPECT_EQ(c.message, loadError(w)) << c.version;
	}
}

// User properties

TEST_F(SceneFixture, UserPropertyTextsAreKeptByNodeName) {
	SceneWriter w;
	w.node("a");
	w.userProperty("a", "collisionmesh=this\ngroup=3");
	w.userProperty("ghost", "anything=1");
	w.userProperty("a", "group=4");
	lang::Ptr<hgr::Scene> scene = load(w);
	hgr::UserPropertySet* properties = scene->getUserProperties();
	ASSERT_NE(nullptr, properties);
	EXPECT_EQ(2, properties->size());
	EXPECT_EQ("group=4", str(properties->get("a")));
	EXPECT_EQ("anything=1", str(properties->get("ghost")));
}

TEST_F(SceneFixture, UserPropertyCountIsChecked) {
	// Numbers print as lang::Format prints them.
	const std::pair<int, std::string> cases[] = {{-1, "-1"}, {2000000, "2e+06"}};
	for (const auto& c : cases) {
		SceneWriter w;
		w.countField(SceneWriter::USER_PROPERTIES, c.first);
		EXPECT_EQ("Failed to load scene \"{file}\". Invalid user property set size (" + c.second + ").", loadError(w));
	}
}

class SceneParticleKeys : public SceneFixture {
protected:
	test::ParticleDescriptionWriter description;

	lang::Ptr<hgr::Scene> loadWithParticles(const SceneWriter& w, const std::string& textureDir = "/tex") {
		description.write("fire.prs");
		return loadPath(file(w), textureDir, "/fx", description.dir());
	}

	static std::vector<hgr::ParticleSystem*> systemsUnder(hgr::Node* node) {
		std::vector<hgr::ParticleSystem*> out;
		for (hgr::Node* c : children(node))
			if (c->getClassId() == hgr::Node::NODE_PARTICLESYSTEM)
				out.push_back(static_cast<hgr::ParticleSystem*>(c));
		return out;
	}
};

TEST_F(SceneParticleKeys, ParticleKeyLinksASystemStartingAtTheTimeBeforeIt) {
	SceneWriter w;
	w.node("torch");
	w.node("lamp");
	w.node("plain");
	w.userProperty("torch", "time=2.5\nparticle=fire");
	w.userProperty("lamp", "particle=fire\ntime=4");
	w.userProperty("plain", "particle=fire");
	lang::Ptr<hgr::Scene> scene = loadWithParticles(w, "");

	for (const char* name : {"torch", "lamp", "plain"}) {
		const std::vector<hgr::ParticleSystem*> systems = systemsUnder(scene->getNodeByName(name));
		ASSERT_EQ(1u, systems.size()) << name;
	}
	EXPECT_FLOAT_EQ(2.5f, systemsUnder(scene->getNodeByName("torch"))[0]->getStartTime());
	EXPECT_FLOAT_EQ(0.f, systemsUnder(scene->getNodeByName("lamp"))[0]->getStartTime());
	EXPECT_FLOAT_EQ(0.f, systemsUnder(scene->getNodeByName("plain"))[0]->getStartTime());
	// The description path joins the particle directory; the texture and
	// shader directories go on as passed, an empty one staying empty.
	ASSERT_FALSE(resources->calls.empty());
	EXPECT_EQ("particle " + description.dir() + "fire.prs |  | /fx", resources->calls.back());
}

TEST_F(SceneParticleKeys, OnlyKeysThatNeedTheNodeFailForAMissingOne) {
	SceneWriter w;
	w.userProperty("ghost", "time=1\ngroup=2");
	EXPECT_NO_THROW(loadWithParticles(w));

	SceneWriter particle;
	particle.userProperty("ghost", "particle=fire");
	description.write("fire.prs");
	const std::string path = file(particle);
	EXPECT_EQ("Node named \"ghost\" not found in scene \"" + path + "\".",
			  errorOf([&] { loadPath(path, "/tex", "/fx", description.dir()); }));

	SceneWriter correction;
	correction.userProperty("ghost", "PerspectiveCorrection=3");
	EXPECT_EQ("Node named \"ghost\" not found in scene \"{file}\".", loadError(correction));
}

TEST_F(SceneFixture, PerspectiveCorrectionAndTimeValuesAreChecked) {
	SceneWriter ok = writerWithTriangle();
	ok.mesh("m").primitives({0});
	ok.userProperty("m", "perspectivecorrection=10.9");
	EXPECT_NO_THROW(load(ok));

	for (const char* value : {"11", "-1", "abc", "nan"}) {
		SceneWriter w = writerWithTriangle();
		w.mesh("m").primitives({0});
		w.userProperty("m", std::string("perspectivecorrection=") + value);
		EXPECT_EQ(
			"Failed parse PerspectiveCorrection=<level 0-10> User Property field from object \"m\" in scene "
			"\"{file}\"",
			loadError(w))
			<< value;
	}
	SceneWriter time;
	time.node("n");
	time.userProperty("n", "time=soon");
	EXPECT_EQ("Failed parse Time=<seconds> User Property field from object \"n\" in scene \"{file}\"", loadError(time));
}

} // namespace
