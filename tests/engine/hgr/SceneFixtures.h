#ifndef TESTS_ENGINE_HGR_SCENEFIXTURES_H
#define TESTS_ENGINE_HGR_SCENEFIXTURES_H

#include "support/BinaryWriter.h"
#include "support/FakeContext.h"
#include "support/SceneWriter.h"
#include "support/TempDir.h"

#include <gr/CubeTexture.h>
#include <gr/Texture.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/ParticleSystem.h>
#include <hgr/ResourceManager.h>
#include <hgr/Scene.h>
#include <lang/Exception.h>
#include <lang/Ptr.h>
#include <lang/String.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace scenetest {

inline std::string str(const lang::String& s) {
	return s.c_str();
}

/** The message of the lang::Exception that f throws, or "<no exception>". */
template <class F>
std::string errorOf(F f) {
	try {
		f();
	} catch (const lang::Exception& e) {
		return lang::String(e.getMessage()).c_str();
	}
	return "<no exception>";
}

/** Every "{file}" in text replaced by path. */
inline std::string withFile(std::string text, const std::string& path) {
	for (size_t at = text.find("{file}"); at != std::string::npos; at = text.find("{file}", at + path.size()))
		text.replace(at, 6, path);
	return text;
}

/** A texture that knows the path it was asked for by. */
class NamedTexture : public gr::Texture {
public:
	explicit NamedTexture(const std::string& path) : path(path) {}
	std::string path;
	void uploadSubImage(int, int, const void*, int, int, int, gr::SurfaceFormat) override {}
	void flushPixels() override {}
	gr::Rect getRect() const override { return gr::Rect(1, 1); }
	void getPixelData(void** pixels, int* pitch) override {
		*pixels = nullptr;
		*pitch = 0;
	}
	int getWidth() const override { return 1; }
	int getHeight() const override { return 1; }
	gr::SurfaceFormat getFormat() const override { return gr::SurfaceFormat::A8R8G8B8; }
};

class NamedCubeTexture : public gr::CubeTexture {
public:
	explicit NamedCubeTexture(const std::string& path) : path(path) {}
	std::string path;
	int getWidth() const override { return 1; }
	int getHeight() const override { return 1; }
	gr::SurfaceFormat getFormat() const override { return gr::SurfaceFormat::A8R8G8B8; }
};

/** A fake shader that keeps its parameter values by name. */
class ParamShader : public test::FakeShader {
public:
	ParamShader(test::FakeLog* log, const std::string& effect, int variant)
		: test::FakeShader(log, effect), effect(effect), variant(variant) {}
	std::string effect;
	int variant;
	std::map<std::string, gr::BaseTexture*> textures;
	std::map<std::string, math::Vector4> vectors;
	std::map<std::string, float> floats;

	void setTexture(const lang::String& name, gr::BaseTexture* value) override {
		textures[name.c_str()] = value;
		test::FakeShader::setTexture(name, value);
	}
	void setVector(const lang::String& name, const math::Vector4& value) override {
		vectors[name.c_str()] = value;
		test::FakeShader::setVector(name, value);
	}
	void setFloat(const lang::String& name, float value) override {
		floats[name.c_str()] = value;
		test::FakeShader::setFloat(name, value);
	}
	using test::FakeShader::setFloat;
	using test::FakeShader::setTexture;
	using test::FakeShader::setVector;
};

/**
 * Resource manager that records what the reader asks for ("texture <path>",
 * "cube <path>", "shader <path> <variant>", "particle <path> | <textureDir> |
 * <shaderDir>"), hands out named textures and parameter-keeping shaders, and
 * reads particle systems through a default manager over the same context.
 */
class RecordingResources : public hgr::ResourceManager {
public:
	explicit RecordingResources(test::FakeContext* context)
		: context(context), particles(new hgr::DefaultResourceManager(context)) {}

	test::FakeContext* context;
	lang::Ptr<hgr::DefaultResourceManager> particles;
	std::vector<std::string> calls;
	std::vector<lang::Ptr<gr::BaseTexture>> textures;

	gr::Shader* createShader(const lang::String& name, int variant) override {
		calls.push_back("shader " + str(name) + " " + std::to_string(variant));
		return new ParamShader(&context->log, str(name), variant);
	}
	gr::Texture* getTexture(const lang::String& name) override {
		calls.push_back("texture " + str(name));
		NamedTexture* t = new NamedTexture(str(name));
		textures.push_back(t);
		return t;
	}
	gr::CubeTexture* getCubeTexture(const lang::String& name) override {
		calls.push_back("cube " + str(name));
		NamedCubeTexture* t = new NamedCubeTexture(str(name));
		textures.push_back(t);
		return t;
	}
	hgr::ParticleSystem* getParticleSystem(const lang::String& name, const lang::String& textureDir,
										   const lang::String& shaderDir) override {
		calls.push_back("particle " + str(name) + " | " + str(textureDir) + " | " + str(shaderDir));
		return particles->getParticleSystem(name, textureDir, shaderDir);
	}
};

/** Loads writer-made files on a fake context with recording resources. */
class SceneFixture : public ::testing::Test {
protected:
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	lang::Ptr<RecordingResources> resources = new RecordingResources(context);

	/** Writes w to a temporary file of that name and returns its path. */
	static std::string file(const test::SceneWriter& w, const std::string& name = "t.hgr", size_t limit = SIZE_MAX) {
		return w.writeTemp(name, limit);
	}

	lang::Ptr<hgr::Scene> loadPath(const std::string& path, const std::string& textureDir = "/tex",
								   const std::string& shaderDir = "/fx", const std::string& particleDir = "/prs") {
		return new hgr::Scene(context, path.c_str(), resources, textureDir.c_str(), shaderDir.c_str(),
							  particleDir.c_str());
	}

	lang::Ptr<hgr::Scene> load(const test::SceneWriter& w, const std::string& name = "t.hgr") {
		return loadPath(file(w, name));
	}

	/** The message the load of w fails with, "{file}" standing for the file's path. */
	std::string loadError(const test::SceneWriter& w, size_t limit = SIZE_MAX) {
		const std::string path = file(w, "bad.hgr", limit);
		std::string message = errorOf([&] { loadPath(path); });
		for (size_t at = message.find(path); at != std::string::npos; at = message.find(path, at + 6))
			message.replace(at, path.size(), "{file}");
		return message;
	}
};

/** A scene writer with one material and one triangle primitive, ready for meshes. */
inline test::SceneWriter writerWithTriangle(int version = test::SceneWriter::LATEST_VERSION) {
	test::SceneWriter w(version);
	w.material("mat", "plain.fx");
	w.primitive(0)
		.component(test::SceneWriter::DT_POSITION, test::SceneWriter::V3_32, {0, 0, 0, 1, 0, 0, 0, 1, 0})
		.indices({0, 1, 2});
	return w;
}

/** The children of node, first to last. */
inline std::vector<hgr::Node*> children(const hgr::Node* node) {
	std::vector<hgr::Node*> out;
	for (hgr::Node* c = node->getFirstChild(); c; c = c->getNextSibling())
		out.push_back(c);
	return out;
}

inline std::vector<std::string> childNames(const hgr::Node* node) {
	std::vector<std::string> out;
	for (hgr::Node* c : children(node))
		out.push_back(str(c->getName()));
	return out;
}

} // namespace scenetest

#endif
