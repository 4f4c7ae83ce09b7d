#ifndef TESTS_GAME_SETUP_SETUPTESTHELPERS_H
#define TESTS_GAME_SETUP_SETUPTESTHELPERS_H

// Helpers of the level set-up tests: transforms compared within a tolerance,
// writer matrices as engine ones, scenes and level sessions in-process on the
// offscreen GL window.

#include "../app/SessionTest.h"
#include "app/LevelSession.h"
#include "overlay/Overlay.h"
#include "support/Files.h"
#include "support/SetupFixtures.h"

#include <hgr/Node.h>
#include <math/Matrix3x4.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace setuptest {

inline math::Matrix3x4 toMatrix(const test::SceneWriter::Matrix& w) {
	math::Matrix3x4 m(1.f);
	for (int r = 0; r < 3; ++r)
		for (int c = 0; c < 4; ++c)
			m.m[r][c] = w[size_t(r * 4 + c)];
	return m;
}

inline testing::AssertionResult matrixNear(const math::Matrix3x4& a, const math::Matrix3x4& b, float eps = 1e-4f) {
	for (int r = 0; r < 3; ++r)
		for (int c = 0; c < 4; ++c)
			if (std::fabs(a.m[r][c] - b.m[r][c]) > eps * std::fmax(1.f, std::fabs(b.m[r][c])))
				return testing::AssertionFailure()
					   << "element (" << r << ", " << c << ") is " << a.m[r][c] << ", not " << b.m[r][c];
	return testing::AssertionSuccess();
}

inline std::string nodeName(const hgr::Node* node) {
	return node ? std::string(node->getName().c_str()) : std::string("(none)");
}

// Counts the lines of text that start with prefix.
inline int linesStartingWith(const std::string& text, const std::string& prefix) {
	int count = 0;
	size_t at = 0;
	while (at < text.size()) {
		if (text.compare(at, prefix.size(), prefix) == 0)
			++count;
		const size_t end = text.find('\n', at);
		if (end == std::string::npos)
			break;
		at = end + 1;
	}
	return count;
}

// Writes the set-up files into the data folder: effects (the water ones
// too), textures and library models.
inline void writeSetupData(const std::string& data) {
	test::writeSetupFiles(data);
	test::writeWaterEffects(data);
	test::writeLibraryModels(data);
}

// Scenes on the offscreen window with the set-up files in their data folder.
class SetupSceneTest : public apptest::GLSceneTest {
protected:
	void SetUp() override {
		apptest::GLSceneTest::SetUp();
		if (!IsSkipped())
			writeSetupData(data);
	}
};

// Level sessions on the offscreen window with the fake platform and the
// set-up files in their data folder.
class SessionTest : public apptest::SessionTest {
protected:
	void SetUp() override {
		apptest::SessionTest::SetUp();
		if (!IsSkipped())
			writeSetupData(data);
	}

	// Writes the level and starts a session on it; startOutput and
	// startErrors hold what the start printed.
	std::unique_ptr<lumaroll::LevelSession> start(const test::SceneWriter& level) {
		options.level = test::writeTestLevel(dir.path(), level);
		auto session = std::make_unique<lumaroll::LevelSession>(app, options);
		testing::internal::CaptureStdout();
		testing::internal::CaptureStderr();
		session->start();
		startErrors = testing::internal::GetCapturedStderr();
		startOutput = testing::internal::GetCapturedStdout();
		return session;
	}

	// One frame after ms milliseconds of the manual clock.
	void frame(lumaroll::LevelSession& session, unsigned ms = 20) {
		clock.now += ms;
		session.frame();
	}

	std::string startOutput;
	std::string startErrors;
};

// Level sessions in play mode with the writer-made ball model, its form
// record the text ballForm gives (none by default).
class PlaySessionTest : public SessionTest {
protected:
	void SetUp() override {
		SessionTest::SetUp();
		if (IsSkipped())
			return;
		options.play = true;
		test::makeDirs(data + "/resources/models");
		ASSERT_TRUE(test::ballModel(ballForm()).write(data + "/resources/models/plimbo.hgr"));
	}

	// The ball model's "D_forminfo" text; empty: the model has none.
	virtual std::string ballForm() const { return ""; }
};

} // namespace setuptest

#endif
