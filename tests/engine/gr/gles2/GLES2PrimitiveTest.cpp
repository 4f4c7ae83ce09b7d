#include "GLES2Fixture.h"
#include "support/GLCallRecorder.h"

#include <gr/gles2/GLES2_Primitive.h>

#include <cstring>

namespace {

using gr::GLES2_Primitive;
using gr::VertexFormat;

class PrimitiveTest : public GLES2Test {
protected:
	lang::Ptr<gr::Shader> colourShader(const std::string& name = "vcolour",
									   const std::string& states = "enableculling = false;",
									   const std::string& header = "") {
		tree.write("vcolour.vsh", test::EffectTreeWriter::VERTEX_COLOR_VERTEX);
		tree.write("vcolour.fsh", test::EffectTreeWriter::VERTEX_COLOR_FRAGMENT);
		tree.writeEffect(name + ".fx", "vcolour.vsh", "vcolour.fsh", states, header);
		lang::Ptr<gr::Shader> shader = context->createShader(name.c_str(), 0);
		EXPECT_FALSE(static_cast<gr::GLES2_Shader*>(shader.ptr())->effect()->isFallback);
		return shader;
	}

	// Two full-window quads as one indexed triangle list: the first at depth
	// zNear in colour a, the second at zFar in colour b (V4_32, 0..1 RGBA).
	lang::Ptr<gr::Primitive> twoQuads(float zNear, const math::Vector4& a, float zFar, const math::Vector4& b) {
		VertexFormat format;
		format.addPosition(VertexFormat::V3_32).addDiffuse(VertexFormat::V4_32);
		lang::Ptr<gr::Primitive> p = context->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, 8, 12, 2);
		gr::ContextObjectLock lock(p, gr::ContextObject::LOCK_WRITE);
		const float zs[2] = {zNear, zFar};
		for (int q = 0; q < 2; ++q) {
			const float z = zs[q];
			const math::Vector4 pos[4] = {{-1, -1, z, 1}, {-1, 1, z, 1}, {1, 1, z, 1}, {1, -1, z, 1}};
			const math::Vector4 col[4] = {q ? b : a, q ? b : a, q ? b : a, q ? b : a};
			p->setPositions(q * 4, pos, 4);
			p->setDiffuse(q * 4, col, 4);
			const int idx[6] = {q * 4, q * 4 + 1, q * 4 + 2, q * 4, q * 4 + 2, q * 4 + 3};
			p->setIndices(q * 6, idx, 6);
		}
		return p;
	}
};

TEST_F(PrimitiveTest, WhiteLineDrawsWhite) {
	lang::Ptr<gr::Shader> shader = colourShader();
	// As the lines visual writes them: (b, g, r, a) x 255 into V4_8.
	VertexFormat format;
	format.addPosition(VertexFormat::V3_32).addDiffuse(VertexFormat::V4_8);
	lang::Ptr<gr::Primitive> line = context->createPrimitive(gr::PRIMITIVE_LINELIST, format, 2, 0);
	{
		gr::ContextObjectLock lock(line, gr::ContextObject::LOCK_WRITE);
		const math::Vector4 pos[2] = {{-1, 0.5f / H, 0, 1}, {1, 0.5f / H, 0, 1}};
		const math::Vector4 white(255, 255, 255, 255);
		const math::Vector4 col[2] = {white, white};
		line->setPositions(0, pos, 2);
		line->setDiffuse(0, col, 2);
	}
	context->clear(0xFF000000);
	draw(shader, line);
	const std::vector<uint8_t> rows = test::GLTestContext::pixels(W / 2, H / 2 - 1, 1, 3);
	int brightest = 0;
	for (int i = 1; i < 3; ++i)
		if (rows[i * 4] + rows[i * 4 + 1] > rows[brightest * 4] + rows[brightest * 4 + 1])
			brightest = i;
	EXPECT_TRUE(colourNear(std::vector<uint8_t>(rows.begin() + brightest * 4, rows.begin() + brightest * 4 + 4), 255,
						   255, 255, 255, 0));
}

