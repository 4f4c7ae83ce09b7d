// The ball model: what the analysis finds in writer-made models, the built
// shadow quad, the eyes turning towards the direction of travel or a scene
// camera's target, and the model's transforms at the end of the step.

#include "PlayerFixture.h"
#include "VectorMatch.h"

#include <gr/Primitive.h>
#include <hgr/Mesh.h>
#include <lang/Exception.h>
#include <math/Vector4.h>

#include <cmath>
#include <functional>

using math::Vector3;
using playertest::near;
using playertest::Level;
using playertest::kFrame;

namespace {

const char* const kFormRecord = "a,b,c,d,shadow_plimbo,40,1,1750,800,350,0.4,800,0.1";

// A floor, a start at the origin and the player; extra adds pieces.
struct ModelLevel : Level {
	explicit ModelLevel(const std::function<void(Level&)>& extra = nullptr) {
		pieces.mesh("floor", test::floorTriangles(5000.f, 0.f));
		pieces.dummyAt("D_start", 0, 100, 0);
		if (extra)
			extra(*this);
		build();
	}
};

// The world centre of the eyeballs' box.
Vector3 eyeballsCentre(Level& level) {
	const hgr::Node* eyeballs = level.node("plimbo_eyeballs");
	const hgr::Mesh* mesh = static_cast<const hgr::Mesh*>(eyeballs);
	return eyeballs->getWorldTransform().transform((mesh->getBoundBoxMin() + mesh->getBoundBoxMax()) * 0.5f);
}

struct ModelCase {
	const char* name;
	test::BallModel kind;
	const char* formRecord;
	float radius;
	const char* body;
	bool eyes;
	bool ownShadow;
};

TEST(PlayerModel, TheAnalysisFindsBodyEyesCamerasAndShadow) {
	const ModelCase cases[] = {
		{"full model", test::BallModel::Full, "", 50.f, "body", true, true},
		{"full model with a form record", test::BallModel::Full, kFormRecord, 40.f, "body", true, true},
		{"no spherical mesh", test::BallModel::NoSphere, "", 50.f, "", false, true},
		{"empty model", test::BallModel::Empty, "", 50.f, "", false, false},
	};
	for (const ModelCase& c : cases) {
		ModelLevel level;
		hgr::Node* root = level.attachModel(c.kind, c.formRecord);
		const std::string& out = level.modelOutput;
		lumaroll::Player& player = *level.player;
		EXPECT_EQ(c.radius, player.body().values.radius) << c.name;
		player.placeAtStart();
		EXPECT_NE(std::string::npos, player.summary().find(std::string("(body '") + c.body + "')"))
			<< c.name << ": " << player.summary();
		EXPECT_EQ(c.eyes, out.find("eyes: 30.0 from the center (eye group space); lowered by 12 % of that\n") !=
							  std::string::npos)
			<< c.name << ": " << out;

		// The model's own shadow lies under the scene; without one a quad is built.
		hgr::Node* own = level.node("shadow_plimbo");
		hgr::Node* built = level.node("sombra_jugador");
		EXPECT_EQ(c.ownShadow, own != nullptr) << c.name;
		EXPECT_EQ(!c.ownShadow, built != nullptr) << c.name;
		if (own) {
			EXPECT_EQ(level.loaded.scene.ptr(), own->getParent()) << c.name;
		}

		EXPECT_TRUE(root->getTransform().isFinite());
		EXPECT_EQ(nullptr, root->findInSubtree("G_plimbo_eyes_rolling")) << c.name;
		for (const char* disabled : {"cameraposition", "cameralookat", "splash"}) {
			if (hgr::Node* n = root->findInSubtree(disabled)) {
				EXPECT_FALSE(n->isEnabled()) << c.name << ": " << disabled;
			}
		}
		if (hgr::Node* body = root->findInSubtree("body")) {
			EXPECT_TRUE(body->isEnabled()) << c.name;
		}
		// Nothing in the model breaks a few steps.
		level.run(10, kFrame, 1.f, 0.3f);
		EXPECT_TRUE(player.body().position.isFinite()) << c.name;
	}
}

TEST(PlayerModel, TheBodysCentreIsThePivot) {
	ModelLevel level;
	level.attachModel();
	EXPECT_TRUE(near(Vector3(10, 50, 0), level.player->pivotPoint()));

	ModelLevel bare;
	bare.attachModel(test::BallModel::NoSphere);
	EXPECT_TRUE(near(Vector3(), bare.player->pivotPoint())) << "no body, no pivot";
}

// A context that records the textures it loads and can fail making shaders.
class ShadowContext : public test::FakeContext {
public:
	std::vector<std::string> textures;
	bool failShaders = false;

