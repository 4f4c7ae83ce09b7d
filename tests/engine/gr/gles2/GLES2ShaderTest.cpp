#include "GLES2Fixture.h"
#include "support/GLCallRecorder.h"

#include <memory>

namespace {

using gr::GLES2_Shader;

const char* const COLOR_VERTEX =
	"attribute highp vec3 DT_POSITION;\n"
	"uniform highp mat4 TOTALTM;\n"
	"void main() { gl_Position = TOTALTM * vec4(DT_POSITION, 1.0); }\n";

// Draws the named uniform of the effect's own choosing as a colour.
std::string uniformFragment(const std::string& declaration, const std::string& colour) {
	return declaration + "\nvoid main() { gl_FragColor = " + colour + "; }\n";
}

class ShaderTest : public GLES2Test {
protected:
	// An effect with one pass of the colour vertex stage and the given fragment stage.
	std::string colourEffect(const std::string& name, const std::string& fragment, const std::string& states = "",
							 const std::string& technique = "Default") {
		tree.write("colour.vsh", COLOR_VERTEX);
		tree.write(name + ".fsh", fragment);
		return tree.writeEffect(name + ".fx", "colour.vsh", name + ".fsh", states, "", technique);
	}

	// The calls one beginPass makes.
	test::GLCallRecorder* passCalls(gr::Shader* shader) {
		recorder.reset(); // one recorder at a time
		recorder.reset(new test::GLCallRecorder);
		EXPECT_EQ(shader->begin(), 1);
		shader->beginPass(0);
		shader->endPass();
		shader->end();
		return recorder.get();
	}

	void TearDown() override {
		recorder.reset();
		GLES2Test::TearDown();
	}