TEST_F(PrimitiveTest, ColourWordsArriveAsRgba) {
	// As particles write them: one 0xAARRGGBB word per vertex.
	lang::Ptr<gr::Shader> shader = colourShader();
	VertexFormat format;
	format.addPosition(VertexFormat::V3_32).addDiffuse(VertexFormat::V4_8);
	lang::Ptr<gr::Primitive> quad = context->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, 6, 0);
	{
		gr::ContextObjectLock lock(quad, gr::ContextObject::LOCK_WRITE);
		const math::Vector4 pos[6] = {{-1, -1, 0, 1}, {-1, 1, 0, 1}, {1, 1, 0, 1},
									  {-1, -1, 0, 1}, {1, 1, 0, 1},	 {1, -1, 0, 1}};
		quad->setPositions(0, pos, 6);
		void* data = nullptr;
		int pitch = 0;
		quad->getVertexDataPointer(VertexFormat::DT_DIFFUSE, &data, &pitch);
		for (int v = 0; v < 6; ++v) {
			const uint32_t word = 0xFFFF8000; // orange, opaque
			std::memcpy(static_cast<uint8_t*>(data) + v * pitch, &word, 4);
		}
	}
	context->clear(0xFF000000);
	draw(shader, quad);
	EXPECT_TRUE(colourNear(test::GLTestContext::pixel(W / 2, H / 2), 255, 128, 0, 255, 1));
}

TEST_F(PrimitiveTest, OnlyAWriteLockUploadsAgain) {
	lang::Ptr<gr::Shader> shader = colourShader();
	lang::Ptr<gr::Primitive> p = twoQuads(0, {1, 0, 0, 1}, 0.5f, {0, 1, 0, 1});
	draw(shader, p);
	test::GLCallRecorder recorder;
	draw(shader, p);
	EXPECT_EQ(recorder.count("BufferData"), 0);
	{
		gr::ContextObjectLock lock(p, gr::ContextObject::LOCK_READ);
		math::Vector4 out;
		p->getPositions(0, &out, 1);
	}
	draw(shader, p);
	EXPECT_EQ(recorder.count("BufferData"), 0);
	{
		gr::ContextObjectLock lock(p, gr::ContextObject::LOCK_WRITE);
		void* data = nullptr;
		int pitch = 0;
		p->getVertexDataPointer(VertexFormat::DT_DIFFUSE, &data, &pitch);
		std::memset(data, 0, size_t(pitch) * 8);
	}
	EXPECT_TRUE(static_cast<GLES2_Primitive*>(p.ptr())->isDirty());
	context->clear(0xFF0000FF);
	draw(shader, p);
	EXPECT_EQ(recorder.count("BufferData"), 3);							// positions, colours, indices
	EXPECT_TRUE(colourNear(test::GLTestContext::pixel(1, 1), 0, 0, 0)); // the zeroed colours, over the blue clear
}

TEST_F(PrimitiveTest, DrawRangesAreClippedToTheBuffers) {
	lang::Ptr<gr::Shader> shader = colourShader();
	VertexFormat format;
	format.addPosition(VertexFormat::V3_32);
	lang::Ptr<gr::Primitive> arrays = context->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, 6, 0);
	arrays->setVertexRangeBegin(-3);
	arrays->setVertexRangeEnd(1000);
	lang::Ptr<gr::Primitive> indexed = twoQuads(0, {1, 0, 0, 1}, 0.5f, {0, 1, 0, 1});
	indexed->setIndexRangeBegin(6);
	indexed->setIndexRangeEnd(60000);

	test::GLCallRecorder recorder;
	draw(shader, arrays);
	draw(shader, indexed);
	EXPECT_EQ(recorder.calls("DrawArrays")[0].args, (std::vector<double>{GL_TRIANGLES, 0, 6}));
	EXPECT_EQ(recorder.calls("DrawElements")[0].args, (std::vector<double>{GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, 12}));

	// Begin equal to end draws nothing.
	indexed->setIndexRangeBegin(4);
	indexed->setIndexRangeEnd(4);
	arrays->setVertexRangeBegin(3);
	arrays->setVertexRangeEnd(3);
	recorder.clear();
	draw(shader, indexed);
	draw(shader, arrays);
	EXPECT_EQ(recorder.count("DrawElements") + recorder.count("DrawArrays"), 0);
	EXPECT_EQ(test::GLTestContext::takeErrors(), 0u);
}

TEST_F(PrimitiveTest, IndexPastTheVerticesIsNotDrawn) {
	lang::Ptr<gr::Shader> shader = colourShader();
	lang::Ptr<gr::Primitive> p = twoQuads(0, {1, 0, 0, 1}, 0.5f, {0, 1, 0, 1});
	const int bad = 500;
	p->setIndices(11, &bad, 1);
	test::GLCallRecorder recorder;
	testing::internal::CaptureStderr();
	draw(shader, p);
	draw(shader, p);
	EXPECT_EQ(testing::internal::GetCapturedStderr(),
			  "[gles2] a primitive's index 500 lies past its 8 vertices; not drawn\n");
	EXPECT_EQ(recorder.count("DrawElements"), 0);
}

