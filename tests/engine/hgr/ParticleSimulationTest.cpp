#include "ParticleFixtures.h"

#include <hgr/Camera.h>
#include <hgr/ParticleDescription.h>
#include <hgr/ParticleSystem.h>
#include <math/Matrix3x3.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

using particletest::loadSystem;

namespace {

/**
 * A writer for a system with one emission that never dies, emitting one
 * particle per second (at most 2) that never dies either: the counts of a
 * test follow from the number of one-second updates.
 */
struct OneEmission {
	test::ParticleDescriptionWriter writer;
	lang::Ptr<test::FakeContext> context = new test::FakeContext;

	OneEmission() {
		writer.set("systemMaxEmissions", "1")
			.set("systemRate", "CONSTANT 1")
			.set("emissionMaxParticles", "2")
			.set("emissionRate", "CONSTANT 1")
			.set("particleLifeTime", "CONSTANT -1");
	}
	lang::Ptr<hgr::ParticleSystem> load() { return loadSystem(writer, context); }
};

std::vector<float> particleAges(const hgr::ParticleSystem& s) {
	std::vector<float> ages;
	for (int i = 0; i < s.getEmissionCount(); ++i) {
		const hgr::ParticleSystem::Emission& e = s.getEmission(i);
		for (int k = 0; k < e.particleCount; ++k)
			ages.push_back(e.particles[k].age);
	}
	return ages;
}

TEST(ParticleSimulation, HalfAnEmissionPerSecondLaunchesEverySecondUpdate) {
	test::ParticleDescriptionWriter writer;
	writer.set("systemRate", "CONSTANT 0.5").set("emissionRate", "CONSTANT 0");
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	lang::Ptr<hgr::ParticleSystem> s = loadSystem(writer, context);
	const int expected[] = {0, 1, 1, 2, 2, 3};
	for (int n : expected) {
		s->update(1.f);
		EXPECT_EQ(s->getEmissionCount(), n);
	}
}

TEST(ParticleSimulation, EmissionCreditIsCappedAtTheMaximum) {
	struct Case {
		const char* kill;
		int launchedSecondTime; // emissions whose age is the new one after the second update
	};
	const Case cases[] = {{"NONE", 0}, {"OLDEST", 3}};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.kill);
		test::ParticleDescriptionWriter writer;
		writer.set("systemMaxEmissions", "3")
			.set("systemRate", "CONSTANT 1000")
			.set("emissionRate", "CONSTANT 0")
			.set("systemLimitKill", c.kill);
		lang::Ptr<test::FakeContext> context = new test::FakeContext;
		lang::Ptr<hgr::ParticleSystem> s = loadSystem(writer, context);
		s->update(1.f);
		EXPECT_EQ(s->getEmissionCount(), 3);
		// The credit was capped at 3 and spent: nothing is left over.
		EXPECT_LT(s->getEmissionCredit(), 1.f);
		s->update(0.5f);
		EXPECT_EQ(s->getEmissionCount(), 3);
		EXPECT_LT(s->getEmissionCredit(), 1.f);
		int young = 0;
		for (int i = 0; i < 3; ++i)
			if (s->getEmission(i).age == 0.5f)
				++young;
		EXPECT_EQ(young, c.launchedSecondTime);
	}
}

TEST(ParticleSimulation, ParticleKillPolicies) {
	struct Case {
		const char* kill;
		std::vector<float> ages; // after three one-second updates, sorted
	};
	const Case cases[] = {{"NONE", {2.f, 3.f}}, {"OLDEST", {1.f, 2.f}}};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.kill);
		OneEmission f;
		f.writer.set("emissionLimitKill", c.kill);
		lang::Ptr<hgr::ParticleSystem> s = f.load();
		for (int i = 0; i < 3; ++i)
			s->update(1.f);
		std::vector<float> ages = particleAges(*s);
		std::sort(ages.begin(), ages.end());
		EXPECT_EQ(ages, c.ages);
	}
}

