#ifndef TESTS_ENGINE_GR_TESTPRIMITIVE_H
#define TESTS_ENGINE_GR_TESTPRIMITIVE_H

#include <gr/DIPrimitive.h>
#include <gr/Shader.h>
#include <lang/Ptr.h>

// The smallest backend over DIPrimitive: no drawing.
class TestPrimitive : public gr::DIPrimitive {
public:
	int setVertexDataCalls = 0;

	TestPrimitive(const gr::VertexFormat& format, int vertexCount, int indexCount) {
		reset(format, vertexCount, indexCount);
	}

	TestPrimitive() {}

	void setShader(gr::Shader* shader) override { m_shader = shader; }
	gr::Shader* getShader() const override { return m_shader; }
	gr::PrimitiveType getType() const override { return gr::PRIMITIVE_TRIANGLELIST; }
	void render() override {}

	void setVertexData(int dataType, int first, const void* data, int dataFormat, int count) override {
		++setVertexDataCalls;
		gr::DIPrimitive::setVertexData(dataType, first, data, dataFormat, count);
	}

private:
	lang::Ptr<gr::Shader> m_shader;
};

#endif
