#ifndef TESTS_ENGINE_HGR_PARTICLEFIXTURES_H
#define TESTS_ENGINE_HGR_PARTICLEFIXTURES_H

#include "support/FakeContext.h"
#include "support/ParticleDescriptionWriter.h"

#include <gr/CubeTexture.h>
#include <gr/Texture.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/ParticleDescription.h>
#include <hgr/ParticleSystem.h>
#include <io/IOException.h>
#include <lang/Ptr.h>
#include <lang/String.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace particletest {

/** The message of the io::IOException that f throws, or "<no exception>". */
template <class F>
std::string ioMessage(F f) {
	try {
		f();
	} catch (const io::IOException& e) {
		return lang::String(e.getMessage()).c_str();
	}
	return "<no exception>";
}

/** A texture of a given size and format that holds no pixels. */
class SizedTexture : public gr::Texture {
public:
	SizedTexture(int w, int h, gr::SurfaceFormat f) : m_width(w), m_height(h), m_format(f) {}
	void uploadSubImage(int, int, const void*, int, int, int, gr::SurfaceFormat) override {}
	void flushPixels() override {}
	gr::Rect getRect() const override { return gr::Rect(m_width, m_height); }
	void getPixelData(void** pixels, int* pitch) override {
		*pixels = nullptr;
		*pitch = 0;
	}
	int getWidth() const override { return m_width; }
	int getHeight() const override { return m_height; }
	gr::SurfaceFormat getFormat() const override { return m_format; }

private:
	int m_width;
	int m_height;
	gr::SurfaceFormat m_format;
};

class PlainCubeTexture : public gr::CubeTexture {
public:
	int getWidth() const override { return 1; }
	int getHeight() const override { return 1; }
	gr::SurfaceFormat getFormat() const override { return gr::SurfaceFormat::A8R8G8B8; }
};

/**
 * Fake context that also loads textures: every name gets a new 8 x 4
 * A8R8G8B8 texture, except names listed in missing (null). Every load and
 * cube texture request is recorded by name.
 */
class LoadingContext : public test::FakeContext {
public:
	explicit LoadingContext(int platform = PLATFORM_EGL) : test::FakeContext(640, 480, platform) {}

	std::vector<std::string> loads;
	std::vector<std::string> cubeLoads;
	std::vector<std::string> missing;

	gr::Texture* loadTexture(const lang::String& name) override {
		loads.push_back(name.c_str());
		for (const std::string& m : missing)
			if (m == name.c_str())
				return nullptr;
		return new SizedTexture(8, 4, gr::SurfaceFormat::A8R8G8B8);
	}
	gr::CubeTexture* createCubeTexture(const lang::String& name) override {
		cubeLoads.push_back(name.c_str());
		return new PlainCubeTexture;
	}
};

/** A particle system read from the writer's current text, through a manager on context. */
inline lang::Ptr<hgr::ParticleSystem> loadSystem(test::ParticleDescriptionWriter& writer, gr::Context* context,
												 const std::string& fileName = "test.prs") {
	lang::Ptr<hgr::DefaultResourceManager> manager = new hgr::DefaultResourceManager(context);
	const std::string path = writer.write(fileName);
	return new hgr::ParticleSystem(context, path.c_str(), manager, "", "");
}

} // namespace particletest

#endif
