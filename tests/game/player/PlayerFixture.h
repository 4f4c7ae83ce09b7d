// A writer-made level loaded on the fake context, with its world and player.
#pragma once

#include "support/BallModelWriter.h"
#include "support/FakeSceneLoader.h"
#include "support/LevelFixtures.h"
#include "support/TriggerScript.h"

#include <hgr/Camera.h>
#include <hgr/Dummy.h>
#include <hgr/UserPropertySet.h>
#include <logic/SceneWorld.h>
#include <player/Player.h>

#include <gtest/gtest.h>

#include <unistd.h>

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

struct Level {
	test::SceneWriter writer;
	test::LevelFixtures pieces{writer};
	test::FakeScene loaded;
	test::FakeScene model;
	std::unique_ptr<lumaroll::SceneWorld> world;
	std::unique_ptr<lumaroll::Player> player;
	// What the player's construction printed (the "collision:" line).
	std::string setupOutput;
	// What the model's analysis printed (the "eyes:" line).
	std::string modelOutput;

	// Loads the scene and builds world and player; the player's output is captured.
	lumaroll::Player& build() {
		loaded = test::loadFakeScene(writer);
		world.reset(new lumaroll::SceneWorld(loaded.scene));
		testing::internal::CaptureStdout();
		player.reset(new lumaroll::Player(loaded.scene, world.get()));
		setupOutput = testing::internal::GetCapturedStdout();
		return *player;
	}

	// Loads a ball model written by test::writeBallModel on the level's
	// context and sets it up as the session does: its nodes under a dummy
	// "player" linked under the scene, the form record read (when the model
	// has one), then analyseModel and createShadow; what they print goes to
	// modelOutput. Returns the player root.
	hgr::Node* attachModel(test::BallModel kind = test::BallModel::Full, const std::string& formRecord = "",
						   gr::Context* shadowContext = nullptr) {
		test::SceneWriter modelWriter;
		test::writeBallModel(modelWriter, kind, formRecord);
		model = test::loadFakeScene(modelWriter, loaded.context);
		lang::Ptr<hgr::Dummy> root = new hgr::Dummy;
		root->setName("player");
		std::vector<lang::Ptr<hgr::Node>> children;
		for (hgr::Node* n = model.scene->getFirstChild(); n; n = n->getNextSibling())
			children.push_back(n);
		for (const auto& child : children)
			child->linkTo(root);
		root->linkTo(loaded.scene);
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

	// The index of the named rail among the player's rails (scene order), -1 when none.
	int rail(const std::string& name) const {
		const auto& rails = player->builtRails();
		for (size_t i = 0; i < rails.size(); ++i)
			if (rails[i].name == name)
				return int(i);
		return -1;
	}

	// The node of that name in the level scene (null when absent).
	hgr::Node* node(const std::string& name) { return loaded.scene->findNode(name.c_str()); }

	// Steps the player frames times with the same input.
	void run(int frames, float dt = 1.f / 60.f, float forward = 0.f, float right = 0.f, bool jump = false) {
		for (int i = 0; i < frames; ++i)
			player->step(jump, dt, forward, right);
	}
};

// Changes the player's ball between steps as a set-up by hand does: edit
// changes a copy of the ball, which then replaces it (Player::setBody).
template <class Edit>
void editBall(lumaroll::Player& player, Edit&& edit) {
	lumaroll::BallBody ball = player.body();
	edit(ball);
	player.setBody(ball);
}

// Sounds handed to the player's sound callback, in order.
struct SoundRecorder {
	std::vector<std::pair<std::string, float>> sounds;

	void attach(lumaroll::Player& player) {
		player.setSoundCallback([this](const std::string& name, float volume) { sounds.emplace_back(name, volume); });
	}
	int count(const std::string& name) const {
		int n = 0;
		for (const auto& s : sounds)
			n += s.first == name ? 1 : 0;
		return n;
	}
};

} // namespace playertest
