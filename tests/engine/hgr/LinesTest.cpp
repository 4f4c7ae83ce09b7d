#include "FakeScene.h"

#include <gr/VertexFormat.h>

#include <gtest/gtest.h>

using hgr::Lines;
using hgr::Node;
using lang::Ptr;
using Strings = std::vector<std::string>;

namespace {

TEST(LinesTest, WithoutContextOrOnSoftwareRendererDisabled) {
	Ptr<test::FakeContext> sw = new test::FakeContext(640, 480, gr::Context::PLATFORM_SW);
	Ptr<Lines> nullContext = new Lines(nullptr, "lines-alpha");
	Ptr<Lines> software = new Lines(sw, "lines-alpha");
	for (Lines* l : {nullContext.ptr(), software.ptr()}) {
		SCOPED_TRACE(l == nullContext ? "without a context" : "on the software renderer");
		EXPECT_EQ(l->getClassId(), Node::NODE_LINES);
		EXPECT_FALSE(l->isEnabled());
		EXPECT_EQ(l->getShader(), nullptr);
		l->addLine(math::Vector3(), math::Vector3(1, 0, 0), math::Vector4(1, 1, 1, 1));
		l->render(sw, nullptr, 0); // returns at once
		lang::Array<gr::Shader*> shaders;
		l->getShaders(shaders);
		EXPECT_EQ(shaders.size(), 0);
	}
	EXPECT_EQ(sw->shadersCreated, 0);
	EXPECT_EQ(sw->primitivesCreated, 0);
}

TEST(LinesTest, ListsReserveClearAndBox) {
	Ptr<test::FakeContext> context = new test::FakeContext;
	Ptr<Lines> l = new Lines(context, "lines-alpha");
	EXPECT_TRUE(l->isEnabled());
	ASSERT_NE(l->getShader(), nullptr);
	EXPECT_EQ(l->getShader()->name().compareTo("lines-alpha"), 0);
	l->reserve(10, 2);
	EXPECT_EQ(l->getLineCount(), 0);
	EXPECT_EQ(l->getPathCount(), 0);
	EXPECT_EQ(l->getMaxLines(), 10);

	Lines::Line& line = l->addLine(math::Vector3(1, 2, 3), math::Vector3(4, 5, 6), math::Vector4(1, 0, 0, 1),
								   math::Vector4(0, 1, 0, 1));
	EXPECT_EQ(line.end.y, 5.f);
	EXPECT_EQ(line.endColor.y, 1.f);
	l->addPath(3, 4);
	EXPECT_EQ(l->getPath(0).b, 4);
	l->clear();
	EXPECT_EQ(l->getLineCount(), 0);
	EXPECT_EQ(l->getPathCount(), 0);
	EXPECT_EQ(l->getMaxLines(), 10);

	// Bounds: the empty object keeps the inverted box; the radius is never touched.
	l->computeBoundBox();
	EXPECT_EQ(l->getBoundBoxMin().x, 1e10f);
	EXPECT_EQ(l->getBoundBoxMax().x, -1e10f);
	math::Matrix3x4 t;
	t.setTranslation(math::Vector3(10, 0, 0));
	l->addBox(t, math::Vector3(-1, -2, -3), math::Vector3(1, 2, 3), math::Vector4(1, 1, 1, 1));
	EXPECT_EQ(l->getLineCount(), 12);
	// Every edge joins corners that differ along one axis only.
	for (int i = 0; i < 12; ++i) {
		const Lines::Line& e = l->getLine(i);
		const int same = (e.start.x == e.end.x) + (e.start.y == e.end.y) + (e.start.z == e.end.z);
		EXPECT_EQ(same, 2) << i;
	}
	l->computeBoundBox();
	EXPECT_EQ(l->getBoundBoxMin().x, 9.f);
	EXPECT_EQ(l->getBoundBoxMax().z, 3.f);
	EXPECT_EQ(l->getBoundRadius(), 1e10f);

	// A clone shares the shader and copies lines and maxLines.
	Ptr<Node> c = l->clone();
	Lines* copy = static_cast<Lines*>(c.ptr());
	EXPECT_EQ(copy->getShader(), l->getShader());
	EXPECT_EQ(copy->getLineCount(), 12);
	EXPECT_EQ(copy->getMaxLines(), 10);
}

TEST(LinesTest, DrawsOneLineListWithColoursInVertexOrder) {
	FakeScene s;
	Lines* l = new Lines(s.context, "lines-alpha");
	l->linkTo(s.root);
	l->reserve(10, 0);
	for (int i = 0; i < 12; ++i)
		l->addLine(math::Vector3(0, 0, float(i)), math::Vector3(1, 0, float(i)), math::Vector4(1, 0, 0, 1),
				   math::Vector4(0.5f, 1, 0, 0));
	l->computeBoundBox();
	s.render();

	EXPECT_EQ(l->getMaxLines(), 12);
	EXPECT_EQ(s.context->primitivesCreated, 1);
	test::FakePrimitive* p = s.context->lastPrimitive;
	ASSERT_NE(p, nullptr);
	EXPECT_EQ(p->getType(), gr::PRIMITIVE_LINELIST);
	EXPECT_EQ(p->getVertexCount(), 24);
	EXPECT_EQ(p->getVertexRangeBegin(), 0);
	EXPECT_EQ(p->getVertexRangeEnd(), 24);
	EXPECT_EQ(p->getVertexFormat().getDataFormat(gr::VertexFormat::DT_DIFFUSE), gr::VertexFormat::V4_8);
	EXPECT_EQ(p->getShader(), l->getShader());
	EXPECT_EQ(s.context->log.texts("lines-alpha."),
			  (Strings{"lines-alpha.begin", "lines-alpha.setMatrix TOTALTM", "lines-alpha.setMatrix WORLDTM",
					   "lines-alpha.setMatrix VIEWTM", "lines-alpha.beginPass 0", "lines-alpha.endPass",
					   "lines-alpha.end"}));

	// Colours are stored blue, green, red, alpha: red (1, 0, 0, 1) is 00 00 FF FF.
	void* data = nullptr;
	int pitch = 0;
	p->getVertexDataPointer(gr::VertexFormat::DT_DIFFUSE, &data, &pitch);
	const uint8_t* bytes = static_cast<const uint8_t*>(data);
	EXPECT_EQ((Strings{std::to_string(bytes[0]), std::to_string(bytes[1]), std::to_string(bytes[2]),
					   std::to_string(bytes[3])}),
			  (Strings{"0", "0", "255", "255"}));
	const uint8_t* end = bytes + pitch;
	EXPECT_EQ(end[1], 255);
	EXPECT_EQ(end[2], 127);
	EXPECT_EQ(end[3], 0);
	math::Vector4 pos[2];
	p->getPositions(22, pos, 2);
	EXPECT_EQ(pos[0].z, 11.f);
	EXPECT_EQ(pos[1].x, 1.f);
}

TEST(LinesTest, DrawingPrimitiveIsReusedUntilItIsTooSmall) {
	FakeScene s;
	Lines* l = new Lines(s.context, "lines-alpha");
	l->linkTo(s.root);
	l->addLine(math::Vector3(), math::Vector3(0, 0, 1), math::Vector4(1, 1, 1, 1));
	l->addLine(math::Vector3(), math::Vector3(0, 1, 1), math::Vector4(1, 1, 1, 1));
	s.render();
	s.render();
	EXPECT_EQ(s.context->primitivesCreated, 1);
	l->clear();
	l->addLine(math::Vector3(), math::Vector3(0, 0, 1), math::Vector4(1, 1, 1, 1));
	s.render();
	EXPECT_EQ(s.context->primitivesCreated, 1);
	EXPECT_EQ(s.context->lastPrimitive->getVertexRangeEnd(), 2);
	for (int i = 0; i < 3; ++i)
		l->addLine(math::Vector3(), math::Vector3(1, 0, 1), math::Vector4(1, 1, 1, 1));
	s.render();
	EXPECT_EQ(s.context->primitivesCreated, 2);
	EXPECT_EQ(s.context->lastPrimitive->getVertexCount(), 8);
	// Never culled, and a priority other than its shader's draws nothing.
	l->setPosition(math::Vector3(0, 0, -5000));
	s.context->log.clear();
	s.render();
	EXPECT_EQ(s.context->log.containing("beginPass").size(), 1u);
	l->render(s.context, s.camera, 3);
	EXPECT_EQ(s.context->log.containing("beginPass").size(), 1u);
}

} // namespace
