// A writer-made level loaded on the fake context with its world, and either
// the player as the session drives it or the player's parts on their own.
#pragma once

#include "support/BallModelWriter.h"
#include "support/FakeSceneLoader.h"
#include "support/LevelFixtures.h"
#include "support/TriggerScript.h"

#include <hgr/Camera.h>
#include <hgr/Dummy.h>
#include <hgr/UserPropertySet.h>
#include <logic/SceneWorld.h>
#include <player/BallPhysics.h>
#include <player/FollowCamera.h>
#include <player/LevelCollision.h>
#include <player/Player.h>
#include <player/PlayerShadows.h>
#include <player/Rail.h>
#include <player/RailRider.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace playertest {

// The step of the player tests: one frame at 60 frames a second.
constexpr float kFrame = 1.f / 60.f;
constexpr float kPi = 3.14159265f;

// This test program's own path, to start it again as a child process.
inline std::string selfPath() {
	char path[4096];
	const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
	return n > 0 ? std::string(path, size_t(n)) : std::string();
}

// The player's parts, composed as the player composes them (the collision
// world first, the others over its grid), for tests that drive one of them.
struct Parts {
	Parts(hgr::Scene* scene, lumaroll::SceneWorld* world)
		: collision(scene, world), physics(scene, world, collision.grid()), rider(world), camera(collision.grid()),
		  shadows(scene, collision.grid()) {}

	lumaroll::LevelCollision collision;
	lumaroll::BallPhysics physics;
	lumaroll::RailRider rider;
	lumaroll::FollowCamera camera;
	lumaroll::PlayerShadows shadows;
};

// The yaw and pitch of a camera's place about the ball, as the follow camera's
// orbit measures them (radians; yaw 0 puts the camera on the ball's -z side).
struct Orbit {
	float yaw;
	float pitch;
};

inline Orbit orbitOf(const hgr::Node* camera, const math::Vector3& ball) {
	const math::Vector3 d = camera->getWorldTransform().getTranslation() - ball;
	return {std::atan2(-d.x, -d.z), std::asin(d.y / d.length())};
}

// Places the camera for ten seconds (dt 1/60) with the ball standing still:
// long enough for the smoothing to settle.
inline void settle(lumaroll::Player& player, hgr::Node* camera) {
	for (int i = 0; i < 600; ++i)
		player.updateCamera(camera, kFrame);
}

// A level the test writes (pieces, writer), then loads with its world: build
// makes the player on it, buildParts the player's parts instead.
struct Level {
	test::SceneWriter writer;
	test::LevelFixtures pieces{writer};
	test::FakeScene loaded;
	test::FakeScene model;
	std::unique_ptr<lumaroll::SceneWorld> world;
	std::unique_ptr<lumaroll::Player> player;
	std::unique_ptr<Parts> parts;
	// The player root linkModel made.
	hgr::Node* root = nullptr;
	// What the player's (or the collision world's) construction printed (the "collision:" line).
	std::string setupOutput;
	// What the model's analysis printed (the "eyes:" line).
	std::string modelOutput;

	// Loads the scene and builds world and player; the player's output is captured.
	lumaroll::Player& build() {
		load();
		testing::internal::CaptureStdout();
		player.reset(new lumaroll::Player(loaded.scene, world.get()));
		setupOutput = testing::internal::GetCapturedStdout();
		return *player;
	}

	// Loads the scene and builds world and the parts, without a player.
	Parts& buildParts() {
		load();
		testing::internal::CaptureStdout();
		parts.reset(new Parts(loaded.scene, world.get()));
		setupOutput = testing::internal::GetCapturedStdout();
		return *parts;
	}

	// Loads a ball model written by test::writeBallModel on the level's
	// context and links its nodes under a dummy "player" linked under the
	// scene, as the session does. Returns that root.
	hgr::Node* linkModel(test::BallModel kind = test::BallModel::Full, const std::string& formRecord = "") {
		test::SceneWriter modelWriter;
		test::writeBallModel(modelWriter, kind, formRecord);
		model = test::loadFakeScene(modelWriter, loaded.context);
		lang::Ptr<hgr::Dummy> dummy = new hgr::Dummy;
		dummy->setName("player");
		std::vector<lang::Ptr<hgr::Node>> children;
		for (hgr::Node* n = model.scene->getFirstChild(); n; n = n->getNextSibling())
			children.push_back(n);
		for (const auto& child : children)
			child->linkTo(dummy);
		dummy->linkTo(loaded.scene);
		root = dummy;
		return root;
	}

