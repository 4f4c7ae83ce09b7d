// Water in a played level, in-process on the offscreen window with the
// writer-made ball: water meshes with damaged vertex positions (infinite or
// not a number) next to finite ones, what the water set-up measures of them,
// where the follow camera stands above them, and the picture.
#include "SetupTestHelpers.h"

#include <hgr/Camera.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

using setuptest::linesStartingWith;
using test::SceneWriter;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

class WaterPlayTest : public setuptest::PlaySessionTest {
protected:

	// A blue floor 4000 across at y 0 that the ball rolls on, the ball's
	// start above its middle, and "O_water": a 6000 x 6000 quad of
	// "water.fx" whose four vertices (x, y, z each) are as given.
	static SceneWriter level(const std::vector<float>& water) {
		SceneWriter w;
		w.material("floor", "flat.fx").texture("BASEMAP", w.texture("blue.png"));
		w.material("water", "water.fx");
		test::addQuad(w.primitive(0), {-2000.f, 0.f, -2000.f}, {4000.f, 0.f, 0.f}, {0.f, 0.f, 4000.f});
		w.mesh("floor").primitives({0});
		w.userProperty("floor", "collisionmesh=this");
		test::addQuad(w.primitive(1), water);
		w.mesh("O_water").primitives({1});
		w.dummy("D_start").position(0.f, 100.f, 0.f);
		return w;
	}

	// The corners of the 6000 x 6000 quad at height y, in addQuad's order.
	static std::vector<float> waterAt(float y) {
		return {-3000.f, y, -3000.f, 3000.f, y, -3000.f, -3000.f, y, 3000.f, 3000.f, y, 3000.f};
	}

	// Blue pixels of the window.
	static int floorPixels() {
		const std::vector<uint8_t> rgba =
			test::GLTestContext::pixels(0, 0, test::GLTestContext::WIDTH, test::GLTestContext::HEIGHT);
		int blue = 0;
		for (size_t i = 0; i + 4 <= rgba.size(); i += 4)
			blue += bool(test::colourNear(&rgba[i], 0, 0, 255, -1, 6));
		return blue;
	}
};

TEST_F(WaterPlayTest, WaterWhoseHeightOrExtentIsNotFiniteIsLeftOut) {
	// A vertex that is not finite in one coordinate is finite in none once
	// moved into the world, so the line names the height.
	const std::string line = "water: mesh O_water ignored: its height is not a finite number\n";
	// Each vertex is 3 floats; vertex 3 is the far corner (x 3000, z 3000).
	const auto with = [](std::vector<float> v, int index, float value) {
		v[size_t(index)] = value;
		return v;
	};
	const std::vector<float> below = waterAt(-400.f);
	struct Case {
		const char* name;
		std::vector<float> water;
		bool ignored; // no area and the line at the start
		float height; // of the area when it is kept
		bool raises;  // the camera stands on the water rather than where it follows
	};
	const Case cases[] = {
		{"finite, below the floor", below, false, -400.f, false},
		{"one vertex at +inf", with(below, 10, kInf), true, 0.f, false},
		{"one vertex at -inf", with(below, 10, -kInf), true, 0.f, false},
		{"one vertex at nan", with(below, 10, kNaN), true, 0.f, false},
		{"all vertices at +inf", waterAt(kInf), true, 0.f, false},
		{"one vertex's x at +inf", with(below, 9, kInf), true, 0.f, false},
		{"one vertex's z at nan", with(below, 11, kNaN), true, 0.f, false},
		{"finite, above the camera", waterAt(2000.f), false, 2000.f, true},
		{"one vertex very high, finite", with(below, 10, 1e30f), false, float((1e30 - 1200.0) / 4.0), true},
	};

	float followedY = kNaN; // the camera's height over the control
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		auto session = start(level(c.water));
		lumaroll::Player* player = session->level().player();
		ASSERT_NE(player, nullptr) << startErrors;
		ASSERT_NE(session->level().water(), nullptr);

		const std::vector<lumaroll::WaterArea>& areas = session->level().water()->waterAreas();
		EXPECT_EQ(linesStartingWith(startErrors, "water: "), c.ignored ? 1 : 0) << startErrors;
		if (c.ignored) {
			EXPECT_NE(startErrors.find(line), std::string::npos) << startErrors;
			EXPECT_TRUE(areas.empty());
		} else {
			ASSERT_EQ(areas.size(), 1u);
			EXPECT_FLOAT_EQ(areas[0].height, c.height);
			EXPECT_FLOAT_EQ(areas[0].minX, -3000.f);
			EXPECT_FLOAT_EQ(areas[0].maxX, 3000.f);
			EXPECT_FLOAT_EQ(areas[0].minZ, -3000.f);
			EXPECT_FLOAT_EQ(areas[0].maxZ, 3000.f);
		}

		for (int i = 0; i < 20; ++i)
			frame(*session);
		const float cameraY = session->level().camera()->getWorldTransform().m[1][3];
		EXPECT_TRUE(std::isfinite(cameraY)) << cameraY;
		if (c.raises) {
			EXPECT_FLOAT_EQ(cameraY, c.height + 0.6f * player->body().values.radius);
			continue;
		}
		// Water below the floor, or none: the camera stays where it follows the ball.
		if (std::isnan(followedY))
			followedY = cameraY;
		EXPECT_FLOAT_EQ(cameraY, followedY);
		EXPECT_GT(cameraY, player->ballPosition().y);
		EXPECT_GT(floorPixels(), test::GLTestContext::WIDTH * test::GLTestContext::HEIGHT / 4) << "the floor";
		EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
	}
}

} // namespace