TEST(ParticleSimulation, RandomKillReplacesOneParticle) {
	std::srand(11);
	OneEmission f;
	f.writer.set("emissionLimitKill", "RANDOM");
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	for (int i = 0; i < 3; ++i)
		s->update(1.f);
	std::vector<float> ages = particleAges(*s);
	std::sort(ages.begin(), ages.end());
	ASSERT_EQ(ages.size(), 2u);
	EXPECT_EQ(ages[0], 1.f);
}

TEST(ParticleSimulation, NewbornsAdvanceBySameStep) {
	OneEmission f;
	f.writer.set("systemRate", "CONSTANT 2")
		.set("particleStartVelocity", "POINT 0 2 0")
		.set("particleStartPosition", "POINT 1 0 0");
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	s->update(0.5f);
	EXPECT_EQ(s->getEmissionCount(), 1);
	EXPECT_EQ(s->getParticleCount(), 0); // half a particle owed
	s->update(0.5f);
	ASSERT_EQ(s->getParticleCount(), 1);
	const hgr::ParticleSystem::Particle& p = s->getEmission(0).particles[0];
	EXPECT_EQ(p.age, 0.5f);
	EXPECT_FLOAT_EQ(p.position.x, 1.f);
	EXPECT_FLOAT_EQ(p.position.y, 1.f);
}

TEST(ParticleSimulation, StartTimeHoldsEverythingButTheClock) {
	OneEmission f;
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	s->setStartTime(2.5f);
	s->update(1.f);
	s->update(1.f);
	EXPECT_EQ(s->getTime(), 2.f);
	EXPECT_EQ(s->getEmissionCount(), 0);
	s->update(1.f);
	EXPECT_EQ(s->getEmissionCount(), 1);
	EXPECT_EQ(s->getParticleCount(), 1);
}

TEST(ParticleSimulation, SystemStopTimeCountsFromTheStartTime) {
	test::ParticleDescriptionWriter writer;
	writer.set("systemStopTime", "CONSTANT 2").set("emissionRate", "CONSTANT 0").set("systemMaxEmissions", "10");
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	lang::Ptr<hgr::ParticleSystem> s = loadSystem(writer, context);
	s->setStartTime(10.f);
	for (int i = 0; i < 15; ++i)
		s->update(1.f);
	// Launches at times 10 and 11 (time - start 0 and 1 are below 2).
	EXPECT_EQ(s->getEmissionCount(), 2);
}

TEST(ParticleSimulation, DeadEmissionsAndParticlesAreRemoved) {
	test::ParticleDescriptionWriter writer;
	writer.set("systemMaxEmissions", "4")
		.set("systemRate", "CONSTANT 1")
		.set("systemStopTime", "CONSTANT 1.5")
		.set("emissionLifeTime", "CONSTANT 3")
		.set("emissionRate", "CONSTANT 1")
		.set("particleLifeTime", "CONSTANT 1.5");
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	lang::Ptr<hgr::ParticleSystem> s = loadSystem(writer, context);
	s->update(1.f); // one emission, one particle of age 1
	EXPECT_EQ(s->getParticleCount(), 1);
	s->update(1.f); // the particle reaches 2 > 1.5; a second one is born
	EXPECT_EQ(s->getParticleCount(), 2);
	s->update(1.f); // the first particle is removed, the emission reaches age 3
	EXPECT_EQ(s->getParticleCount(), 2);
	s->update(1.f); // the emission is removed with its particles
	EXPECT_EQ(s->getEmissionCount(), 0);
	EXPECT_EQ(s->getParticleCount(), 0);
}

TEST(ParticleSimulation, ForeverEmissionsAndImmortalParticles) {
	OneEmission f;
	f.writer.set("emissionMaxParticles", "100");
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	for (int i = 0; i < 50; ++i)
		s->update(1.f);
	EXPECT_EQ(s->getEmissionCount(), 1);
	EXPECT_EQ(s->getParticleCount(), 50);
}

