#include "GLES2Fixture.h"

namespace {

TEST_F(GLES2Test, EffectFileDrawsTexturedQuad) {
	tree.writeTexturedEffect("textured.fx", "enableculling = false;\n");
	writeSolidPng("orange.png", 255, 128, 0);
	lang::Ptr<gr::Shader> shader = context->createShader("textured", 0);
	lang::Ptr<gr::Texture> texture = context->loadTexture("orange.png");
	shader->setTexture("BASEMAP", texture);
	EXPECT_TRUE(colourNear(drawQuadCentre(shader), 255, 128, 0));
	EXPECT_EQ(context->loadCounters[gr::GLES2_Context::EFFECTS_LOADED], 1);
	EXPECT_EQ(context->loadCounters[gr::GLES2_Context::TEXTURES_LOADED], 1);
	EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
}

} // namespace
