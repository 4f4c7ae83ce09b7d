// The water reflection on writer-made water levels, in-process on the
// offscreen GL window (64 x 64): which meshes are water, the normal-map
// frames, the reflection pass and what it leaves behind, the picture, and
// the water heights.
#include "SetupTestHelpers.h"
#include "render/RenderScaleTarget.h"
#include "render/WaterReflection.h"
#include "support/AllocationCounter.h"

#include <gr/Rect.h>
#include <hgr/Camera.h>
#include <hgr/Scene.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <set>
#include <utility>
#include <vector>

using lumaroll::WaterReflection;
using setuptest::matrixNear;
using setuptest::nodeName;
using test::SceneWriter;

namespace {

// The eye looking straight down from (x, y, z): its forward (z axis) is world -y.
math::Matrix3x4 lookingDown(float x, float y, float z) {
	return setuptest::toMatrix({1.f, 0.f, 0.f, x, 0.f, 0.f, -1.f, y, 0.f, 1.f, 0.f, z});
}

class WaterReflectionTest : public setuptest::SetupSceneTest {
protected:
	// Loads the level and builds the water reflection on it, with an eye
	// camera linked under the scene; errors holds what construction printed
	// on stderr.
	void build(const SceneWriter& level) {
		scene = loadScene(level);
		testing::internal::CaptureStderr();
		water = std::make_unique<WaterReflection>(context, scene);
		errors = testing::internal::GetCapturedStderr();
		eye = new hgr::Camera;
		eye->setHorizontalFov(1.3f);
		eye->setFront(1.f);
		eye->setBack(10000.f);
		eye->linkTo(scene);
	}

	// The water pass, then the scene through the eye into the window, as the
	// session renders a frame.
	void renderFrame(float time = 0.f) {
		context->beginScene();
		water->render(eye, 64, 64, 0xff000000, time);
		context->setViewport(gr::Rect(64, 64));
		context->clear(0xff000000);
		eye->render(context);
		context->endScene();
	}

	std::set<std::string> areaNames() const {
		std::set<std::string> names;
		for (const lumaroll::WaterArea& area : water->waterAreas())
			names.insert(nodeName(area.mesh));
		return names;
	}

	lang::Ptr<hgr::Scene> scene;
	std::unique_ptr<WaterReflection> water;
	lang::Ptr<hgr::Camera> eye;
	std::string errors;
};

TEST_F(WaterReflectionTest, WaterIsFoundByTechniqueOrEffectFileName) {
	SceneWriter w;
	const char* effects[] = {"lake.fx", "water.fx", "fx/waterfall.fx", "Water.fx", "flat.fx", "water.fx"};
	for (const char* effect : effects)
		w.material(effect, effect);
	for (int i = 0; i < 5; ++i)
		test::addQuad(w.primitive(i), {-100.f, 0.f, -100.f}, {200.f, 0.f, 0.f}, {0.f, 0.f, 200.f});
	// A water primitive without vertices.
	w.primitive(5).component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {}).indices({});
	const char* names[] = {"by_technique", "by_name", "by_name_in_folder", "capital_w", "plain", "empty"};
	for (int i = 0; i < 6; ++i)
		w.mesh(names[i]).primitives({i});
	build(w);

	EXPECT_EQ(areaNames(), (std::set<std::string>{"by_technique", "by_name", "by_name_in_folder"}));
	EXPECT_TRUE(lumaroll::isWaterMesh(scene->findNode("empty")));
	EXPECT_FALSE(lumaroll::isWaterMesh(scene->findNode("capital_w")));
}

TEST_F(WaterReflectionTest, AreaIsMeasuredInWorldSpace) {
	SceneWriter w;
	w.material("water", "water.fx");
	// Vertex heights 0, 0, 40, 40 below a mesh moved to (10, 5, -50).
	test::addQuad(w.primitive(0), {0.f, 0.f, 0.f}, {100.f, 0.f, 0.f}, {0.f, 40.f, 100.f});
	w.mesh("O_water").primitives({0}).position(10.f, 5.f, -50.f);
	build(w);
	ASSERT_EQ(water->waterAreas().size(), 1u);
	const lumaroll::WaterArea& area = water->waterAreas()[0];
	EXPECT_FLOAT_EQ(area.height, 25.f);
	EXPECT_FLOAT_EQ(area.minX, 10.f);
	EXPECT_FLOAT_EQ(area.maxX, 110.f);
	EXPECT_FLOAT_EQ(area.minZ, -50.f);
	EXPECT_FLOAT_EQ(area.maxZ, 50.f);
	EXPECT_STREQ(water->reflectionCamera()->getName().c_str(), "reflejo_agua");
	EXPECT_EQ(water->reflectionCamera()->getParent(), static_cast<hgr::Node*>(scene));
}

