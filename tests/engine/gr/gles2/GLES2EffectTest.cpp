#include "GLES2Fixture.h"
#include "support/GLCallRecorder.h"

#include <gr/gles2/GLES2_Effect.h>

namespace {

using gr::GLES2_Context;
using gr::GLES2_Shader;

GLES2_Shader* gles2(gr::Shader* shader) {
	return static_cast<GLES2_Shader*>(shader);
}

TEST_F(GLES2Test, BrokenEffectFallsBackOnceWithItsMessages) {
	tree.write("broken.fsh", test::EffectTreeWriter::BROKEN_STAGE);
	tree.write("textured.vsh", test::EffectTreeWriter::TEXTURED_VERTEX);
	const std::string path = tree.writeEffect("broken.fx", "textured.vsh", "broken.fsh");
	writeSolidPng("green.png", 0, 255, 0);

	testing::internal::CaptureStderr();
	lang::Ptr<gr::Shader> first = context->createShader("broken", 0);
	lang::Ptr<gr::Shader> second = context->createShader("broken.fx", 0);
	const std::string err = testing::internal::GetCapturedStderr();

	EXPECT_EQ(err.find("[gles2] error compilando broken.fx/Default/P0 (pixel):\n"), 0u) << err;
	const std::string failed = "[gles2] effect '" + path + "' failed; using fallback shader\n";
	ASSERT_NE(err.find(failed), std::string::npos) << err;
	EXPECT_EQ(err.find(failed) + failed.size(), err.size()) << "printed more than once: " << err;
	EXPECT_EQ(err.find("(vertex)"), std::string::npos);

	EXPECT_EQ(context->loadCounters[GLES2_Context::EFFECTS_FALLEN_BACK], 1);
	EXPECT_EQ(context->loadCounters[GLES2_Context::EFFECTS_LOADED], 0);
	EXPECT_TRUE(gles2(first)->effect()->isFallback);
	EXPECT_EQ(gles2(first)->effect(), gles2(second)->effect());
	EXPECT_EQ(gles2(first)->effectFileName(), "(fallback)");

	// The fallback draws the material's base texture.
	lang::Ptr<gr::Texture> texture = context->loadTexture("green.png");
	first->setTexture("BASEMAP", texture);
	lightFromAbove(first);
	EXPECT_TRUE(colourNear(drawQuadCentre(first), 0, 255, 0));
}

TEST_F(GLES2Test, BothStagesAreCompiledAndReported) {
	tree.write("broken.sh", test::EffectTreeWriter::BROKEN_STAGE);
	tree.writeEffect("twice.fx", "broken.sh", "broken.sh");
	testing::internal::CaptureStderr();
	lang::Ptr<gr::Shader> shader = context->createShader("twice", 0);
	const std::string err = testing::internal::GetCapturedStderr();
	EXPECT_NE(err.find("[gles2] error compilando twice.fx/Default/P0 (vertex):\n"), std::string::npos) << err;
	EXPECT_NE(err.find("[gles2] error compilando twice.fx/Default/P0 (pixel):\n"), std::string::npos) << err;
	EXPECT_EQ(err.find("enlazando"), std::string::npos);
}

TEST_F(GLES2Test, LinkFailureIsReportedWithoutStageLabel) {
	tree.write("textured.vsh", test::EffectTreeWriter::TEXTURED_VERTEX);
	// Reads a varying that the vertex stage never declares: compiles, does not link.
	tree.write("unlinked.fsh", "varying lowp vec4 V_Missing;\nvoid main() { gl_FragColor = V_Missing; }\n");
	const std::string path = tree.writeEffect("link.fx", "textured.vsh", "unlinked.fsh");
	testing::internal::CaptureStderr();
	lang::Ptr<gr::Shader> shader = context->createShader("link", 0);
	const std::string err = testing::internal::GetCapturedStderr();
	EXPECT_EQ(err.find("[gles2] error enlazando link.fx/Default/P0:\n"), 0u) << err;
	EXPECT_NE(err.find("[gles2] effect '" + path + "' failed; using fallback shader\n"), std::string::npos) << err;
	EXPECT_EQ(err.find("compilando"), std::string::npos) << err;
	EXPECT_TRUE(gles2(shader)->effect()->isFallback);
}

TEST_F(GLES2Test, UnparsableEffectReportsTheParserMessage) {
	const std::string path = tree.write("settings.fx", "priority = 3;\n");
	testing::internal::CaptureStderr();
	lang::Ptr<gr::Shader> shader = context->createShader("settings", 0);
	lang::Ptr<gr::Shader> again = context->createShader("settings", 0);
	EXPECT_EQ(testing::internal::GetCapturedStderr(),
			  "[gles2] effect '" + path + "': the effect defines no technique (using fallback shader)\n");
	EXPECT_EQ(context->loadCounters[GLES2_Context::EFFECTS_FALLEN_BACK], 1);
}

TEST_F(GLES2Test, MissingStageFileNamesThePassLabel) {
	const std::string path = tree.writeEffect("nostage.fx", "absent.vsh", "absent.fsh");
	testing::internal::CaptureStderr();
	lang::Ptr<gr::Shader> shader = context->createShader("nostage", 0);
	const std::string err = testing::internal::GetCapturedStderr();
	EXPECT_EQ(err.find("[gles2] nostage.fx/Default/P0: "), 0u) << err;
	EXPECT_NE(err.find("[gles2] effect '" + path + "' failed; using fallback shader\n"), std::string::npos) << err;
	EXPECT_TRUE(gles2(shader)->effect()->isFallback);
}

TEST_F(GLES2Test, MissingEffectIsReportedOnceAndCountedEveryTime) {
	testing::internal::CaptureStderr();
	for (int i = 0; i < 3; ++i)
		lang::Ptr<gr::Shader> shader = context->createShader("nowhere", 0);
	EXPECT_EQ(testing::internal::GetCapturedStderr(), "[gles2] effect 'nowhere' not found (using fallback shader)\n");
	EXPECT_EQ(context->loadCounters[GLES2_Context::EFFECTS_FALLEN_BACK], 3);
}

TEST_F(GLES2Test, SecondCreateShaderReadsAndCompilesNothing) {
	tree.writeTexturedEffect("cached.fx");
	lang::Ptr<gr::Shader> first = context->createShader("cached", 0);
	EXPECT_EQ(context->loadCounters[GLES2_Context::EFFECTS_LOADED], 1);

	test::GLCallRecorder recorder;
	lang::Ptr<gr::Shader> second = context->createShader("cached", 0);
	EXPECT_EQ(context->loadCounters[GLES2_Context::EFFECTS_LOADED], 1);
	EXPECT_EQ(recorder.count("CompileShader"), 0);
	EXPECT_EQ(recorder.count("LinkProgram"), 0);
	EXPECT_EQ(gles2(first)->effect(), gles2(second)->effect());
	EXPECT_NE(first.ptr(), second.ptr());

	// Another variant is another cache entry.
	lang::Ptr<gr::Shader> variant = context->createShader("cached", 1);
	EXPECT_EQ(context->loadCounters[GLES2_Context::EFFECTS_LOADED], 2);
	EXPECT_NE(gles2(first)->effect(), gles2(variant)->effect());
}

TEST_F(GLES2Test, EffectWithoutAnyPassFallsBack) {
	const std::string path = tree.write("empty.fx", "technique Default { }\ntechnique Reflected { }\n");
	testing::internal::CaptureStderr();
	lang::Ptr<gr::Shader> shader = context->createShader("empty", 0);
	EXPECT_EQ(testing::internal::GetCapturedStderr(),
			  "[gles2] effect '" + path + "': no technique has a pass (using fallback shader)\n");
	EXPECT_TRUE(gles2(shader)->effect()->isFallback);
	EXPECT_EQ(context->loadCounters[GLES2_Context::EFFECTS_LOADED], 0);
	EXPECT_EQ(context->loadCounters[GLES2_Context::EFFECTS_FALLEN_BACK], 1);
}

TEST_F(GLES2Test, ProgramsOfAFailedEffectAreDeleted) {
	tree.write("textured.vsh", test::EffectTreeWriter::TEXTURED_VERTEX);
	tree.write("textured.fsh", test::EffectTreeWriter::TEXTURED_FRAGMENT);
	tree.write("broken.fsh", test::EffectTreeWriter::BROKEN_STAGE);
	tree.write("twopass.fx",
			   "technique Default {\n"
			   "  pass Good { vertexshader = textured.vsh; pixelshader = textured.fsh; }\n"
			   "  pass Bad { vertexshader = textured.vsh; pixelshader = broken.fsh; }\n"
			   "}\n");
	context->createShader("anything-first", 0)->begin(); // the fallback is built outside the recording

	test::GLCallRecorder recorder;
	testing::internal::CaptureStderr();
	lang::Ptr<gr::Shader> shader = context->createShader("twopass", 0);
	const std::string err = testing::internal::GetCapturedStderr();
	EXPECT_NE(err.find("twopass.fx/Default/Bad (pixel)"), std::string::npos) << err;
	const auto created = recorder.calls("CreateProgram");
	ASSERT_EQ(created.size(), 1u);
	const auto deleted = recorder.calls("DeleteProgram");
	ASSERT_EQ(deleted.size(), 1u);
	EXPECT_EQ(deleted[0].args[0], created[0].result);
	EXPECT_TRUE(gles2(shader)->effect()->isFallback);
}

TEST_F(GLES2Test, FallbackEffectIsOneDefaultTechnique) {
	lang::Ptr<gr::Shader> a = context->createShader("missing-a", 0);
	lang::Ptr<gr::Shader> b = context->createShader("missing-b", 0);
	const gr::GLES2_Effect* effect = gles2(a)->effect();
	EXPECT_EQ(effect, gles2(b)->effect());
	EXPECT_EQ(effect->name, "(fallback)");
	ASSERT_EQ(gles2(a)->techniqueNames(), std::vector<std::string>{"Default"});
	EXPECT_EQ(effect->techniques[0].size(), 1u);
	EXPECT_EQ(a->getPriority(), 0);
	EXPECT_EQ(a->getFlags(), 0);
}

TEST(GLES2EffectSettings, SortAndPriorityValues) {
	const struct {
		const char* text;
		int mode;
	} sorts[] = {{"BackToFront", 1},
				 {"backtofront", 1},
				 {"FRONTTOBACK", 2},
				 {"insideout", 3},
				 {"OutsideIn", 4},
				 {"BACK_TO_FRONT", 0},
				 {"", 0}};
	for (const auto& s : sorts)
		EXPECT_EQ(gr::GLES2_Effect::parseSortMode(s.text), s.mode) << s.text;
	const struct {
		const char* text;
		int value;
	} priorities[] = {{"10", 10}, {"-2", -2}, {"abc", 0}, {"7 apples", 7}, {"+3", 3}};
	for (const auto& p : priorities)
		EXPECT_EQ(gr::GLES2_Effect::parsePriority(p.text), p.value) << p.text;
}

TEST_F(GLES2Test, EffectSettingsReachTheShader) {
	tree.write("textured.vsh", test::EffectTreeWriter::TEXTURED_VERTEX);
	tree.write("textured.fsh", test::EffectTreeWriter::TEXTURED_FRAGMENT);
	tree.writeEffect("water_still.fx", "textured.vsh", "textured.fsh", "", "priority = -2;\nsort = backtofront;\n",
					 "Reflected");
	lang::Ptr<gr::Shader> shader = context->createShader("water_still", 0);
	EXPECT_EQ(shader->getPriority(), -2);
	EXPECT_EQ(shader->getFlags(), 1);
	EXPECT_EQ(gles2(shader)->techniqueNames(), std::vector<std::string>{"Reflected"});
	EXPECT_EQ(gles2(shader)->effectFileName(), tree.path("water_still.fx"));
	EXPECT_TRUE(gles2(shader)->effect()->usesWaterTextures);
}

TEST_F(GLES2Test, ExtensionStageCompiles) {
	tree.write("textured.vsh", test::EffectTreeWriter::TEXTURED_VERTEX);
	tree.write("ext.fsh", test::EffectTreeWriter::EXTENSION_FRAGMENT);
	tree.writeEffect("ext.fx", "textured.vsh", "ext.fsh", "enableculling = false;\n");
	lang::Ptr<gr::Shader> shader = context->createShader("ext", 0);
	ASSERT_FALSE(gles2(shader)->effect()->isFallback);
	EXPECT_TRUE(colourNear(drawQuadCentre(shader), 255, 255, 255));
}

} // namespace
