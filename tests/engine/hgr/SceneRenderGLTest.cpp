#include "support/EffectTreeWriter.h"
#include "support/GLTestContext.h"
#include "support/PixelMatch.h"
#include "support/TextureFileWriter.h"

#include <gr/Texture.h>
#include <gr/gles2/GLES2_Context.h>
#include <hgr/Camera.h>
#include <hgr/Light.h>
#include <hgr/Lines.h>
#include <hgr/Mesh.h>

#include <gtest/gtest.h>

#include <cstdlib>

using lang::Ptr;
using test::colourNear;

namespace {

// A camera at the origin looking along +z, a light, a textured quad on the
// left of the view and a block of white lines on the right, drawn by the
// camera's render pass into the 64 x 64 test window.
TEST(SceneRenderGLTest, CameraDrawsTexturedMeshAndWhiteLines) {
	REQUIRE_GL_CONTEXT();
	test::GLTestContext::takeErrors();
	const int W = test::GLTestContext::WIDTH, H = test::GLTestContext::HEIGHT;

	test::EffectTreeWriter tree;
	tree.writeTexturedEffect("textured.fx", "\t\tenableculling = false;\n");
	tree.write("color.vsh", test::EffectTreeWriter::VERTEX_COLOR_VERTEX);
	tree.write("color.fsh", test::EffectTreeWriter::VERTEX_COLOR_FRAGMENT);
	tree.writeEffect("lines.fx", "color.vsh", "color.fsh", "\t\tenableculling = false;\n");
	ASSERT_TRUE(test::writePng(tree.path("orange.png"), test::TextureImage::solid(4, 4, 255, 128, 0)));

	Ptr<gr::GLES2_Context> context = new gr::GLES2_Context(W, H, nullptr, nullptr);
	context->shaderDirectory = tree.dir();
	context->textureDirectory = tree.dir();
	context->setRenderTarget(nullptr);
	{
		Ptr<hgr::Node> root = new hgr::Node;
		hgr::Camera* camera = new hgr::Camera;
		camera->linkTo(root);
		camera->setBack(100.f);
		hgr::Light* light = new hgr::Light;
		light->setPosition(math::Vector3(0, 5, 5));
		light->linkTo(root);

		// Quad x -7..-1, y -3..3 at depth 10.
		Ptr<gr::Shader> textured = context->createShader("textured", 0);
		Ptr<gr::Texture> texture = context->loadTexture("orange.png");
		textured->setTexture("BASEMAP", texture);
		gr::VertexFormat format;
		format.addPosition(gr::VertexFormat::V3_32).addTextureCoordinate(gr::VertexFormat::V2_32);
		Ptr<gr::Primitive> quad = context->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, 4, 6);
		{
			const math::Vector4 positions[4] = {{-3, -3, 0, 1}, {-3, 3, 0, 1}, {3, 3, 0, 1}, {3, -3, 0, 1}};
			const math::Vector4 uvs[4] = {{0, 0, 0, 0}, {0, 1, 0, 0}, {1, 1, 0, 0}, {1, 0, 0, 0}};
			const int indices[6] = {0, 1, 2, 0, 2, 3};
			gr::ContextObjectLock lock(quad, gr::ContextObject::LOCK_WRITE);
			quad->setPositions(0, positions, 4);
			quad->setTexCoords(0, 0, uvs, 4);
			quad->setIndices(0, indices, 6);
			quad->setBounds(math::Vector3(-3, -3, 0), math::Vector3(3, 3, 0), 4.3f);
		}
		quad->setShader(textured);
		hgr::Mesh* mesh = new hgr::Mesh;
		mesh->addPrimitive(quad);
		mesh->computeBoundBox();
		mesh->setPosition(math::Vector3(-4, 0, 10));
		mesh->linkTo(root);

		// White horizontal segments x 2..6, 0.1 apart from y -2 to 2: a solid block.
		hgr::Lines* lines = new hgr::Lines(context, "lines");
		for (int i = 0; i <= 40; ++i) {
			const float y = -2.f + 0.1f * float(i);
			lines->addLine(math::Vector3(2, y, 10), math::Vector3(6, y, 10), math::Vector4(1, 1, 1, 1));
		}
		// And a red block above it: the colour channels keep their places.
		for (int i = 0; i <= 8; ++i) {
			const float y = 2.6f + 0.1f * float(i);
			lines->addLine(math::Vector3(2, y, 10), math::Vector3(6, y, 10), math::Vector4(1, 0, 0, 1));
		}
		lines->computeBoundBox();
		lines->linkTo(root);

		context->clear(0xFF000000);
		camera->render(context);

		// c = 1 / tan(hfov / 2) = 4/3 at aspect 1: x = 10 * 0.75 * ndc, the same for y.
		const auto px = [&](float x) { return int((x / 7.5f * 0.5f + 0.5f) * float(W)); };
		EXPECT_TRUE(colourNear(test::GLTestContext::pixel(px(-4), H / 2), 255, 128, 0));
		EXPECT_TRUE(colourNear(test::GLTestContext::pixel(px(4), H / 2), 255, 255, 255));
		EXPECT_TRUE(colourNear(test::GLTestContext::pixel(px(4), H / 2 + 4), 255, 255, 255));
		EXPECT_TRUE(colourNear(test::GLTestContext::pixel(px(4), px(3)), 255, 0, 0));
		EXPECT_TRUE(colourNear(test::GLTestContext::pixel(W / 2, H / 2), 0, 0, 0));
		EXPECT_TRUE(colourNear(test::GLTestContext::pixel(px(-4), H - 4), 0, 0, 0));
		EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
	}
	context = nullptr;
}

} // namespace