TEST_F(WaterReflectionTest, MeshWhoseHeightOrExtentIsNotFiniteAddsNoArea) {
	const float inf = std::numeric_limits<float>::infinity();
	const float nan = std::numeric_limits<float>::quiet_NaN();
	const float top = std::numeric_limits<float>::max();
	// Quads over x, z 0 to 100 at y 0 with some vertex components changed;
	// components 9, 10 and 11 are x, y and z of the corner at (100, 100). A
	// vertex not finite in one coordinate is finite in none once moved into
	// the world, so the line names its height; the extent alone is named
	// when only x or z leaves the float range there.
	const auto quad = [](std::initializer_list<std::pair<int, float>> changes) {
		std::vector<float> corners = {0.f, 0.f, 0.f, 100.f, 0.f, 0.f, 0.f, 0.f, 100.f, 100.f, 0.f, 100.f};
		for (const auto& change : changes)
			corners[size_t(change.first)] = change.second;
		return corners;
	};
	struct Case {
		const char* mesh;
		std::vector<float> corners;
		const char* notFinite; // "height", "extent", or null when the mesh is water
		float height = 0.f;
		float scaleX = 1.f, scaleY = 1.f; // of the mesh node
	} cases[] = {
		{"finite", quad({}), nullptr},
		{"highest_float", quad({{10, top}}), nullptr, top / 4.f},
		{"lowest_float", quad({{10, -top}}), nullptr, -top / 4.f},
		{"widest_float", quad({{9, top}}), nullptr},
		{"y_inf", quad({{10, inf}}), "height"},
		{"y_minus_inf", quad({{10, -inf}}), "height"},
		{"y_nan", quad({{10, nan}}), "height"},
		{"all_y_inf", quad({{1, inf}, {4, inf}, {7, inf}, {10, inf}}), "height"},
		{"x_inf", quad({{9, inf}}), "height"},
		{"x_nan", quad({{9, nan}}), "height"},
		{"z_minus_inf", quad({{11, -inf}}), "height"},
		{"y_and_z_nan", quad({{10, nan}, {11, nan}}), "height"},
		// Finite in the file, beyond the float range once in world space.
		{"scaled_past_the_range", quad({{10, top}}), "height", 0.f, 1.f, 2.f},
		{"scaled_wider_than_the_range", quad({{9, top}}), "extent", 0.f, 2.f, 1.f},
	};
	SceneWriter w;
	w.material("water", "water.fx");
	std::set<std::string> kept;
	int ignored = 0;
	for (size_t i = 0; i < std::size(cases); ++i) {
		const Case& c = cases[i];
		test::addQuad(w.primitive(0), c.corners);
		w.mesh(c.mesh).primitives({int(i)}).transform(
			{c.scaleX, 0.f, 0.f, 0.f, 0.f, c.scaleY, 0.f, 0.f, 0.f, 0.f, 1.f, 0.f});
		if (c.notFinite)
			++ignored;
		else
			kept.insert(c.mesh);
	}
	build(w);

	EXPECT_EQ(areaNames(), kept);
	for (const lumaroll::WaterArea& area : water->waterAreas()) {
		const std::string name = nodeName(area.mesh);
		for (const Case& c : cases) {
			if (name == c.mesh) {
				EXPECT_FLOAT_EQ(area.height, c.height) << name;
			}
		}
		EXPECT_FLOAT_EQ(area.minX, 0.f) << name;
		EXPECT_FLOAT_EQ(area.maxX, name == "widest_float" ? top : 100.f) << name;
		EXPECT_FLOAT_EQ(area.minZ, 0.f) << name;
		EXPECT_FLOAT_EQ(area.maxZ, 100.f) << name;
	}
	for (const Case& c : cases) {
		if (!c.notFinite)
			continue;
		const std::string line =
			std::string("water: mesh ") + c.mesh + " ignored: its " + c.notFinite + " is not a finite number\n";
		EXPECT_NE(errors.find(line), std::string::npos) << c.mesh << "\n" << errors;
	}
	EXPECT_EQ(setuptest::linesStartingWith(errors, "water: "), ignored) << errors;

	// The areas kept answer as before, the highest there.
	float height = 0.f;
	ASSERT_TRUE(water->waterHeightAt(50.f, 50.f, height));
	EXPECT_FLOAT_EQ(height, top / 4.f);
}

