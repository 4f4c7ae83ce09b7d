#include <gr/Context.h>
#include <gr/ContextObject.h>
#include <gr/Rect.h>
#include <gr/Shader.h>
#include <gr/Texture.h>
#include <gtest/gtest.h>
#include <string>
#include <ostream>
#include <vector>

namespace gr {

// Failure messages show a rectangle by its corners.
void PrintTo(const Rect& r, std::ostream* os) {
	*os << "(" << r.x0 << ", " << r.y0 << ")-(" << r.x1 << ", " << r.y1 << ")";
}

} // namespace gr

namespace {

TEST(ShaderParams, NamesAndParsing) {
	const char* names[25] = {"NONE",	"CAMERAP",	   "WORLDTM", "VIEWTM",	 "VIEWTMINV", "VIEWPROJTM", "PROJTM",
							 "TOTALTM", "BONEWORLDTM", "LIGHTP0", "LIGHTP1", "LIGHTP2",	  "LIGHTP3",	"LIGHTP4",
							 "LIGHTP5", "LIGHTP6",	   "LIGHTP7", "LIGHTC0", "LIGHTC1",	  "LIGHTC2",	"LIGHTC3",
							 "LIGHTC4", "LIGHTC5",	   "LIGHTC6", "LIGHTC7"};
	EXPECT_EQ(25, int(gr::Shader::PARAM_COUNT));
	for (int id = 0; id < 25; ++id) {
		EXPECT_STREQ(names[id], gr::Shader::getParamName(gr::Shader::ParamType(id)));
		EXPECT_EQ(id, gr::Shader::parseParamType(lang::String(names[id])));
	}
	EXPECT_EQ(24, gr::Shader::parseParamType("LIGHTC7"));
	EXPECT_EQ(0, gr::Shader::parseParamType("lightc7"));
	EXPECT_EQ(0, gr::Shader::parseParamType("NONE"));
	EXPECT_EQ(0, gr::Shader::parseParamType(lang::String()));
	EXPECT_EQ(gr::Shader::PARAM_CAMERAP, gr::Shader::parseParamType("CAMERAP"));
}

TEST(Rect, IntersectionAndUnion) {
	const gr::Rect a = gr::Rect().set(0, 0, 10, 10);
	const gr::Rect b = gr::Rect().set(5, 5, 20, 20);
	EXPECT_EQ(gr::Rect().set(5, 5, 10, 10), a.intersection(b));
	EXPECT_EQ(gr::Rect().set(0, 0, 20, 20), a.united(b));
	gr::Rect c = a;
	c.intersect(b);
	EXPECT_EQ(gr::Rect().set(5, 5, 10, 10), c);
	c = a;
	c.unite(b);
	EXPECT_EQ(gr::Rect().set(0, 0, 20, 20), c);

	// Disjoint rectangles give an inverted intersection; nothing checks it.
	const gr::Rect far = gr::Rect().set(30, 30, 40, 40);
	EXPECT_EQ(gr::Rect().set(30, 30, 10, 10), a.intersection(far));
}

TEST(Rect, Cut) {
	const gr::Rect r = gr::Rect().set(0, 0, 100, 100);
	struct Case {
		const char* name;
		gr::Rect s, expected;
	};
	const Case cases[] = {
		{"top-left corner cut off", gr::Rect().set(-10, -10, 30, 40), gr::Rect().set(30, 40, 100, 100)},
		{"bottom-right corner cut off", gr::Rect().set(60, 70, 200, 200), gr::Rect().set(0, 0, 60, 70)},
		{"inside: both edges move", gr::Rect().set(20, 30, 50, 60), gr::Rect().set(50, 60, 20, 30)},
		{"touching edges are not inside", gr::Rect().set(100, 0, 150, 100), r},
		{"touching corner is not inside", gr::Rect().set(-50, -50, 0, 0), r},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.expected, r.cut(c.s)) << c.name;
}

// --- Objects ----------------------------------------------------------------

struct Calls {
	std::vector<std::string> log;
};

class CountedObject : public gr::ContextObject {
public:
	CountedObject(Calls& calls) : gr::ContextObject(CLASSID_PALETTE), m_calls(calls) {}
	~CountedObject() override { m_calls.log.push_back("deleted"); }
	void lock(int mode) override { m_calls.log.push_back("lock " + std::to_string(mode)); }
	void unlock() override { m_calls.log.push_back("unlock"); }

private:
	Calls& m_calls;
};

class StubTexture : public gr::Texture {
public:
	int getWidth() const override { return 4; }
	int getHeight() const override { return 2; }
	gr::SurfaceFormat getFormat() const override { return gr::SurfaceFormat::A8R8G8B8; }
	void uploadSubImage(int, int, const void*, int, int, int, gr::SurfaceFormat) override {}
	void flushPixels() override {}
	gr::Rect getRect() const override { return gr::Rect(4, 2); }
	void getPixelData(void** pixels, int* pitch) override {
		*pixels = nullptr;
		*pitch = 0;
	}
};

TEST(ContextObject, ClassIdsAndLockMode) {
	lang::Ptr<StubTexture> texture = new StubTexture;
	EXPECT_EQ(gr::ContextObject::CLASSID_TEXTURE, texture->classId());
	EXPECT_EQ(2, texture->classId());
	EXPECT_EQ(3, texture->getLockMode());
}

TEST(ContextObject, LockTakesReferenceAndUnlocksBeforeRelease) {
	Calls calls;
	{
		gr::ContextObjectLock lock(new CountedObject(calls), gr::ContextObject::LOCK_READ);
		EXPECT_EQ(1, lock.object()->referenceCount());
	}
	const std::vector<std::string> expected = {"lock 1", "unlock", "deleted"};
	EXPECT_EQ(expected, calls.log);

	lang::Ptr<StubTexture> texture = new StubTexture;
	{
		gr::ContextObjectLock lock(texture, gr::ContextObject::LOCK_WRITE);
		EXPECT_EQ(2, texture->referenceCount());
	}
	EXPECT_EQ(1, texture->referenceCount());
}

class StubContext : public gr::Context {
public:
	std::vector<std::string> log;
	int width = 800, height = 480, platform = 1;