TEST(ParticleSimulation, UndrawnSystemFreezesAfterASecond) {
	OneEmission f;
	f.writer.set("particleUpdateAlways", "false").set("shaderName", "particle.fx").set("emissionMaxParticles", "100");
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	// Never drawn: it keeps updating.
	for (int i = 0; i < 3; ++i)
		s->update(1.f);
	EXPECT_EQ(s->getParticleCount(), 3);

	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	s->render(f.context, camera, 0);
	EXPECT_EQ(s->getTimeSinceRender(), 0.f);
	s->update(0.6f);
	s->update(0.6f); // 1.2 seconds without a draw
	const int frozen = s->getParticleCount();
	const float age = particleAges(*s)[0];
	for (int i = 0; i < 5; ++i)
		s->update(1.f);
	EXPECT_EQ(s->getParticleCount(), frozen);
	EXPECT_EQ(particleAges(*s)[0], age);

	s->render(f.context, camera, 0);
	s->update(1.f);
	EXPECT_EQ(s->getParticleCount(), frozen + 1);
}

TEST(ParticleSimulation, DrawAtAnotherPriorityLeavesTheRenderClock) {
	OneEmission f;
	f.context->setEffect(f.writer.dir() + "particle.fx", 3);
	f.writer.set("shaderName", "particle.fx");
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	s->update(1.f);
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	const float before = s->getTimeSinceRender();
	s->render(f.context, camera, 0);
	EXPECT_EQ(s->getTimeSinceRender(), before);
	s->render(f.context, camera, 3);
	EXPECT_EQ(s->getTimeSinceRender(), 0.f);
}

TEST(ParticleSimulation, FramesByAge) {
	struct Case {
		const char* rate;
		std::vector<int> frames; // after each one-second update
	};
	const Case cases[] = {{"1", {1, 2, 3, 0, 1}}, {"0", {0, 0, 0, 0, 0}}, {"0.5", {0, 1, 1, 2, 2}}};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.rate);
		OneEmission f;
		f.writer.set("emissionMaxParticles", "1").set("textureFrames", "4").set("textureFrameRate", c.rate);
		lang::Ptr<hgr::ParticleSystem> s = f.load();
		std::vector<int> frames;
		for (size_t i = 0; i < c.frames.size(); ++i) {
			s->update(1.f);
			frames.push_back(s->getEmission(0).particles[0].frame);
		}
		EXPECT_EQ(frames, c.frames);
	}
}

TEST(ParticleSimulation, FramesByLife) {
	OneEmission f;
	f.writer.set("emissionMaxParticles", "1")
		.set("particleLifeTime", "CONSTANT 8")
		.set("textureFrames", "4")
		.set("textureFrameRate", "1")
		.set("textureAnimation", "LIFE");
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	std::vector<int> frames;
	for (int i = 0; i < 8; ++i) {
		s->update(1.f);
		frames.push_back(s->getEmission(0).particles[0].frame);
	}
	// The frame is taken from the age before the step: ages 0..7 of 8.
	EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3}));
}

TEST(ParticleSimulation, FramesByLifeStayInTheTableWithoutALifetime) {
	for (const char* life : {"CONSTANT 0", "CONSTANT -1"}) {
		SCOPED_TRACE(life);
		OneEmission f;
		f.writer.set("emissionMaxParticles", "1")
			.set("particleLifeTime", life)
			.set("textureFrames", "4")
			.set("textureFrameRate", "1")
			.set("textureAnimation", "LIFE");
		lang::Ptr<hgr::ParticleSystem> s = f.load();
		for (int i = 0; i < 6; ++i) {
			s->update(1.f);
			const int frame = s->getEmission(0).particles[0].frame;
			EXPECT_TRUE(frame >= 0 && frame < 4) << frame;
		}
	}
}

TEST(ParticleSimulation, RandomFramesStayInTheTable) {
	std::srand(3);
	OneEmission f;
	f.writer.set("emissionMaxParticles", "1")
		.set("textureFrames", "9")
		.set("textureFrameRate", "100")
		.set("textureAnimation", "RANDOM");
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	for (int i = 0; i < 100; ++i) {
		s->update(0.05f);
		const int frame = s->getEmission(0).particles[0].frame;
		ASSERT_TRUE(frame >= 0 && frame < 9) << frame;
	}
}