TEST_F(WaterReflectionTest, NormalMapFramesRunFromTheFirstToTheFirstMissing) {
	test::writeNormalMaps(data, 7);
	build(test::waterLevel(0.f, 500.f));
	const auto& frames = water->normalMapFrames();
	ASSERT_EQ(frames.size(), 7u);
	// A missing frame file ends the list without the engine's texture complaint.
	EXPECT_EQ(errors.find("[gles2] texture"), std::string::npos) << errors;

	eye->setTransform(lookingDown(0.f, 500.f, 0.f));
	struct Case {
		float time;
		size_t frame; // int(fmod(t, 2) * 15) mod 7
	} cases[] = {{0.5f, 0}, {1.f, 1}, {0.f, 0}, {1.99f, 1}, {3.f, 1}};
	for (bool enabled : {true, false}) {
		water->enabled = enabled;
		for (const Case& c : cases) {
			water->render(eye, 64, 64, 0xff000000, c.time);
			EXPECT_EQ(context->waterNormalMap.ptr(), frames[c.frame].ptr())
				<< "time " << c.time << (enabled ? "" : ", disabled");
		}
	}

	// A frame file that does not load ends the list too.
	ASSERT_TRUE(test::writeFile(data + "/resources/textures/water03.pvr", "not a texture"));
	build(test::waterLevel(0.f, 500.f));
	EXPECT_EQ(water->normalMapFrames().size(), 2u);

	// Without water no frame is loaded, whatever files there are.
	build(test::testLevelScene());
	EXPECT_TRUE(water->normalMapFrames().empty());
	EXPECT_TRUE(water->waterAreas().empty());
}

TEST_F(WaterReflectionTest, TargetIsHalfTheFrameAndKeptWhileTheSizeStays) {
	build(test::waterLevel(0.f, 500.f));
	eye->setTransform(lookingDown(0.f, 500.f, 0.f));
	struct Case {
		int width, height, targetWidth, targetHeight;
	} cases[] = {{3, 3, 1, 1}, {5, 3, 2, 1}, {4, 4, 2, 2}, {800, 480, 400, 240}, {64, 64, 32, 32}};
	for (const Case& c : cases) {
		water->render(eye, c.width, c.height, 0xff000000, 0.f);
		ASSERT_NE(water->reflectionTarget(), nullptr);
		EXPECT_EQ(water->reflectionTarget()->getWidth(), c.targetWidth) << c.width << " x " << c.height;
		EXPECT_EQ(water->reflectionTarget()->getHeight(), c.targetHeight) << c.width << " x " << c.height;
	}
	gr::Texture* kept = water->reflectionTarget();
	water->render(eye, 64, 64, 0xff000000, 0.5f);
	EXPECT_EQ(water->reflectionTarget(), kept);
	EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
}

TEST_F(WaterReflectionTest, PassLeavesTheContextReadyForTheScene) {
	build(test::waterLevel(10.f, 500.f));
	eye->setTransform(lookingDown(10.f, 500.f, 20.f));
	eye->setHorizontalFov(1.1f);
	eye->setFront(2.f);
	eye->setBack(3000.f);

	lumaroll::RenderScaleTarget scaled;
	ASSERT_TRUE(scaled.resize(32, 32));
	for (int framebuffer : {0, int(scaled.framebuffer)}) {
		SCOPED_TRACE(framebuffer ? "render-scale target" : "window");
		const int size = framebuffer ? 32 : 64;
		context->defaultFramebuffer =
			gr::GLES2_Context::DefaultFramebuffer{framebuffer, framebuffer ? 32 : 0, framebuffer ? 32 : 0};
		water->render(eye, size, size, 0xff000000, 0.f);

		EXPECT_EQ(context->techniqueOverride, "");
		EXPECT_FALSE(context->mirrored);
		EXPECT_FALSE(context->clipPlaneEnabled);
		ASSERT_NE(water->reflectionTarget(), nullptr);
		EXPECT_EQ(context->reflectionMap.ptr(), water->reflectionTarget());
		const gr::Rect& viewport = context->getViewport();
		EXPECT_EQ(viewport.x0, 0);
		EXPECT_EQ(viewport.y0, 0);
		EXPECT_EQ(viewport.x1, size);
		EXPECT_EQ(viewport.y1, size);
		GLint bound = -1;
		glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
		EXPECT_EQ(bound, framebuffer);
	}
	context->defaultFramebuffer = gr::GLES2_Context::DefaultFramebuffer{0, 0, 0};
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	scaled.release();

	// The mirror of the eye at the water's height 10, and the water plane in
	// the mirrored camera's space: (R10, R11, R12, t_y - 10).
	hgr::Camera* mirror = water->reflectionCamera();
	EXPECT_TRUE(matrixNear(mirror->getTransform(),
						   setuptest::toMatrix({1.f, 0.f, 0.f, 10.f, 0.f, 0.f, 1.f, -480.f, 0.f, 1.f, 0.f, 20.f})));
	EXPECT_FLOAT_EQ(context->clipPlane.x, 0.f);
	EXPECT_FLOAT_EQ(context->clipPlane.y, 0.f);
	EXPECT_FLOAT_EQ(context->clipPlane.z, 1.f);
	EXPECT_FLOAT_EQ(context->clipPlane.w, -490.f);
	EXPECT_NEAR(mirror->getHorizontalFov(), 1.1f, 1e-4f);
	EXPECT_FLOAT_EQ(mirror->getFront(), 2.f);
	EXPECT_FLOAT_EQ(mirror->getBack(), 3000.f);
}

