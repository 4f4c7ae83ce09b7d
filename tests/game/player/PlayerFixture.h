// A writer-made level loaded on the fake context, with its world and player.
#pragma once

#include "support/FakeSceneLoader.h"
#include "support/LevelFixtures.h"
#include "support/TriggerScript.h"

#include <logic/SceneWorld.h>
#include <player/Player.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace playertest {

struct Level {
	test::SceneWriter writer;
	test::LevelFixtures pieces{writer};
	test::FakeScene loaded;
	std::unique_ptr<lumaroll::SceneWorld> world;
	std::unique_ptr<lumaroll::Player> player;
	// What the player's construction printed (the "collision:" line).
	std::string setupOutput;

	// Loads the scene and builds world and player; the player's output is captured.
	lumaroll::Player& build() {
		loaded = test::loadFakeScene(writer);
		world.reset(new lumaroll::SceneWorld(loaded.scene));
		testing::internal::CaptureStdout();
		player.reset(new lumaroll::Player(loaded.scene, world.get()));
		setupOutput = testing::internal::GetCapturedStdout();
		return *player;
	}

	// Steps the player frames times with the same input.
	void run(int frames, float dt = 1.f / 60.f, float forward = 0.f, float right = 0.f, bool jump = false) {
		for (int i = 0; i < frames; ++i)
			player->step(jump, dt, forward, right);
	}
};

// Sounds handed to the player's sound callback, in order.
struct SoundRecorder {
	std::vector<std::pair<std::string, float>> sounds;

	void attach(lumaroll::Player& player) {
		player.soundCallback = [this](const std::string& name, float volume) { sounds.emplace_back(name, volume); };
	}
	int count(const std::string& name) const {
		int n = 0;
		for (const auto& s : sounds)
			n += s.first == name ? 1 : 0;
		return n;
	}
};

} // namespace playertest