TEST(ParticleSimulation, NoLifetimeKeepsSizesFinite) {
	for (const char* life : {"CONSTANT 0", "CONSTANT -1", "CONSTANT 1e-30"}) {
		SCOPED_TRACE(life);
		OneEmission f;
		f.writer.set("particleLifeTime", life)
			.set("particleStartSize", "CONSTANT 1")
			.set("particleEndSize", "CONSTANT 3")
			.set("particleSpriteStartRotationSpeed", "CONSTANT 10")
			.set("particleSpriteEndRotationSpeed", "CONSTANT 90");
		lang::Ptr<hgr::ParticleSystem> s = f.load();
		s->update(1.f);
		ASSERT_EQ(s->getParticleCount(), 1);
		const hgr::ParticleSystem::Particle& p = s->getEmission(0).particles[0];
		EXPECT_EQ(p.size, 1.f);
		EXPECT_TRUE(std::isfinite(p.rotationSpeed));
		EXPECT_TRUE(std::isfinite(p.alpha));
		EXPECT_TRUE(s->getBoundBoxMax().isFinite());
	}
}

TEST(ParticleSimulation, SizeRotationColourAndAlphaFollowTheLifetime) {
	OneEmission f;
	f.writer.set("particleLifeTime", "CONSTANT 2")
		.set("particleStartSize", "CONSTANT 1")
		.set("particleEndSize", "CONSTANT 3")
		.set("particleSpriteRotation", "CONSTANT 90")
		.set("particleSpriteStartRotationSpeed", "CONSTANT 0")
		.set("particleSpriteEndRotationSpeed", "CONSTANT 180")
		.set("particleStartColor", "POINT 1 0.5 0")
		.set("particleEndColor", "POINT 0 0.5 1")
		.set("particleStartAlpha", "CONSTANT 1")
		.set("particleEndAlpha", "CONSTANT 0");
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	s->update(1.f);
	ASSERT_EQ(s->getParticleCount(), 1);
	const hgr::ParticleSystem::Particle& p = s->getEmission(0).particles[0];
	EXPECT_FLOAT_EQ(p.size, 2.f);
	EXPECT_NEAR(p.rotation, 1.5707963f, 1e-6f);
	EXPECT_NEAR(p.rotationSpeed, 1.5707963f, 1e-6f); // 90 degrees per second after half the life
	EXPECT_FLOAT_EQ(p.red, 0.5f);
	EXPECT_FLOAT_EQ(p.green, 0.5f);
	EXPECT_FLOAT_EQ(p.blue, 0.5f);
	EXPECT_FLOAT_EQ(p.alpha, 0.5f);
}

TEST(ParticleSimulation, GravityWindAndTheNodeTransform) {
	OneEmission f;
	f.writer.set("particleStartVelocity", "POINT 1 0 0")
		.set("wind", "0 0 1")
		.set("gravity", "-2")
		.set("emissionPosition", "POINT 0 0 1");
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	// Turned a quarter about y (local x becomes world -z) and moved to (10, 0, 0).
	s->setTransform(
		math::Matrix3x4(math::Matrix3x3::rotation(math::Vector3(0, 1, 0), 1.5707963f), math::Vector3(10, 0, 0)));
	s->update(1.f);
	ASSERT_EQ(s->getParticleCount(), 1);
	const hgr::ParticleSystem::Particle& p = s->getEmission(0).particles[0];
	// velocity = R (1, 0, 1) = (1, 0, -1), then gravity -2 along world y.
	EXPECT_NEAR(p.velocity.x, 1.f, 1e-5f);
	EXPECT_NEAR(p.velocity.y, -2.f, 1e-5f);
	EXPECT_NEAR(p.velocity.z, -1.f, 1e-5f);
	// born at R (0, 0, 1) + t = (11, 0, 0), then moved by the velocity.
	EXPECT_NEAR(p.position.x, 12.f, 1e-5f);
	EXPECT_NEAR(p.position.y, -2.f, 1e-5f);
	EXPECT_NEAR(p.position.z, -1.f, 1e-5f);
}