TEST_F(WaterReflectionTest, WaterShowsWhatIsAboveIt) {
	// Water at y 0, a red ceiling at y 1000 behind the eye at y 500.
	build(test::waterLevel(0.f, 500.f));
	eye->setTransform(lookingDown(0.f, 500.f, 0.f));
	renderFrame();
	EXPECT_TRUE(pixelIs(32, 32, 255, 0, 0));

	// The eye just below the water: no pass, and the water seen from above
	// in the same frame does not show the last one.
	eye->setTransform(lookingDown(0.f, -0.01f, 0.f));
	water->render(eye, 64, 64, 0xff000000, 0.f);
	EXPECT_EQ(context->reflectionMap.ptr(), nullptr);
	eye->setTransform(lookingDown(0.f, 500.f, 0.f));
	context->setViewport(gr::Rect(64, 64));
	context->clear(0xff000000);
	eye->render(context);
	EXPECT_TRUE(pixelIs(32, 32, 0, 0, 0));

	renderFrame();
	EXPECT_TRUE(pixelIs(32, 32, 255, 0, 0));
	// No pass while disabled: the map is cleared as well.
	water->enabled = false;
	renderFrame();
	EXPECT_EQ(context->reflectionMap.ptr(), nullptr);
	EXPECT_TRUE(pixelIs(32, 32, 0, 0, 0));
	water->enabled = true;

	// At the water's height exactly it reflects.
	eye->setTransform(lookingDown(0.f, 0.f, 0.f));
	water->render(eye, 64, 64, 0xff000000, 0.f);
	ASSERT_NE(water->reflectionTarget(), nullptr);
	EXPECT_EQ(context->reflectionMap.ptr(), water->reflectionTarget());
	EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
}

TEST_F(WaterReflectionTest, HeightsAnswerForEveryAreaButOnlyLinkedEnabledWaterReflects) {
	SceneWriter w;
	w.material("water", "water.fx");
	test::addQuad(w.primitive(0), {-100.f, 0.f, -100.f}, {200.f, 0.f, 0.f}, {0.f, 0.f, 200.f});
	w.mesh("low").primitives({0}).position(0.f, 10.f, 0.f);		 // x, z from -100 to 100
	w.mesh("high").primitives({0}).position(100.f, 20.f, 100.f); // x, z from 0 to 200
	build(w);
	ASSERT_EQ(water->waterAreas().size(), 2u);

	struct Case {
		const char* name;
		float x, z;
		bool over;
		float height;
	} cases[] = {
		{"inside both", 50.f, 50.f, true, 20.f},
		{"only the low one", -50.f, -50.f, true, 10.f},
		{"on the low one's edge", -100.f, 0.f, true, 10.f},
		{"on the far corner", 200.f, 200.f, true, 20.f},
		{"outside", 500.f, 0.f, false, -7.f},
	};
	const auto check = [&](const char* when) {
		for (const Case& c : cases) {
			float height = -7.f;
			EXPECT_EQ(water->waterHeightAt(c.x, c.z, height), c.over) << c.name << ", " << when;
			EXPECT_FLOAT_EQ(height, c.height) << c.name << ", " << when;
		}
	};
	// The mirror sits at 2 H - 500 below the eye: it tells which water was picked.
	const auto pickedHeight = [&]() {
		water->render(eye, 64, 64, 0xff000000, 0.f);
		return (water->reflectionCamera()->getTransform().m[1][3] + 500.f) / 2.f;
	};
	eye->setTransform(lookingDown(100.f, 500.f, 100.f));
	check("all there");
	EXPECT_FLOAT_EQ(pickedHeight(), 20.f);

	hgr::Node* high = scene->findNode("high");
	high->setEnabled(false);
	EXPECT_FLOAT_EQ(pickedHeight(), 10.f);
	check("high disabled");
	high->setEnabled(true);

	lang::Ptr<hgr::Node> hold = high;
	high->unlink();
	EXPECT_FLOAT_EQ(pickedHeight(), 10.f);
	check("high unlinked");
}

TEST_F(WaterReflectionTest, PassAllocatesNothingOnceItsTargetExists) {
	build(test::waterLevel(0.f, 500.f));
	eye->setTransform(lookingDown(0.f, 500.f, 0.f));
	water->render(eye, 64, 64, 0xff000000, 0.f);
	water->render(eye, 64, 64, 0xff000000, 0.1f);
	const long before = test::allocationCount();
	for (int i = 0; i < 10; ++i)
		water->render(eye, 64, 64, 0xff000000, 0.1f * float(i));
	EXPECT_EQ(test::allocationCount() - before, 0);
}

} // namespace