	// linkModel, then the player's set-up of the model as the session's: the
	// form record read (when the model has one), then analyseModel and
	// createShadow; what they print goes to modelOutput. Returns the player root.
	hgr::Node* attachModel(test::BallModel kind = test::BallModel::Full, const std::string& formRecord = "",
						   gr::Context* shadowContext = nullptr) {
		linkModel(kind, formRecord);
		if (hgr::UserPropertySet* properties = model.scene->getUserProperties())
			if (const lang::String* text = properties->find("D_forminfo")) {
				const std::string value = text->c_str();
				player->loadForms(value.substr(value.find('=') + 1));
			}
		testing::internal::CaptureStdout();
		player->analyseModel(root);
		player->createShadow(shadowContext ? shadowContext : loaded.context.ptr());
		modelOutput = testing::internal::GetCapturedStdout();
		return root;
	}

	// A camera node under the scene, as the session's "view".
	hgr::Camera* addCamera() {
		lang::Ptr<hgr::Camera> view = new hgr::Camera;
		view->setName("view");
		view->linkTo(loaded.scene);
		return view;
	}

	// The rails and camera guides the level's drawings make, read as
	// buildRails reads them (what reading prints is dropped); not while a
	// test captures the output itself.
	lumaroll::RailSet rails() const {
		testing::internal::CaptureStdout();
		testing::internal::CaptureStderr();
		lumaroll::RailSet read = lumaroll::readRails(loaded.scene);
		testing::internal::GetCapturedStderr();
		testing::internal::GetCapturedStdout();
		return read;
	}

	// The index of the named rail among the level's rails (scene order), -1 when none.
	int rail(const std::string& name) const {
		const std::vector<lumaroll::Rail> read = rails().rails;
		for (size_t i = 0; i < read.size(); ++i)
			if (read[i].name == name)
				return int(i);
		return -1;
	}

	// The node of that name in the level scene (null when absent).
	hgr::Node* node(const std::string& name) { return loaded.scene->findNode(name.c_str()); }

	// Asks the world to move the ball to the node of that name, as a script's
	// "setobjectpos" does; the next step puts it there, still.
	void moveBallTo(const std::string& name) { world->runCommand("setobjectpos", {"G_ballforms", name}); }

	// Steps the player frames times with the same input.
	void run(int frames, float dt = 1.f / 60.f, float forward = 0.f, float right = 0.f, bool jump = false) {
		for (int i = 0; i < frames; ++i)
			player->step(jump, dt, forward, right);
	}

	// A frame of the paused game: the session steps the player with dt 0,
	// which carries out the world's requests and places the shadows and the
	// model, the ball staying where they leave it.
	void pausedFrame() { player->step(false, 0.f, 0.f, 0.f); }

	// The heading the last step turned the model's root to (radians about up,
	// 0 along +z); needs attachModel.
	float heading() const {
		const math::Vector3 z = root->getTransform().getColumn(2);
		return std::atan2(z.x, z.z);
	}

	// Loads the scene and makes the world, without player or parts.
	void load() {
		loaded = test::loadFakeScene(writer);
		world.reset(new lumaroll::SceneWorld(loaded.scene));
	}
};

// Sounds handed to a sound callback, in order.
struct SoundRecorder {
	std::vector<std::pair<std::string, float>> sounds;

	void attach(lumaroll::Player& player) {
		player.setSoundCallback([this](const std::string& name, float volume) { sounds.emplace_back(name, volume); });
	}
	// The callback for a part that plays sounds itself.
	lumaroll::BallPhysics::SoundCallback callback() {
		return [this](const std::string& name, float volume) { sounds.emplace_back(name, volume); };
	}
	int count(const std::string& name) const {
		int n = 0;
		for (const auto& s : sounds)
			n += s.first == name ? 1 : 0;
		return n;
	}
};

} // namespace playertest