	gr::Texture* loadTexture(const lang::String& name) override {
		textures.push_back(name.c_str());
		return FakeContext::loadTexture(name);
	}
	gr::Shader* createShader(const lang::String& name, int variant) override {
		if (failShaders)
			throw lang::Exception(lang::Format("no effect {0}", name));
		return FakeContext::createShader(name, variant);
	}
};

TEST(PlayerModel, TheBuiltShadowIsATexturedQuadUnderTheScene) {
	ModelLevel level;
	lang::Ptr<ShadowContext> context = new ShadowContext;
	level.attachModel(test::BallModel::Empty, "", context);

	ASSERT_EQ(1, context->primitivesCreated);
	const lang::Ptr<test::FakePrimitive> quad = context->lastPrimitive;
	EXPECT_EQ(gr::PRIMITIVE_TRIANGLELIST, quad->getType());
	ASSERT_EQ(4, quad->getVertexCount());
	ASSERT_EQ(6, quad->getIndexCount());
	{
		math::Vector4 positions[4], uvs[4];
		int indices[6];
		gr::ContextObjectLock lock(quad, gr::ContextObject::LOCK_READ);
		quad->getPositions(0, positions, 4);
		quad->getTexCoords(0, 0, uvs, 4);
		quad->getIndices(0, indices, 6);
		const float corners[4][4] = {{-1, -1, 0, 0}, {1, -1, 1, 0}, {1, 1, 1, 1}, {-1, 1, 0, 1}};
		for (int i = 0; i < 4; ++i) {
			EXPECT_TRUE(
				near(Vector3(corners[i][0], 0, corners[i][1]), Vector3(positions[i].x, positions[i].y, positions[i].z)))
				<< "corner " << i;
			EXPECT_EQ(corners[i][2], uvs[i].x) << "corner " << i;
			EXPECT_EQ(corners[i][3], uvs[i].y) << "corner " << i;
		}
		for (int t = 0; t < 2; ++t) {
			const Vector3 a(positions[indices[3 * t]].x, 0, positions[indices[3 * t]].z);
			const Vector3 b(positions[indices[3 * t + 1]].x, 0, positions[indices[3 * t + 1]].z);
			const Vector3 c(positions[indices[3 * t + 2]].x, 0, positions[indices[3 * t + 2]].z);
			EXPECT_GT((b - a).cross(c - a).y, 0.f) << "triangle " << t << " faces up";
		}
	}
	ASSERT_NE(nullptr, quad->getShader());
	EXPECT_STREQ("unlit-tex-alpha", quad->getShader()->name().c_str());
	EXPECT_EQ(std::vector<std::string>{"ball_shadow.pvr"}, context->textures);
	EXPECT_EQ(1u, context->log.find("unlit-tex-alpha.setTexture BASEMAP").size());

	hgr::Node* shadow = level.node("sombra_jugador");
	ASSERT_NE(nullptr, shadow);
	ASSERT_EQ(hgr::Node::NODE_MESH, shadow->getClassId());
	EXPECT_EQ(level.loaded.scene.ptr(), shadow->getParent());
	const hgr::Mesh* mesh = static_cast<const hgr::Mesh*>(shadow);
	EXPECT_EQ(quad.ptr(), mesh->getPrimitive(0));
	EXPECT_TRUE(near(Vector3(-1, -0.1f, -1), mesh->getBoundBoxMin(), 1e-6f));
	EXPECT_TRUE(near(Vector3(1, 0.1f, 1), mesh->getBoundBoxMax(), 1e-6f));

	// Asked again, or for a model with its own shadow, nothing more is built.
	level.player->createShadow(context);
	EXPECT_EQ(1, context->primitivesCreated);
	ModelLevel own;
	lang::Ptr<ShadowContext> unused = new ShadowContext;
	own.attachModel(test::BallModel::Full, "", unused);
	EXPECT_EQ(0, unused->primitivesCreated);
	EXPECT_EQ(nullptr, own.node("sombra_jugador"));
}

TEST(PlayerModel, AShadowThatCannotBeMadeLeavesTheBallWithout) {
	ModelLevel level;
	lang::Ptr<ShadowContext> context = new ShadowContext;
	context->failShaders = true;
	testing::internal::CaptureStderr();
	level.attachModel(test::BallModel::Empty, "", context);
	EXPECT_EQ("could not create the ball shadow\n", testing::internal::GetCapturedStderr());
	EXPECT_EQ(nullptr, level.node("sombra_jugador"));
	level.player->placeAtStart();
	level.run(5);
	EXPECT_TRUE(level.player->body().position.isFinite());
}

TEST(PlayerModel, TheEyesTurnTowardsTravelKeepingTheirPitch) {
	Level level;
	level.load();
	lumaroll::BallModel model;
	testing::internal::CaptureStdout();
	model.analyse(level.linkModel());
	testing::internal::GetCapturedStdout();
	// Frames of the ball standing at (0, 55, 0) with heading 0, moving at velocity.
	lumaroll::BallBody ball;
	ball.position = Vector3(0, 55, 0);
	const auto frame = [&](const Vector3& velocity) {
		ball.velocity = velocity;
		model.updateLook(ball, Vector3(0, 0, 1), nullptr, kFrame);
		model.place(0.f, ball.position);
	};
	// The ball node stands at the ball minus the pivot: the pivot, the body's
	// centre, lies at the ball's centre. At rest the eyes look along the
	// heading, lowered by 12 % of their distance.
	frame(Vector3());
	EXPECT_TRUE(near(Vector3(0, -3.6f, 30), eyeballsCentre(level) - ball.position, 0.05f));

	// Faster than 40 sideways: they turn at min(10 dt, 1) per frame.
	frame(Vector3(300, 0, 0));
	const float k = 10.f * kFrame;
	const Vector3 look = Vector3(k, 0, 1 - k).normalize();
	EXPECT_TRUE(near(look * 30.f + Vector3(0, -3.6f, 0), eyeballsCentre(level) - ball.position, 0.05f));
	for (int i = 0; i < 60; ++i)
		frame(Vector3(300, 0, 0));
	EXPECT_TRUE(near(Vector3(30, -3.6f, 0), eyeballsCentre(level) - ball.position, 0.05f));

	// Slower than 40: they stay.
	const Vector3 before = eyeballsCentre(level) - ball.position;
	frame(Vector3(-30, 0, 0));
	EXPECT_TRUE(near(before, eyeballsCentre(level) - ball.position, 0.05f));
}

TEST(PlayerModel, WhileASceneCameraHoldsTheBallTheEyesLookAtItsTarget) {
	ModelLevel level([](Level& l) { l.pieces.dummyAt("cam1", 3000, 500, 0); });
	level.attachModel();
	lumaroll::Player& player = *level.player;
	player.placeAtStart();
	level.run(20);
	ASSERT_TRUE(near(Vector3(0, -3.6f, 30), eyeballsCentre(level) - player.ballPosition(), 0.05f));
	level.world->cameraName = "cam1";
	level.run(60);
	EXPECT_TRUE(near(Vector3(30, -3.6f, 0), eyeballsCentre(level) - player.ballPosition(), 0.05f));
}

TEST(PlayerModel, TheBallNodeTurnsAboutThePivotAndTheBodyRolls) {
	ModelLevel level;
	hgr::Node* root = level.attachModel();
	lumaroll::Player& player = *level.player;
	player.placeAtStart();
	level.run(20);
	hgr::Node* body = level.node("body");
	const Vector3 pivot(10, 50, 0);

	// Turn and roll forward for a second, summing the heading and the roll as
	// the step does (resting on the floor it has not rolled yet).
	float h = 0.f, roll = 0.f;
	for (int i = 0; i < 60; ++i) {
		player.step(false, kFrame, 1.f, 0.5f);
		h += 0.5f * 2.4f * kFrame;
		const Vector3 forward(std::sin(h), 0, std::cos(h));
		roll += forward.dot(player.body().velocity) * kFrame / 50.f;
	}
	EXPECT_NEAR(1.2f, h, 1e-4f);
	const math::Matrix3x3 turn = math::Matrix3x3::rotation(Vector3(0, 1, 0), h);
	const math::Matrix3x4 expected(turn, player.ballPosition() - turn.transform(pivot));
	for (int r = 0; r < 3; ++r)
		for (int c = 0; c < 4; ++c)
			EXPECT_NEAR(expected.m[r][c], root->getTransform().m[r][c], 1e-3f) << "ball node " << r << "," << c;

	// The body turns about x through the pivot; its centre stays at the pivot.
	const math::Matrix3x4 rolled = body->getTransform();
	EXPECT_TRUE(near(pivot, rolled.transform(Vector3()), 1e-3f));
	EXPECT_NEAR(std::cos(roll), rolled.m[1][1], 1e-3f);
	EXPECT_NEAR(std::sin(roll), rolled.m[2][1], 1e-3f);
	EXPECT_NEAR(1.f, rolled.m[0][0], 1e-6f);
	EXPECT_GT(std::fabs(std::remainder(roll, 2 * 3.14159265f)), 0.1f) << "it did roll";
}

} // namespace