	std::unique_ptr<test::GLCallRecorder> recorder;
};

bool called(const test::GLCallRecorder* r, const std::string& name, const std::vector<double>& args) {
	for (const auto& call : r->calls(name))
		if (call.args == args)
			return true;
	return false;
}

TEST(GLES2ShaderValues, ParametersByNameAndId) {
	// Parameters need no GL: an instance over an effect that has none.
	lang::Ptr<gr::GLES2_Effect> effect = new gr::GLES2_Effect;
	effect->techniqueNames = {"Default", "Glow"};
	effect->techniques.resize(2);
	lang::Ptr<GLES2_Shader> shader = new GLES2_Shader(nullptr, effect);

	shader->setFloat("X", 2.f);
	const math::Vector4 v = shader->getVector("X");
	EXPECT_EQ(v.x, 2.f);
	EXPECT_EQ(v.w, 2.f);
	EXPECT_EQ(shader->getFloat("X"), 2.f);
	EXPECT_EQ(shader->getTexture("X"), nullptr);
	EXPECT_EQ(shader->getMatrix("never").m[1][1], 1.f);
	EXPECT_EQ(shader->getMatrix("never").m[0][1], 0.f);
	EXPECT_EQ(shader->getFloat("never"), 0.f);

	math::Matrix4x4 m;
	m.m[0][3] = 5.f;
	shader->setMatrix(gr::Shader::PARAM_WORLDTM, m);
	EXPECT_EQ(shader->getMatrix("WORLDTM").m[0][3], 5.f);
	shader->setVector(gr::Shader::PARAM_LIGHTC7, math::Vector4(1, 2, 3, 4));
	EXPECT_EQ(shader->getVector("LIGHTC7").z, 3.f);
	EXPECT_STREQ(GLES2_Shader::parameterName(gr::Shader::PARAM_NONE), "");
	EXPECT_STREQ(GLES2_Shader::parameterName(gr::Shader::ParamType(25)), "");

	shader->setTechnique("Glow");
	EXPECT_EQ(shader->technique(), 1);
	shader->setTechnique("glow");
	EXPECT_EQ(shader->technique(), 1);

	shader->setName("Stone");
	shader->setFlags(2);
	lang::Ptr<gr::Shader> copy = shader->clone();
	shader->setFloat("X", 9.f);
	EXPECT_EQ(copy->getFloat("X"), 2.f);
	EXPECT_EQ(copy->getMatrix("WORLDTM").m[0][3], 5.f);
	EXPECT_EQ(copy->getFlags(), 2);
	EXPECT_STREQ(copy->name().c_str(), "Stone");
	EXPECT_EQ(static_cast<GLES2_Shader*>(copy.ptr())->technique(), 1);
	EXPECT_TRUE(copy->isValid());
}

TEST_F(ShaderTest, RenderStatesByTable) {
	struct Case {
		const char* what;
		const char* states;
		const char* material;
		std::vector<std::pair<std::string, std::vector<double>>> expected;
	};
	const Case cases[] = {
		{"defaults",
		 "",
		 "stone",
		 {{"Enable", {GL_CULL_FACE}},
		  {"CullFace", {GL_BACK}},
		  {"Disable", {GL_POLYGON_OFFSET_FILL}},
		  {"DepthMask", {GL_TRUE}},
		  {"DepthFunc", {GL_LESS}},
		  {"Disable", {GL_BLEND}},
		  {"FrontFace", {GL_CW}}}},
		{"skybox material never culls",
		 "enableculling = true; cullface = front;",
		 "Skybox_01",
		 {{"Disable", {GL_CULL_FACE}}}},
		{"culling off", "enableculling = False;", "stone", {{"Disable", {GL_CULL_FACE}}}},
		{"front and back", "cullface = front_and_back;", "stone", {{"CullFace", {GL_FRONT_AND_BACK}}}},
		{"no depth test keeps testing",
		 "enabledepthtest = false; enabledepthmask = true;",
		 "stone",
		 {{"Enable", {GL_DEPTH_TEST}},
		  {"Enable", {GL_POLYGON_OFFSET_FILL}},
		  {"PolygonOffset", {-4, -64}},
		  {"DepthMask", {GL_FALSE}}}},
		{"rail boost decal", "", "rail_boost", {{"Enable", {GL_POLYGON_OFFSET_FILL}}, {"PolygonOffset", {-1, -8}}}},
		{"boost glow decal", "", "boost_glow", {{"PolygonOffset", {-2, -16}}}},
		{"depth writes off",
		 "enabledepthmask = FALSE; depthfunc = lequal;",
		 "stone",
		 {{"DepthMask", {GL_FALSE}}, {"DepthFunc", {GL_LEQUAL}}}},
		{"blending without functions",
		 "enableblending = true;",
		 "stone",
		 {{"Enable", {GL_BLEND}}, {"BlendEquation", {GL_FUNC_ADD}}, {"BlendFunc", {GL_ONE, GL_ZERO}}}},
		{"alpha blending",
		 "enableblending = TRUE; blendfuncsrc = src_alpha; blendfuncdst = one_minus_src_alpha; blendequation = func_reverse_subtract;",
		 "stone",
		 {{"BlendEquation", {GL_FUNC_REVERSE_SUBTRACT}}, {"BlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}}}},
		{"unknown blend words take the defaults",
		 "enableblending = true; blendfuncsrc = bogus;",
		 "stone",
		 {{"BlendFunc", {GL_ONE, GL_ZERO}}}},
	};
	int n = 0;
	for (const Case& c : cases) {
		const std::string name = "states" + std::to_string(n++);
		colourEffect(name, uniformFragment("", "vec4(1.0)"), c.states);
		lang::Ptr<gr::Shader> shader = context->createShader(name.c_str(), 0);
		shader->setName(c.material);
		const test::GLCallRecorder* r = passCalls(shader);
		for (const auto& e : c.expected)
			EXPECT_TRUE(called(r, e.first, e.second)) << c.what << ": " << e.first;
		if (std::string(c.what) == "no depth test keeps testing") {
			EXPECT_FALSE(called(r, "DepthMask", {GL_TRUE})) << c.what;
		}
		if (std::string(c.what) == "defaults") {
			EXPECT_EQ(r->count("BlendFunc"), 0);
		}
	}
}

TEST_F(ShaderTest, MirroredFlagFlipsTheFrontFace) {
	colourEffect("plain", uniformFragment("", "vec4(1.0)"));
	lang::Ptr<gr::Shader> shader = context->createShader("plain", 0);
	context->mirrored = true;
	EXPECT_TRUE(called(passCalls(shader), "FrontFace", {GL_CCW}));
}

TEST_F(ShaderTest, UnsetUniformsGetEngineValues) {
	colourEffect("values",
				 uniformFragment(
					 "uniform mediump vec4 TIME;\nuniform mediump vec4 FOG_COLOR;\nuniform mediump vec4 TEXEL_OFFSET;\n"
					 "uniform mediump vec4 AMBIENTC;\nuniform mediump float GLOSSINESS;\nuniform mediump vec4 OTHER;",
					 "TIME + FOG_COLOR + TEXEL_OFFSET + AMBIENTC + vec4(GLOSSINESS) + OTHER"));
	lang::Ptr<gr::Shader> shader = context->createShader("values", 0);
	context->time = 2.5f;
	const test::GLCallRecorder* r = passCalls(shader);
	EXPECT_EQ(r->count("Uniform4fv"), 5);
	EXPECT_EQ(r->count("Uniform1fv"), 1);
	EXPECT_EQ(r->calls("UniformMatrix4fv").size(), 1u); // TOTALTM, unset: identity
	const GLint program = GLint(r->calls("UseProgram")[0].args[0]);
	GLfloat value[16];
	glGetUniformfv(program, glGetUniformLocation(program, "TIME"), value);
	EXPECT_EQ(value[0], 2.5f);
	EXPECT_EQ(value[3], 2.5f);
	glGetUniformfv(program, glGetUniformLocation(program, "TEXEL_OFFSET"), value);
	EXPECT_EQ(value[0], 1.f / W);
	EXPECT_EQ(value[2], 0.f);
	glGetUniformfv(program, glGetUniformLocation(program, "AMBIENTC"), value);
	EXPECT_FLOAT_EQ(value[0], 0.35f);
	EXPECT_EQ(value[3], 1.f);
	glGetUniformfv(program, glGetUniformLocation(program, "GLOSSINESS"), value);
	EXPECT_EQ(value[0], 16.f);
	glGetUniformfv(program, glGetUniformLocation(program, "TOTALTM"), value);
	EXPECT_EQ(value[0], 1.f);
	EXPECT_EQ(value[1], 0.f);
}

TEST_F(ShaderTest, MatrixArraysAreCutToTheUniformSize) {
	tree.write("bones.vsh",
			   "attribute highp vec3 DT_POSITION;\n"
			   "attribute highp vec4 DT_BONEINDICES;\n"
			   "uniform highp mat4 BONEWORLDTM[30];\n"
			   "void main() { gl_Position = BONEWORLDTM[int(DT_BONEINDICES.x)] * vec4(DT_POSITION, 1.0); }\n");
	tree.write("white.fsh", uniformFragment("", "vec4(1.0)"));
	tree.writeEffect("bones.fx", "bones.vsh", "white.fsh");
	lang::Ptr<gr::Shader> shader = context->createShader("bones", 0);
	ASSERT_FALSE(static_cast<GLES2_Shader*>(shader.ptr())->effect()->isFallback);
	const math::Matrix4x4 m;
	std::vector<const math::Matrix4x4*> matrices(40, &m);
	for (int count : {40, 10}) {
		SCOPED_TRACE(count);
		shader->setMatrixArray(gr::Shader::PARAM_BONEWORLDTM, matrices.data(), count);
		const auto calls = passCalls(shader)->calls("UniformMatrix4fv");
		ASSERT_EQ(calls.size(), 1u);
		EXPECT_EQ(calls[0].args[1], count == 40 ? 30 : 10);
	}
	shader->setMatrixArray(gr::Shader::PARAM_BONEWORLDTM, matrices.data(), 0);
	EXPECT_EQ(passCalls(shader)->count("UniformMatrix4fv"), 0);
}

TEST_F(ShaderTest, SamplerWithoutTextureWarnsOnceAndGetsItsDefault) {
	colourEffect(
		"maps",
		uniformFragment(
			"uniform lowp sampler2D DETAILMAP;\nuniform lowp sampler2D REFLMAP;\nuniform lowp sampler2D NORMALMAP;",
			"texture2D(DETAILMAP, vec2(0.5)) * 0.5 + texture2D(REFLMAP, vec2(0.5)) * 0.25 + texture2D(NORMALMAP, vec2(0.5)) * 0.25"),
		"enableculling = false;");
	lang::Ptr<gr::Shader> shader = context->createShader("maps", 0);
	shader->setName("Rock");
	lang::Ptr<gr::Texture> texture = context->createTexture(4, 4, gr::SurfaceFormat::A8R8G8B8, 0, 0);
	shader->setTexture("BASEMAP", texture);
	testing::internal::CaptureStderr();
	const std::vector<uint8_t> first = drawQuadCentre(shader);
	drawQuadCentre(shader);
	const std::string err = testing::internal::GetCapturedStderr();
	EXPECT_EQ(err,
			  "[gles2] sampler 'DETAILMAP' has no texture in 'maps.fx' (material 'Rock' provides: BASEMAP)\n"
			  "[gles2] sampler 'NORMALMAP' has no texture in 'maps.fx' (material 'Rock' provides: BASEMAP)\n");
	// White detail, black reflection, flat normal (128, 128, 255).
	EXPECT_TRUE(colourNear(first, 128 + 32, 128 + 32, 128 + 64, -1, 3));
}

TEST_F(ShaderTest, WaterEffectsTakeTheContextsWaterTextures) {
	const std::string fragment = uniformFragment("uniform lowp sampler2D REFLMAP;", "texture2D(REFLMAP, vec2(0.5))");
	colourEffect("water_lake", fragment, "enableculling = false;");
	colourEffect("pond", fragment, "enableculling = false;");
	writeSolidPng("blue.png", 0, 0, 255);
	context->reflectionMap = context->loadTexture("blue.png");
	lang::Ptr<gr::Shader> water = context->createShader("water_lake", 0);
	lang::Ptr<gr::Shader> other = context->createShader("pond", 0);
	EXPECT_TRUE(colourNear(drawQuadCentre(water), 0, 0, 255));
	EXPECT_TRUE(colourNear(drawQuadCentre(other), 0, 0, 0));
}

TEST_F(ShaderTest, ReflectedOverrideChoosesWhatIsDrawn) {
	tree.write("colour.vsh", COLOR_VERTEX);
	tree.write("red.fsh", uniformFragment("", "vec4(1.0, 0.0, 0.0, 1.0)"));
	tree.write("green.fsh", uniformFragment("", "vec4(0.0, 1.0, 0.0, 1.0)"));
	tree.write(
		"both.fx",
		"technique Default { pass P0 { vertexshader = colour.vsh; pixelshader = red.fsh; enableculling = false; } }\n"
		"technique Reflected { pass P0 { vertexshader = colour.vsh; pixelshader = green.fsh; enableculling = false; } }\n");
	tree.writeEffect("plain.fx", "colour.vsh", "red.fsh", "enableculling = false;");
	writeSolidPng("white.png", 255, 255, 255);

	lang::Ptr<gr::Shader> both = context->createShader("both", 0);
	lang::Ptr<gr::Shader> plain = context->createShader("plain", 0);
	lang::Ptr<gr::Shader> fallback = context->createShader("absent", 0);
	lang::Ptr<gr::Texture> white = context->loadTexture("white.png");
	fallback->setTexture("BASEMAP", white);
	lightFromAbove(fallback);

	EXPECT_TRUE(colourNear(drawQuadCentre(both), 255, 0, 0));
	context->techniqueOverride = "Reflected";
	EXPECT_TRUE(colourNear(drawQuadCentre(both), 0, 255, 0));
	EXPECT_EQ(plain->begin(), 0);
	EXPECT_EQ(static_cast<GLES2_Shader*>(plain.ptr())->activeTechnique(), -1);
	EXPECT_TRUE(colourNear(drawQuadCentre(plain, 0xFF0000FF), 0, 0, 255));
	EXPECT_EQ(fallback->begin(), 1);
	EXPECT_TRUE(colourNear(drawQuadCentre(fallback), 255, 255, 255));
	context->techniqueOverride.clear();
	EXPECT_TRUE(colourNear(drawQuadCentre(plain), 255, 0, 0));
}

TEST_F(ShaderTest, MirroredRenderCullsTheOtherSide) {
	// The fallback culls back faces; the quad is wound clockwise (front-facing).
	writeSolidPng("white.png", 255, 255, 255);
	lang::Ptr<gr::Shader> shader = context->createShader("absent", 0);
	lang::Ptr<gr::Texture> white = context->loadTexture("white.png");
	shader->setTexture("BASEMAP", white);
	lightFromAbove(shader);
	EXPECT_TRUE(colourNear(drawQuadCentre(shader), 255, 255, 255));
	context->mirrored = true;
	EXPECT_TRUE(colourNear(drawQuadCentre(shader), 0, 0, 0));
}

} // namespace
