#include "ParticleFixtures.h"
#include "support/EffectTreeWriter.h"
#include "support/GLTestContext.h"
#include "support/TextureFileWriter.h"

#include <gr/Primitive.h>
#include <gr/Rect.h>
#include <gr/gles2/GLES2_Context.h>
#include <hgr/Camera.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/ParticleDescription.h>
#include <hgr/ParticleSystem.h>
#include <math/Matrix3x3.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

/** Four floats per vertex of one data type of the primitive, vertices [0, count). */
std::vector<math::Vector4> vertexData(gr::Primitive* p, int type, int count) {
	std::vector<math::Vector4> out(size_t(count > 0 ? count : 0));
	if (count > 0)
		p->getVertexData(type, 0, out.data(), count);
	return out;
}

/** The packed 0xAARRGGBB diffuse word of vertex i. */
uint32_t diffuseWord(gr::Primitive* p, int i) {
	void* data;
	int pitch;
	p->getVertexDataPointer(gr::VertexFormat::DT_DIFFUSE, &data, &pitch);
	return *reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(data) + i * pitch);
}

/**
 * One particle system in front of a camera: the system sits at (0, 0, 10),
 * the camera at the origin looking along +z. The default description gives
 * one emission with one particle of size 2 at the first update, white, half
 * faded after one second.
 */
struct Scene {
	test::ParticleDescriptionWriter writer;
	lang::Ptr<test::FakeContext> context;
	lang::Ptr<hgr::Node> root = new hgr::Node;
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	lang::Ptr<hgr::ParticleSystem> system;

	explicit Scene(int platform = gr::Context::PLATFORM_EGL) : context(new test::FakeContext(640, 480, platform)) {
		writer.set("systemMaxEmissions", "1")
			.set("systemRate", "CONSTANT 1000")
			.set("emissionMaxParticles", "1")
			.set("emissionRate", "CONSTANT 1000")
			.set("particleStartVelocity", "POINT 0 0 0")
			.set("particleStartSize", "CONSTANT 2")
			.set("particleEndSize", "CONSTANT 2")
			.set("shaderName", "particle.fx");
	}

	/** Loads the system, links it, updates it once by dt and draws the camera; returns the primitive. */
	gr::Primitive* draw(float dt = 1.f) {
		system = particletest::loadSystem(writer, context);
		system->setPosition(math::Vector3(0, 0, 10));
		camera->linkTo(root);
		system->linkTo(root);
		system->update(dt);
		context->log.clear();
		camera->render(context);
		return system->getPrimitive();
	}

	test::FakeShader* shader() const { return static_cast<test::FakeShader*>(system->getDescription()->shader.ptr()); }
	std::vector<std::string> shaderCalls() const { return context->log.containing("particle.fx"); }
};

TEST(ParticleRender, ScreenSpaceSpriteIsAScreenSquareAroundTheParticle) {
	for (const gr::Rect& viewport : {gr::Rect(640, 480), gr::Rect(300, 100)}) {
		SCOPED_TRACE(viewport.x1);
		Scene s;
		s.context->setViewport(viewport);
		gr::Primitive* p = s.draw();
		ASSERT_TRUE(p);
		EXPECT_EQ(p->getVertexCount(), 6);
		EXPECT_EQ(p->getIndexCount(), 0);
		ASSERT_EQ(p->getVertexRangeEnd(), 6);

		const std::vector<math::Vector4> pos = vertexData(p, gr::VertexFormat::DT_POSITION, 6);
		const std::vector<math::Vector4> uv = vertexData(p, gr::VertexFormat::DT_TEX0, 6);
		// The projected half size of the sprite: size / 2 at depth 10.
		const math::Matrix4x4& P = s.context->getProjectionMatrix();
		const math::Vector4 edge = P.transform(math::Vector4(1, 0, 10, 1));
		const math::Vector4 centre = P.transform(math::Vector4(0, 0, 10, 1));
		const float hw = float(viewport.x1 / 2), hh = float(viewport.y1 / 2);
		const float bx = edge.x / edge.w, by = bx * hw / hh;
		// q0 q1 q2 q0 q2 q3 with q0 top left on screen (NDC y up).
		const float expectedX[6] = {-bx, bx, bx, -bx, bx, -bx};
		const float expectedY[6] = {by, by, -by, by, -by, -by};
		const float expectedU[6] = {0, 1, 1, 0, 1, 0};
		const float expectedV[6] = {0, 0, 1, 0, 1, 1};
		for (int i = 0; i < 6; ++i) {
			EXPECT_NEAR(pos[i].x, expectedX[i], 1e-5f) << i;
			EXPECT_NEAR(pos[i].y, expectedY[i], 1e-5f) << i;
			EXPECT_NEAR(pos[i].z, centre.z / centre.w, 1e-6f) << i;
			EXPECT_EQ(uv[i].x, expectedU[i]) << i;
			EXPECT_EQ(uv[i].y, expectedV[i]) << i;
		}
		// Square in pixels whatever the aspect.
		EXPECT_NEAR((pos[1].x - pos[0].x) * hw, (pos[0].y - pos[2].y) * hh, 1e-3f);
	}
}