TEST_F(PrimitiveTest, NothingIsDrawnOutsideAPass) {
	lang::Ptr<gr::Primitive> p = twoQuads(0, {1, 0, 0, 1}, 0.5f, {0, 1, 0, 1});
	test::GLCallRecorder recorder;
	p->render();
	EXPECT_TRUE(recorder.calls().empty());
}

TEST_F(PrimitiveTest, MissingComponentsGetConstantsAndOneMessage) {
	tree.write(
		"tangent.vsh",
		"attribute highp vec3 DT_POSITION;\n"
		"attribute mediump vec3 DT_TANGENT;\n"
		"attribute mediump vec2 DT_TEX0;\n"
		"attribute mediump vec2 DT_TEX1;\n"
		"varying lowp vec4 V_Color;\n"
		"void main() { gl_Position = vec4(DT_POSITION, 1.0); V_Color = vec4(DT_TANGENT, 1.0) + vec4(DT_TEX1 - DT_TEX0, 0.0, 0.0); }\n");
	tree.write("vcolour.fsh", test::EffectTreeWriter::VERTEX_COLOR_FRAGMENT);
	tree.writeEffect("tangent.fx", "tangent.vsh", "vcolour.fsh", "enableculling = false;");
	lang::Ptr<gr::Shader> shader = context->createShader("tangent", 0);
	lang::Ptr<gr::Primitive> a = makeQuad();
	lang::Ptr<gr::Primitive> b = makeQuad();
	test::GLCallRecorder recorder;
	testing::internal::CaptureStderr();
	context->clear(0xFF000000);
	draw(shader, a);
	draw(shader, b);
	EXPECT_EQ(
		testing::internal::GetCapturedStderr(),
		"[gles2] the shader uses DT_TANGENT but a primitive lacks it (format: (DT_POSITION=V3_32, DT_TEX0=V2_32))\n");
	// Tangent (1, 0, 0); DT_TEX1 fed by the DT_TEX0 buffer, so the difference is 0.
	EXPECT_TRUE(colourNear(test::GLTestContext::pixel(W / 2, H / 2), 255, 0, 0, 255, 1));
	// Every array enabled for the draw is disabled again.
	EXPECT_EQ(recorder.count("EnableVertexAttribArray"), recorder.count("DisableVertexAttribArray") - 2);
}

TEST(GLES2PrimitiveModes, DrawModeByType) {
	const GLenum modes[] = {GL_POINTS,		   GL_LINES,		GL_LINE_STRIP, GL_TRIANGLES,
							GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_POINTS,	   GL_TRIANGLES};
	for (int type = 0; type < 8; ++type)
		EXPECT_EQ(GLES2_Primitive::drawMode(type), modes[type]) << type;
}

TEST_F(PrimitiveTest, TransparentTrianglesAreSortedBackToFront) {
	const std::string blend =
		"enableculling = false; enableblending = true; blendfuncsrc = src_alpha; blendfuncdst = one_minus_src_alpha; enabledepthmask = false;";
	lang::Ptr<gr::Shader> sorted = colourShader("sorted", blend, "sort = backtofront;\n");
	lang::Ptr<gr::Shader> unsorted = colourShader("unsorted", blend);
	// The red quad is nearer the eye but listed first.
	const math::Vector4 red(1, 0, 0, 0.5f), blue(0, 0, 1, 0.5f);
	sorted->setVector(gr::Shader::PARAM_CAMERAP, math::Vector4(0, 0, -10, 1));

	lang::Ptr<gr::Primitive> p = twoQuads(-0.5f, red, 0.5f, blue);
	context->clear(0xFF000000);
	draw(unsorted, p);
	const std::vector<uint8_t> listed = test::GLTestContext::pixel(W / 2, H / 2);
	EXPECT_GT(listed[2], listed[0]); // blue drawn last dominates

	test::GLCallRecorder recorder;
	context->clear(0xFF000000);
	draw(sorted, p);
	const std::vector<uint8_t> backToFront = test::GLTestContext::pixel(W / 2, H / 2);
	EXPECT_GT(backToFront[0], backToFront[2]); // the near red quad drawn last
	EXPECT_EQ(recorder.count("BufferSubData"), 1);

	// Inside-out and outside-in orders are not applied per draw.
	sorted->setFlags(gr::Shader::SORT_INSIDEOUT);
	recorder.clear();
	draw(sorted, p);
	EXPECT_EQ(recorder.count("BufferSubData"), 0);
}

} // namespace
