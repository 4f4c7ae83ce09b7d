#include "ParticleFixtures.h"

#include <hgr/DefaultResourceManager.h>
#include <hgr/ParticleDescription.h>
#include <hgr/ParticleSystem.h>
#include <hgr/ResourceManager.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using particletest::ioMessage;
using particletest::LoadingContext;

namespace {

using Strings = std::vector<std::string>;

struct Cache {
	lang::Ptr<LoadingContext> context = new LoadingContext;
	lang::Ptr<hgr::DefaultResourceManager> manager = new hgr::DefaultResourceManager(context);
};

TEST(ResourceManager, TexturesAreSharedByExactName) {
	Cache c;
	gr::Texture* a = c.manager->getTexture("wall.png");
	ASSERT_TRUE(a);
	EXPECT_EQ(c.manager->getTexture("wall.png"), a);
	gr::Texture* b = c.manager->getTexture("WALL.png");
	EXPECT_NE(b, a);
	EXPECT_EQ(c.context->loads, (Strings{"wall.png", "WALL.png"}));
	// Only the cache holds them.
	EXPECT_EQ(a->referenceCount(), 1);
}

TEST(ResourceManager, SuffixReplacesTheLastFourCharacters) {
	Cache c;
	c.manager->setTextureSuffix(".pvr");
	c.manager->getTexture("wall.png");
	c.manager->getTexture("a.png");
	c.manager->getTexture("abcd");
	c.manager->getTexture("wall.png");
	EXPECT_EQ(c.context->loads, (Strings{"wall.pvr", "a.pvr", "abcd"}));
	c.manager->setTextureSuffix(lang::String());
	c.manager->getTexture("b.png");
	EXPECT_EQ(c.context->loads.back(), "b.png");
}

TEST(ResourceManager, FailedLoadIsTriedAgain) {
	Cache c;
	c.context->missing = {"gone.png"};
	EXPECT_EQ(c.manager->getTexture("gone.png"), nullptr);
	EXPECT_EQ(c.manager->getTexture("gone.png"), nullptr);
	EXPECT_EQ(c.context->loads.size(), 2u);
	EXPECT_EQ(c.manager->textureEntryCount(), 1);
}

TEST(ResourceManager, EmptyNamesLoadNothing) {
	Cache c;
	EXPECT_EQ(c.manager->getTexture(lang::String()), nullptr);
	EXPECT_EQ(c.manager->getCubeTexture(""), nullptr);
	EXPECT_TRUE(c.context->loads.empty());
	EXPECT_TRUE(c.context->cubeLoads.empty());
}

TEST(ResourceManager, CubeTexturesAreCachedWithoutSuffix) {
	Cache c;
	c.manager->setTextureSuffix(".pvr");
	gr::CubeTexture* sky = c.manager->getCubeTexture("sky.png");
	EXPECT_EQ(c.manager->getCubeTexture("sky.png"), sky);
	EXPECT_EQ(c.context->cubeLoads, (Strings{"sky.png"}));
}

TEST(ResourceManager, ShadersPassThroughUncached) {
	Cache c;
	lang::Ptr<gr::Shader> a = c.manager->createShader("metal.fx", 2);
	lang::Ptr<gr::Shader> b = c.manager->createShader("metal.fx", 2);
	EXPECT_NE(a.ptr(), b.ptr());
	EXPECT_EQ(c.context->shadersCreated, 2);
	EXPECT_STREQ(a->name().c_str(), "metal.fx");
}

TEST(ResourceManager, ReleasingUnusedTexturesReturnsTheirBytes) {
	Cache c;
	lang::Ptr<gr::Texture> held = c.manager->getTexture("held.png");
	c.manager->getTexture("a.png");
	c.manager->getTexture("b.png");
	c.context->missing = {"none.png"};
	c.manager->getTexture("none.png");

	// 8 x 4 pixels of 32 bits each, twice; the held one stays.
	EXPECT_EQ(c.manager->releaseUnusedTextures(), 2 * 8 * 4 * 4);
	EXPECT_EQ(c.manager->textureEntryCount(), 4);
	EXPECT_EQ(c.manager->getTexture("held.png"), held.ptr());
	EXPECT_EQ(c.manager->releaseUnusedTextures(), 0);

	const size_t loads = c.context->loads.size();
	EXPECT_TRUE(c.manager->getTexture("a.png"));
	EXPECT_EQ(c.context->loads.size(), loads + 1);
}

TEST(ResourceManager, NothingReleasedWhileEveryTextureIsUsed) {
	Cache c;
	lang::Ptr<gr::Texture> a = c.manager->getTexture("a.png");
	lang::Ptr<gr::Texture> b = c.manager->getTexture("b.png");
	EXPECT_EQ(c.manager->releaseUnusedTextures(), 0);
	EXPECT_EQ(c.manager->getTexture("a.png"), a.ptr());
	EXPECT_EQ(c.context->loads.size(), 2u);
}

TEST(ResourceManager, ParticleSystemKeyIsTheBaseName) {
	const char* cases[][2] = {
		{"particles/fire.prs", "fire"}, {"fire.prs", "fire"},	  {"fire", "fire"},
		{"C:\\fx\\smoke.prs", "smoke"}, {"/data/a.b.prs", "a.b"},
	};
	for (const auto& c : cases)
		EXPECT_STREQ(hgr::DefaultResourceManager::particleSystemKey(c[0]).c_str(), c[1]) << c[0];
}

TEST(ResourceManager, ParticleSystemsShareOneDescriptionAndTexture) {
	Cache c;
	test::ParticleDescriptionWriter writer;
	writer.set("textureName", "spark.png").set("shaderName", "particle.fx");
	const std::string path = writer.write("particles/fire.prs");

	lang::Ptr<hgr::ParticleSystem> first = c.manager->getParticleSystem(path.c_str(), "", "");
	// Another directory, same base name: served from the cache without reading a file.
	lang::Ptr<hgr::ParticleSystem> second = c.manager->getParticleSystem("elsewhere/fire.prs", "", "");
	ASSERT_TRUE(first);
	ASSERT_TRUE(second);
	EXPECT_NE(first.ptr(), second.ptr());
	EXPECT_EQ(first->getDescription(), second->getDescription());
	EXPECT_TRUE(first->getDescription()->texture);
	EXPECT_EQ(c.context->loads, (Strings{writer.dir() + "particles/spark.png"}));
	EXPECT_EQ(c.context->shadersCreated, 1);
	EXPECT_EQ(c.manager->particleSystemEntryCount(), 1);
	// Each caller owns its copy alone.
	EXPECT_EQ(first->referenceCount(), 1);
}

TEST(ResourceManager, FirstCallersChangesDoNotReachLaterCopies) {
	Cache c;
	test::ParticleDescriptionWriter writer;
	const std::string path = writer.write("smoke.prs");
	lang::Ptr<hgr::ParticleSystem> first = c.manager->getParticleSystem(path.c_str(), "", "");
	first->setStartTime(5.f);
	first->setPosition(math::Vector3(1, 2, 3));
	first->setEnabled(false);
	first->update(1.f);

	lang::Ptr<hgr::ParticleSystem> later = c.manager->getParticleSystem(path.c_str(), "", "");
	EXPECT_EQ(later->getStartTime(), 0.f);
	EXPECT_EQ(later->getPosition().x, 0.f);
	EXPECT_TRUE(later->isEnabled());
	EXPECT_EQ(later->getTime(), 0.f);
}

TEST(ResourceManager, ParticleTextureAndShaderComeFromTheirDirectories) {
	Cache c;
	test::ParticleDescriptionWriter writer;
	writer.set("textureName", "spark.png").set("shaderName", "particle.fx");
	const std::string path = writer.write("fire.prs");
	lang::Ptr<hgr::ParticleSystem> s = c.manager->getParticleSystem(path.c_str(), "textures", "shaders/");
	EXPECT_EQ(c.context->loads, (Strings{"textures/spark.png"}));
	ASSERT_TRUE(s->getDescription()->shader);
	EXPECT_STREQ(s->getDescription()->shader->name().c_str(), "shaders/particle.fx");
	EXPECT_EQ(c.context->log.texts(), (Strings{"shaders/particle.fx.setTexture BASEMAP"}));
}

TEST(ResourceManager, ParticleSystemWithoutNamesLoadsNothing) {
	Cache c;
	test::ParticleDescriptionWriter writer;
	const std::string path = writer.write("plain.prs");
	lang::Ptr<hgr::ParticleSystem> s = c.manager->getParticleSystem(path.c_str(), "textures", "shaders");
	EXPECT_TRUE(c.context->loads.empty());
	EXPECT_EQ(c.context->shadersCreated, 0);
	EXPECT_FALSE(s->getDescription()->shader);
	lang::Array<gr::Shader*> shaders;
	s->getShaders(shaders);
	EXPECT_EQ(shaders.size(), 0);
}

TEST(ResourceManager, InvalidDescriptionThrowsAndIsNotCached) {
	Cache c;
	test::ParticleDescriptionWriter writer;
	writer.set("textureFrames", "8").set("textureName", "spark.png");
	const std::string path = writer.write("bad.prs");
	const std::string message = "Invalid value in \"" + path + "\": TextureFrames=8 (not square of integer)";
	EXPECT_EQ(ioMessage([&] { c.manager->getParticleSystem(path.c_str(), "", ""); }), message);
	EXPECT_EQ(ioMessage([&] { c.manager->getParticleSystem(path.c_str(), "", ""); }), message);
	EXPECT_TRUE(c.context->loads.empty());
	EXPECT_EQ(c.manager->particleSystemEntryCount(), 0);
}

TEST(ResourceManager, TooLongTextureDirectoryIsRefused) {
	Cache c;
	test::ParticleDescriptionWriter writer;
	writer.set("textureName", "spark.png");
	const std::string path = writer.write("fire.prs");
	const std::string longDir(300, 'd');
	const std::string message = ioMessage([&] { c.manager->getParticleSystem(path.c_str(), longDir.c_str(), ""); });
	EXPECT_EQ(message.rfind("Too long path name", 0), 0u) << message;
}

TEST(ResourceManager, DefaultManagerIsMadeOnceOnTheFirstContext) {
	hgr::ResourceManager::setDefault(nullptr);
	lang::Ptr<LoadingContext> a = new LoadingContext;
	lang::Ptr<LoadingContext> b = new LoadingContext;
	hgr::ResourceManager* first = hgr::ResourceManager::getDefault(a);
	EXPECT_EQ(hgr::ResourceManager::getDefault(b), first);
	EXPECT_EQ(static_cast<hgr::DefaultResourceManager*>(first)->getContext(), a.ptr());

	lang::Ptr<hgr::DefaultResourceManager> mine = new hgr::DefaultResourceManager(b);
	hgr::ResourceManager::setDefault(mine);
	EXPECT_EQ(hgr::ResourceManager::getDefault(a), mine.ptr());
	hgr::ResourceManager::setDefault(nullptr);
	EXPECT_EQ(mine->referenceCount(), 1);
	hgr::ResourceManager* fresh = hgr::ResourceManager::getDefault(b);
	EXPECT_EQ(static_cast<hgr::DefaultResourceManager*>(fresh)->getContext(), b.ptr());
	hgr::ResourceManager::setDefault(nullptr);
}

TEST(ResourceManager, ParticleSystemWithoutManagerUsesTheDefault) {
	hgr::ResourceManager::setDefault(nullptr);
	lang::Ptr<LoadingContext> context = new LoadingContext;
	test::ParticleDescriptionWriter writer;
	writer.set("textureName", "spark.png");
	const std::string path = writer.write("fire.prs");
	lang::Ptr<hgr::ParticleSystem> s = new hgr::ParticleSystem(context, path.c_str(), nullptr, "t", "");
	EXPECT_EQ(context->loads, (Strings{"t/spark.png"}));
	hgr::ResourceManager::setDefault(nullptr);
}

} // namespace