TEST(ParticleSimulation, BoxIsAWorldBox) {
	OneEmission f;
	f.writer.set("particleStartVelocity", "POINT 0 0 0")
		.set("particleStartSize", "CONSTANT 0.5")
		.set("particleEndSize", "CONSTANT 0.5");
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	s->setPosition(math::Vector3(10, 1, 0));
	s->update(1.f);
	EXPECT_TRUE(s->hasWorldBoundBox());
	EXPECT_FLOAT_EQ(s->getBoundBoxMin().x, 9.5f);
	EXPECT_FLOAT_EQ(s->getBoundBoxMin().y, 0.5f);
	EXPECT_FLOAT_EQ(s->getBoundBoxMax().x, 10.5f);
	EXPECT_FLOAT_EQ(s->getBoundBoxMax().z, 0.5f);
}

TEST(ParticleSimulation, EmptySystemStoresTheEmptyBox) {
	OneEmission f;
	f.writer.set("systemRate", "CONSTANT 0");
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	s->update(1.f);
	EXPECT_TRUE(s->hasWorldBoundBox());
	EXPECT_EQ(s->getBoundBoxMin().x, 1e10f);
	EXPECT_EQ(s->getBoundBoxMax().y, -1e10f);
}

TEST(ParticleSimulation, BadRatesNeitherHangNorPoison) {
	for (const char* rate : {"CONSTANT nan", "CONSTANT -5", "CONSTANT inf"}) {
		SCOPED_TRACE(rate);
		OneEmission f;
		f.writer.set("systemRate", rate).set("emissionRate", rate);
		lang::Ptr<hgr::ParticleSystem> s = f.load();
		s->update(1.f);
		s->update(1.f);
		EXPECT_TRUE(s->getEmissionCredit() >= 0.f && s->getEmissionCredit() < 1.f);
		EXPECT_LE(s->getEmissionCount(), 1);
	}
}

TEST(ParticleSimulation, CopiesStartEmptyAndShareTheDescription) {
	OneEmission f;
	lang::Ptr<hgr::ParticleSystem> s = f.load();
	s->setStartTime(1.f);
	s->setName("fire");
	s->setPosition(math::Vector3(1, 2, 3));
	s->setBasis(math::Matrix3x3(2.f));
	for (int i = 0; i < 3; ++i)
		s->update(1.f);
	ASSERT_GT(s->getParticleCount(), 0);

	lang::Ptr<hgr::ParticleSystem> copy = new hgr::ParticleSystem(*s);
	EXPECT_EQ(copy->getDescription(), s->getDescription());
	EXPECT_EQ(copy->getEmissionCount(), 0);
	EXPECT_EQ(copy->getTime(), 0.f);
	EXPECT_EQ(copy->getStartTime(), 1.f);
	EXPECT_EQ(copy->getBasis().m[0][0], 2.f);
	EXPECT_EQ(copy->getPosition().y, 2.f);
	EXPECT_STREQ(copy->getName().c_str(), "fire");
	EXPECT_EQ(copy->getClassId(), hgr::Node::NODE_PARTICLESYSTEM);
	EXPECT_EQ(copy->getPrimitive(), nullptr);

	lang::Ptr<hgr::Visual> clone = s->clone();
	ASSERT_TRUE(clone);
	EXPECT_EQ(clone->getClassId(), hgr::Node::NODE_PARTICLESYSTEM);
	EXPECT_EQ(static_cast<hgr::ParticleSystem*>(clone.ptr())->getEmissionCount(), 0);
}

TEST(ParticleSimulation, SameSeedSameSystem) {
	auto run = [] {
		std::srand(42);
		test::ParticleDescriptionWriter writer;
		writer.set("systemRate", "RANGE 0 3")
			.set("emissionRate", "RANGE 0 20")
			.set("particleStartVelocity", "SPHERE 0 0 0 1 2")
			.set("particleLifeTime", "RANGE 0.5 2")
			.set("emissionLifeTime", "RANGE 1 3");
		lang::Ptr<test::FakeContext> context = new test::FakeContext;
		lang::Ptr<hgr::ParticleSystem> s = loadSystem(writer, context);
		std::vector<float> out;
		for (int i = 0; i < 30; ++i) {
			s->update(0.1f);
			out.push_back(float(s->getParticleCount()));
			out.push_back(s->getBoundBoxMax().x);
		}
		return out;
	};
	EXPECT_EQ(run(), run());
}

} // namespace
