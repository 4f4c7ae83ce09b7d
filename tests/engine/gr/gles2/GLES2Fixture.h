#ifndef TESTS_GLES2FIXTURE_H
#define TESTS_GLES2FIXTURE_H

#include "support/DrawPasses.h"
#include "support/EffectTreeWriter.h"
#include "support/GLTestContext.h"
#include "support/PixelMatch.h"
#include "support/TextureFileWriter.h"

#include <gr/Primitive.h>
#include <gr/Shader.h>
#include <gr/Texture.h>
#include <gr/gles2/GLES2_Context.h>
#include <gr/gles2/GLES2_Shader.h>
#include <gr/gles2/GLES2_Texture.h>
#include <lang/Ptr.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// A GLES2 context on the shared test window, an effect folder to write
// into, and helpers that draw a full-window quad.
class GLES2Test : public ::testing::Test {
protected:
	static constexpr int W = test::GLTestContext::WIDTH;
	static constexpr int H = test::GLTestContext::HEIGHT;

	lang::Ptr<gr::GLES2_Context> context;
	test::EffectTreeWriter tree;

	void SetUp() override {
		REQUIRE_GL_CONTEXT();
		test::GLTestContext::takeErrors();
		context = new gr::GLES2_Context(W, H, nullptr, nullptr);
		context->shaderDirectory = tree.dir();
		context->textureDirectory = tree.dir();
		context->setRenderTarget(nullptr);
	}

	void TearDown() override { context = nullptr; }

	// Writes a solid-colour PNG texture into the effect folder; returns its path.
	std::string writeSolidPng(const std::string& name, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255, int size = 4) {
		const std::string path = tree.path(name);
		EXPECT_TRUE(test::writePng(path, test::TextureImage::solid(size, size, r, g, b, a)));
		return path;
	}

	// A quad over the whole window (clockwise, so front-facing), with
	// texture coordinates 0..1 from the bottom left; z is the depth.
	lang::Ptr<gr::Primitive> makeQuad(float z = 0.f) {
		gr::VertexFormat format;
		format.addPosition(gr::VertexFormat::V3_32).addTextureCoordinate(gr::VertexFormat::V2_32);
		lang::Ptr<gr::Primitive> quad = context->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, 4, 6);
		const math::Vector4 positions[4] = {{-1, -1, z, 1}, {-1, 1, z, 1}, {1, 1, z, 1}, {1, -1, z, 1}};
		const math::Vector4 uvs[4] = {{0, 0, 0, 0}, {0, 1, 0, 0}, {1, 1, 0, 0}, {1, 0, 0, 0}};
		const int indices[6] = {0, 1, 2, 0, 2, 3};
		gr::ContextObjectLock lock(quad, gr::ContextObject::LOCK_WRITE);
		quad->setPositions(0, positions, 4);
		quad->setTexCoords(0, 0, uvs, 4);
		quad->setIndices(0, indices, 6);
		return quad;
	}

	// Draws primitive with every pass of shader; returns the pass count.
	int draw(gr::Shader* shader, gr::Primitive* primitive) { return test::drawPasses(shader, primitive); }

	// Clears the window, draws a quad with shader and returns the centre pixel.
	std::vector<uint8_t> drawQuadCentre(gr::Shader* shader, uint32_t clearColour = 0xFF000000) {
		context->clear(clearColour);
		lang::Ptr<gr::Primitive> quad = makeQuad();
		draw(shader, quad);
		return test::GLTestContext::pixel(W / 2, H / 2);
	}

	// A light far above, so that the fallback effect draws its texture at full brightness.
	static void lightFromAbove(gr::Shader* shader) { shader->setVector("LIGHTP0", math::Vector4(0, 1e6f, 0, 1)); }
};

// Colour comparison with a tolerance of a few steps (filtering, rounding).
using test::colourNear;

#endif