TEST(ParticleRender, ParticlesCarryTheirColourAndAlpha) {
	Scene s;
	s.writer.set("particleStartColor", "POINT 1 0.5 0").set("particleEndColor", "POINT 1 0.5 0");
	gr::Primitive* p = s.draw();
	ASSERT_TRUE(p);
	// Alpha 1 fading to 0 over 2 seconds: half after one.
	for (int i = 0; i < 6; ++i)
		EXPECT_EQ(diffuseWord(p, i), 0x7FFF7F00u) << i;
}

TEST(ParticleRender, DrawsWithTheShaderAndNoMatrices) {
	Scene s;
	s.draw();
	const std::string label = s.writer.dir() + "particle.fx";
	EXPECT_EQ(s.context->log.texts(label),
			  (std::vector<std::string>{label + ".begin", label + ".beginPass 0", label + ".endPass", label + ".end"}));
	EXPECT_EQ(s.context->log.find("primitive.render").size(), 1u);
	for (bool set : s.shader()->isSet)
		EXPECT_FALSE(set);
	EXPECT_EQ(s.system->getTimeSinceRender(), 0.f);
}

TEST(ParticleRender, RotatedSpriteTurnsItsCorners) {
	Scene s;
	s.writer.set("particleSpriteRotation", "CONSTANT 90");
	gr::Primitive* p = s.draw();
	ASSERT_TRUE(p);
	const std::vector<math::Vector4> pos = vertexData(p, gr::VertexFormat::DT_POSITION, 6);
	// The top-left corner turns to the top right.
	EXPECT_GT(pos[0].x, 0.f);
	EXPECT_GT(pos[0].y, 0.f);
	EXPECT_LT(pos[2].x, 0.f);
	EXPECT_LT(pos[2].y, 0.f);
}

TEST(ParticleRender, WorldUpKeepsTheSpriteUprightUnderARolledCamera) {
	for (const char* view : {"CAMERAUP", "WORLDUP"}) {
		SCOPED_TRACE(view);
		Scene s;
		s.writer.set("textureView", view);
		s.camera->setRotation(math::Matrix3x3::rotation(math::Vector3(0, 0, 1), 1.5707963f));
		gr::Primitive* p = s.draw();
		ASSERT_TRUE(p);
		const std::vector<math::Vector4> pos = vertexData(p, gr::VertexFormat::DT_POSITION, 6);
		if (std::string(view) == "CAMERAUP") {
			EXPECT_LT(pos[0].x, 0.f);
		} else {
			EXPECT_GT(pos[0].x, 0.f);
		}
		EXPECT_GT(pos[0].y, 0.f);
	}
}

TEST(ParticleRender, ElasticSpriteStretchesAlongTheVelocity) {
	Scene s;
	s.writer.set("particleSpriteElasticity", "CONSTANT 0.5").set("particleStartVelocity", "POINT 4 0 0");
	gr::Primitive* p = s.draw();
	ASSERT_TRUE(p);
	ASSERT_EQ(p->getVertexRangeEnd(), 6);
	const std::vector<math::Vector4> pos = vertexData(p, gr::VertexFormat::DT_POSITION, 6);
	float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
	for (const math::Vector4& v : pos) {
		minX = std::min(minX, v.x);
		maxX = std::max(maxX, v.x);
		minY = std::min(minY, v.y);
		maxY = std::max(maxY, v.y);
	}
	// Stretched 2 units each way along x, 1 unit across: wider than high in pixels.
	EXPECT_GT((maxX - minX) * 320.f, 1.5f * (maxY - minY) * 240.f);
}