	~StubContext() override {}
	gr::Shader* createShader(const lang::String&, int) override { return nullptr; }
	gr::Palette* createPalette(int) override { return nullptr; }
	gr::Primitive* createPrimitive(gr::PrimitiveType, const gr::VertexFormat&, int, int, int) override {
		return nullptr;
	}
	gr::Primitive* createPrimitive(gr::PrimitiveType, const gr::VertexFormat&, int, int) override { return nullptr; }
	gr::Texture* createTexture(int, int, gr::SurfaceFormat, int, int) override { return nullptr; }
	gr::Texture* loadTexture(const lang::String&) override { return nullptr; }
	gr::CubeTexture* createCubeTexture(const lang::String&) override { return nullptr; }
	void setViewport(const gr::Rect& r) override { m_viewport = r; }
	void setPerspectiveProjection(float, float, float, float) override {}
	void resetProjection(bool) override {}
	void setRenderTarget(gr::Texture*) override {}
	void beginScene() override { log.push_back("begin"); }
	void endScene() override { log.push_back("end"); }
	void clear(uint32_t) override {}
	void present() override {}
	bool isReady() const override { return true; }
	void saveScreenshot(const lang::String&) override {}
	int getWidth() const override { return width; }
	int getHeight() const override { return height; }
	gr::SurfaceFormat getSurfaceFormat() const override { return gr::SurfaceFormat::A8R8G8B8; }
	const gr::Rect& getViewport() const override { return m_viewport; }
	const math::Matrix4x4& getProjectionMatrix() const override { return m_projection; }
	int getPlatform() const override { return platform; }
	void* getDeviceHandle() const override { return nullptr; }

private:
	gr::Rect m_viewport;
	math::Matrix4x4 m_projection;
};

TEST(Context, AspectRatioAndPlatformName) {
	lang::Ptr<StubContext> context = new StubContext;
	EXPECT_FLOAT_EQ(800.f / 480.f, context->getAspectRatio());
	EXPECT_STREQ("egl", context->getPlatformShortName());
	context->platform = 5;
	EXPECT_STREQ("unknown", context->getPlatformShortName());
	context->flush(); // the base's empty body
}

TEST(Context, SceneGuardBracketsAFrame) {
	lang::Ptr<StubContext> context = new StubContext;
	{
		gr::SceneGuard guard(context);
		EXPECT_EQ(2, context->referenceCount());
		context->log.push_back("draw");
	}
	const std::vector<std::string> expected = {"begin", "draw", "end"};
	EXPECT_EQ(expected, context->log);
	EXPECT_EQ(1, context->referenceCount());
}

} // namespace