TEST(ParticleRender, SkippedParticlesWriteNothingAndDrawNothing) {
	struct Case {
		const char* name;
		const char* key;
		const char* value;
	};
	const Case cases[] = {
		{"behind the camera", "particleStartPosition", "POINT 0 0 -20"},
		{"nearer than the front plane", "particleStartPosition", "POINT 0 0 -9.5"},
		{"stretched corner through the front plane", "particleStartVelocity", "POINT 0 0 -40"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		Scene s;
		s.writer.set(c.key, c.value).set("particleSpriteElasticity", "CONSTANT 0.25");
		gr::Primitive* p = s.draw(0.01f);
		ASSERT_TRUE(p);
		EXPECT_EQ(p->getVertexRangeEnd(), 0);
		EXPECT_TRUE(s.shaderCalls().empty());
	}
}

TEST(ParticleRender, EmissionWithoutParticlesSkipsTheShader) {
	Scene s;
	s.writer.set("emissionRate", "CONSTANT 0");
	gr::Primitive* p = s.draw();
	ASSERT_EQ(s.system->getEmissionCount(), 1);
	ASSERT_TRUE(p);
	EXPECT_EQ(p->getVertexRangeEnd(), 0);
	EXPECT_TRUE(s.shaderCalls().empty());
	EXPECT_EQ(s.system->getTimeSinceRender(), 0.f);
}

TEST(ParticleRender, NoEmissionNoPrimitive) {
	Scene s;
	s.writer.set("systemRate", "CONSTANT 0");
	EXPECT_EQ(s.draw(), nullptr);
	EXPECT_EQ(s.context->primitivesCreated, 0);
}

TEST(ParticleRender, TinyViewportDrawsNothing) {
	for (const gr::Rect& viewport : {gr::Rect(1, 480), gr::Rect(640, 1), gr::Rect(0, 0)}) {
		SCOPED_TRACE(::testing::Message() << viewport.width() << "x" << viewport.height());
		Scene s;
		s.context->setViewport(viewport);
		s.draw();
		EXPECT_TRUE(s.shaderCalls().empty());
	}
}

TEST(ParticleRender, PrimitiveIsMadeOnceAndReused) {
	Scene s;
	gr::Primitive* p = s.draw();
	for (int i = 0; i < 3; ++i) {
		s.system->update(0.1f);
		s.camera->render(s.context);
	}
	EXPECT_EQ(s.system->getPrimitive(), p);
	EXPECT_EQ(s.context->primitivesCreated, 1);
}

TEST(ParticleRender, ViewSpaceBuilderWritesShortsAndIndices) {
	Scene s(gr::Context::PLATFORM_N3D);
	s.writer.set("textureFrames", "4");
	gr::Primitive* p = s.draw();
	ASSERT_TRUE(p);
	EXPECT_EQ(p->getVertexCount(), 4);
	EXPECT_EQ(p->getIndexCount(), 6);
	EXPECT_EQ(p->getVertexRangeEnd(), 4);
	EXPECT_EQ(p->getIndexRangeEnd(), 6);
	EXPECT_EQ(p->getTexCoordScale().x, 1.f / 4096.f);
	EXPECT_EQ(p->getVertexFormat().getDataFormat(gr::VertexFormat::DT_POSITION), gr::VertexFormat::V3_16);

	const std::vector<math::Vector4> pos = vertexData(p, gr::VertexFormat::DT_POSITION, 4);
	const float x[4] = {-1, 1, 1, -1}, y[4] = {1, 1, -1, -1};
	for (int i = 0; i < 4; ++i) {
		EXPECT_EQ(pos[i].x, x[i]) << i;
		EXPECT_EQ(pos[i].y, y[i]) << i;
		EXPECT_EQ(pos[i].z, 10.f) << i;
	}
	// Frame 0 of a 2 x 2 grid, in 1/4096 units.
	const std::vector<math::Vector4> uv = vertexData(p, gr::VertexFormat::DT_TEX0, 4);
	const float u[4] = {0, 2048, 2048, 0}, v[4] = {0, 0, 2048, 2048};
	for (int i = 0; i < 4; ++i) {
		EXPECT_EQ(uv[i].x, u[i]) << i;
		EXPECT_EQ(uv[i].y, v[i]) << i;
	}
	int indices[6];
	p->getIndices(0, indices, 6);
	EXPECT_EQ(std::vector<int>(indices, indices + 6), (std::vector<int>{0, 2, 1, 0, 3, 2}));

	test::FakeShader* shader = s.shader();
	EXPECT_TRUE(shader->isSet[gr::Shader::PARAM_WORLDTM]);
	EXPECT_TRUE(shader->isSet[gr::Shader::PARAM_VIEWTM]);
	EXPECT_EQ(shader->matrices[gr::Shader::PARAM_VIEWTM].m[0][3], 0.f);
	EXPECT_EQ(shader->matrices[gr::Shader::PARAM_WORLDTM].m[2][2], 1.f);
}

TEST(ParticleRender, ViewSpaceBuilderTurnsRotatedSprites) {
	Scene s(gr::Context::PLATFORM_N3D);
	s.writer.set("particleSpriteRotation", "CONSTANT 90")
		.set("particleStartSize", "CONSTANT 100")
		.set("particleEndSize", "CONSTANT 100")
		.set("particleStartPosition", "POINT 0 0 90");
	gr::Primitive* p = s.draw();
	ASSERT_TRUE(p);
	ASSERT_EQ(p->getVertexRangeEnd(), 4);
	const std::vector<math::Vector4> pos = vertexData(p, gr::VertexFormat::DT_POSITION, 4);
	// (-h, h) turned a quarter is (-h, -h); stored values are truncated, so allow one unit.
	const float x[4] = {-50, -50, 50, 50}, y[4] = {-50, 50, 50, -50};
	for (int i = 0; i < 4; ++i) {
		EXPECT_NEAR(pos[i].x, x[i], 1.f) << i;
		EXPECT_NEAR(pos[i].y, y[i], 1.f) << i;
		EXPECT_EQ(pos[i].z, 100.f) << i;
	}
}

TEST(ParticleRender, ViewSpaceBuilderSaturatesFarCorners) {
	Scene s(gr::Context::PLATFORM_N3D);
	s.writer.set("particleStartPosition", "POINT 0 0 40000");
	s.camera->setBack(1e6f);
	gr::Primitive* p = s.draw();
	ASSERT_TRUE(p);
	const std::vector<math::Vector4> pos = vertexData(p, gr::VertexFormat::DT_POSITION, 4);
	EXPECT_EQ(pos[0].z, 32767.f);
}

TEST(ParticleRender, ViewSpaceBuilderSplitsPastSixteenBitIndices) {
	Scene s(gr::Context::PLATFORM_N3D);
	s.writer.set("systemMaxEmissions", "2")
		.set("systemRate", "CONSTANT 1000")
		.set("emissionMaxParticles", "10000")
		.set("emissionRate", "CONSTANT 100000")
		.set("particleStartPosition", "BOX -50 -50 0 50 50 50")
		.set("particleStartSize", "CONSTANT 0.5")
		.set("particleEndSize", "CONSTANT 0.5");
	gr::Primitive* p = s.draw();
	ASSERT_EQ(s.system->getParticleCount(), 20000);
	ASSERT_TRUE(p);
	// One primitive of the largest 16-bit batch, drawn twice.
	EXPECT_EQ(p->getVertexCount(), 10922 * 4);
	EXPECT_EQ(p->getIndexCount(), 10922 * 6);
	EXPECT_EQ(s.context->log.find("primitive.render").size(), 2u);
	// The second batch holds the rest.
	EXPECT_EQ(p->getVertexRangeEnd(), (20000 - 10922) * 4);
	std::vector<int> indices(size_t(p->getIndexRangeEnd()));
	p->getIndices(0, indices.data(), int(indices.size()));
	for (int i : indices)
		ASSERT_LT(i, p->getVertexRangeEnd());
}

TEST(ParticleRender, AlignedToUserNormalUsesTheBasis) {
	Scene s(gr::Context::PLATFORM_N3D);
	s.writer.set("particleAlignedToUserNormal", "true");
	// A basis whose first two axes are x and z: the sprite lies flat, seen edge-on.
	s.system = particletest::loadSystem(s.writer, s.context);
	s.system->setBasis(math::Matrix3x3(1, 0, 0, 0, 0, 1, 0, 1, 0));
	s.system->setPosition(math::Vector3(0, 0, 10));
	s.camera->linkTo(s.root);
	s.system->linkTo(s.root);
	s.system->update(1.f);
	s.camera->render(s.context);
	gr::Primitive* p = s.system->getPrimitive();
	ASSERT_TRUE(p);
	const std::vector<math::Vector4> pos = vertexData(p, gr::VertexFormat::DT_POSITION, 4);
	for (int i = 0; i < 4; ++i)
		EXPECT_EQ(pos[i].y, 0.f) << i;
	EXPECT_EQ(pos[0].z, 11.f);
	EXPECT_EQ(pos[2].z, 9.f);
}

TEST(ParticleRender, UnknownPlatformPrintsOnceAndDrawsNothing) {
	Scene s(gr::Context::PLATFORM_SW);
	testing::internal::CaptureStdout();
	s.draw();
	s.camera->render(s.context);
	const std::string out = testing::internal::GetCapturedStdout();
	EXPECT_EQ(out, hgr::ParticleSystem::UNSUPPORTED_PLATFORM_MESSAGE);
	EXPECT_EQ(s.context->primitivesCreated, 0);
	EXPECT_TRUE(s.shaderCalls().empty());
}

// On a real GL context: a red particle covers the middle of the window.
TEST(ParticleRender, ParticlesAppearOnScreen) {
	REQUIRE_GL_CONTEXT();
	test::GLTestContext::takeErrors();
	const int W = test::GLTestContext::WIDTH, H = test::GLTestContext::HEIGHT;
	test::EffectTreeWriter tree;
	tree.write("particle.vsh", test::EffectTreeWriter::PARTICLE_VERTEX);
	tree.write("particle.fsh", test::EffectTreeWriter::PARTICLE_FRAGMENT);
	tree.writeEffect("particle.fx", "particle.vsh", "particle.fsh", "\t\tenableculling = false;\n");
	ASSERT_TRUE(test::writePng(tree.path("white.png"), test::TextureImage::solid(4, 4, 255, 255, 255)));

	lang::Ptr<gr::GLES2_Context> context = new gr::GLES2_Context(W, H, nullptr, nullptr);
	context->platform = gr::Context::PLATFORM_EGL;
	context->setRenderTarget(nullptr);
	context->setViewport(gr::Rect(W, H));

	test::ParticleDescriptionWriter writer;
	writer.set("systemMaxEmissions", "1")
		.set("emissionMaxParticles", "1")
		.set("emissionRate", "CONSTANT 1")
		.set("particleStartVelocity", "POINT 0 0 0")
		.set("particleStartSize", "CONSTANT 8")
		.set("particleEndSize", "CONSTANT 8")
		.set("particleStartColor", "POINT 1 0 0")
		.set("particleEndColor", "POINT 1 0 0")
		.set("particleEndAlpha", "CONSTANT 1")
		.set("textureName", "white.png")
		.set("shaderName", "particle.fx");
	const std::string path = writer.write("red.prs");
	lang::Ptr<hgr::DefaultResourceManager> manager = new hgr::DefaultResourceManager(context);
	lang::Ptr<hgr::ParticleSystem> system =
		manager->getParticleSystem(path.c_str(), tree.dir().c_str(), tree.dir().c_str());
	EXPECT_EQ(context->loadCounters[gr::GLES2_Context::EFFECTS_LOADED], 1);
	EXPECT_EQ(context->loadCounters[gr::GLES2_Context::TEXTURES_LOADED], 1);

	lang::Ptr<hgr::Node> root = new hgr::Node;
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	camera->linkTo(root);
	system->linkTo(root);
	system->setPosition(math::Vector3(0, 0, 10));
	system->update(1.f);

	context->clear(0xFF000000);
	const std::vector<uint8_t> before = test::GLTestContext::pixel(W / 2, H / 2);
	EXPECT_EQ(before[0], 0);
	camera->render(context);
	const std::vector<uint8_t> centre = test::GLTestContext::pixel(W / 2, H / 2);
	EXPECT_GE(centre[0], 250);
	EXPECT_LE(centre[1], 5);
	EXPECT_LE(centre[2], 5);
	// The corner stays clear: a sprite, not a full-screen quad.
	const std::vector<uint8_t> corner = test::GLTestContext::pixel(1, 1);
	EXPECT_LE(corner[0], 5);
	EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
}

} // namespace
