// Pools of particle systems whose maxima multiply past what is made up front:
// each factor may reach 10922, the pools grow as particles are emitted, at
// most the budget lives at once, the room the pools keep stays bounded, and
// a grown system draws and updates without allocating.
#include "ParticleFixtures.h"
#include "support/AllocationCounter.h"

#include <hgr/Camera.h>
#include <hgr/ParticleDescription.h>
#include <hgr/ParticleSystem.h>
#include <gr/Primitive.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

using particletest::loadSystem;

namespace {

const int BUDGET = hgr::ParticleSystem::PARTICLE_BUDGET;

/** Counts and room added up over the emission slots, against what the system says. */
void expectConsistent(const hgr::ParticleSystem& s) {
	int live = 0;
	for (int i = 0; i < s.getEmissionCount(); ++i) {
		const hgr::ParticleSystem::Emission& e = s.getEmission(i);
		ASSERT_LE(e.particleCount, e.particles.size());
		ASSERT_LE(e.particleCount, s.getDescription()->emissionMaxParticles);
		live += e.particleCount;
	}
	EXPECT_EQ(live, s.getParticleCount());
	EXPECT_LE(s.getParticleCount(), BUDGET);
}

/** A system of emissions x particles that launches and fills every emission at once, particles never dying. */
void floodingSystem(test::ParticleDescriptionWriter& w, int emissions, int particles) {
	w.set("systemMaxEmissions", std::to_string(emissions))
		.set("systemRate", "CONSTANT 1000000")
		.set("emissionMaxParticles", std::to_string(particles))
		.set("emissionRate", "CONSTANT 1000000")
		.set("particleLifeTime", "CONSTANT -1")
		.set("particleStartVelocity", "POINT 0 0 0")
		.set("shaderName", "particle.fx");
}

/** The system at (0, 0, 10) in front of a camera at the origin, in one tree. */
struct Stage {
	lang::Ptr<test::FakeContext> context;
	lang::Ptr<hgr::Node> root = new hgr::Node;
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;

	explicit Stage(int platform = gr::Context::PLATFORM_EGL) : context(new test::FakeContext(640, 480, platform)) {
		camera->linkTo(root);
	}
	void add(hgr::ParticleSystem* s) {
		s->setPosition(math::Vector3(0, 0, 10));
		s->linkTo(root);
	}
};

TEST(ParticlePools, EveryFactorUpToItsMaximumLoadsWithoutPoolsMadeUpFront) {
	struct Case {
		int emissions, particles;
		bool grows;
	};
	const Case cases[] = {{64, 64, false}, {4097, 1, true}, {256, 256, true}, {300, 300, true}, {10922, 10922, true}};
	for (const Case& c : cases) {
		SCOPED_TRACE(std::to_string(c.emissions) + " x " + std::to_string(c.particles));
		test::ParticleDescriptionWriter writer;
		writer.set("systemMaxEmissions", std::to_string(c.emissions))
			.set("emissionMaxParticles", std::to_string(c.particles));
		lang::Ptr<test::FakeContext> context = new test::FakeContext;
		lang::Ptr<hgr::ParticleSystem> s = loadSystem(writer, context);
		EXPECT_EQ(c.grows, s->poolsGrow());
		EXPECT_EQ(c.grows ? 0 : c.emissions * c.particles, s->getParticleRoom());
		// The default description: one emission a second, four particles a
		// second each (as many as fit), living two seconds.
		for (int i = 0; i < 3; ++i)
			s->update(1.f);
		EXPECT_EQ(3, s->getEmissionCount());
		EXPECT_EQ(c.particles >= 8 ? 8 + 8 + 4 : 3, s->getParticleCount());
		expectConsistent(*s);
		if (c.grows) {
			EXPECT_LE(s->getParticleRoom(), 3 * 16);
		}
	}
}

TEST(ParticlePools, GrownPoolsKeepTheLimitsAndKillPolicies) {
	// One emission of at most 5000 particles, 3000 born per second.
	test::ParticleDescriptionWriter writer;
	writer.set("systemMaxEmissions", "1")
		.set("emissionMaxParticles", "5000")
		.set("emissionRate", "CONSTANT 3000")
		.set("particleLifeTime", "CONSTANT -1")
		.set("emissionLimitKill", "OLDEST");
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	lang::Ptr<hgr::ParticleSystem> s = loadSystem(writer, context);
	ASSERT_TRUE(s->poolsGrow());
	s->update(1.f);
	EXPECT_EQ(3000, s->getParticleCount());
	s->update(1.f);
	// 2000 more fill the emission (its pool no larger than its maximum); the
	// other 1000 replace the oldest.
	ASSERT_EQ(5000, s->getParticleCount());
	EXPECT_EQ(5000, s->getEmission(0).particles.size());
	EXPECT_EQ(5000, s->getParticleRoom());
	int newborn = 0;
	for (int k = 0; k < 5000; ++k)
		if (s->getEmission(0).particles[k].age == 1.f)
			++newborn;
	EXPECT_EQ(3000, newborn);
	expectConsistent(*s);

	// Emissions that die hand their pools on to the next ones.
	test::ParticleDescriptionWriter churn;
	churn.set("systemMaxEmissions", "100")
		.set("systemRate", "CONSTANT 20")
		.set("emissionMaxParticles", "100")
		.set("emissionRate", "CONSTANT 200")
		.set("emissionLifeTime", "RANGE 0.2 1")
		.set("particleLifeTime", "RANGE 0.1 0.6");
	std::srand(5);
	lang::Ptr<hgr::ParticleSystem> c = loadSystem(churn, context);
	ASSERT_TRUE(c->poolsGrow());
	for (int i = 0; i < 300; ++i) {
		c->update(0.05f);
		expectConsistent(*c);
	}
	EXPECT_GT(c->getParticleCount(), 0);
}

TEST(ParticlePools, AtMostTheBudgetLivesAndTheFirstSystemToReachItSaysSo) {
	test::ParticleDescriptionWriter writer;
	floodingSystem(writer, 10922, 10922);
	Stage stage;
	lang::Ptr<hgr::ParticleSystem> s = loadSystem(writer, stage.context, "flood.prs");
	stage.add(s);

	testing::internal::CaptureStdout();
	s->update(0.1f);
	s->update(0.1f);
	lang::Ptr<hgr::ParticleSystem> copy = new hgr::ParticleSystem(*s);
	copy->update(0.1f);
	const std::string out = testing::internal::GetCapturedStdout();

	// Every emission launched; the first six filled and the seventh took what was left.
	EXPECT_EQ(10922, s->getEmissionCount());
	EXPECT_EQ(BUDGET, s->getParticleCount());
	EXPECT_EQ(10922, s->getEmission(5).particleCount);
	EXPECT_EQ(BUDGET - 6 * 10922, s->getEmission(6).particleCount);
	EXPECT_EQ(0, s->getEmission(7).particleCount);
	EXPECT_EQ(BUDGET, copy->getParticleCount());
	expectConsistent(*s);
	EXPECT_LE(s->getParticleRoom(), 2 * BUDGET);
	// One line for the description, whichever of its systems met the budget.
	const std::string line = "Particle system \"" + writer.dir() +
							 "flood.prs\" reached its budget of 65536 live "
							 "particles: further particles are not emitted\n";
	EXPECT_EQ(line, out);

	// All of them are drawn: six vertices each in one primitive with room for the budget.
	stage.context->log.clear();
	stage.camera->render(stage.context);
	gr::Primitive* p = s->getPrimitive();
	ASSERT_NE(nullptr, p);
	EXPECT_EQ(6 * BUDGET, p->getVertexCount());
	EXPECT_EQ(6 * BUDGET, p->getVertexRangeEnd());
}

TEST(ParticlePools, TheViewSpaceBuilderDrawsTheBudgetInSixteenBitBatches) {
	test::ParticleDescriptionWriter writer;
	floodingSystem(writer, 300, 300);
	Stage stage(gr::Context::PLATFORM_N3D);
	lang::Ptr<hgr::ParticleSystem> s = loadSystem(writer, stage.context);
	stage.add(s);
	s->update(0.1f);
	ASSERT_EQ(300 * 218 + 136, BUDGET);
	ASSERT_EQ(BUDGET, s->getParticleCount());
	stage.context->log.clear();
	stage.camera->render(stage.context);
	gr::Primitive* p = s->getPrimitive();
	ASSERT_NE(nullptr, p);
	EXPECT_EQ(10922 * 4, p->getVertexCount());
	// Six full batches and one of the four left.
	EXPECT_EQ(7u, stage.context->log.find("primitive.render").size());
	EXPECT_EQ(4 * (BUDGET - 6 * 10922), p->getVertexRangeEnd());
}

TEST(ParticlePools, RoomGivenBackOnceEmissionsLeaveMoreThanTwiceTheBudget) {
	// A new emission every second fills its pool of 10922 in one update,
	// emits no more in the next and lives on; its particles die in their
	// second update after that. Each slot would keep room for 10922
	// particles for ever.
	test::ParticleDescriptionWriter writer;
	writer.set("systemMaxEmissions", "10922")
		.set("systemRate", "CONSTANT 1")
		.set("emissionMaxParticles", "10922")
		.set("emissionRate", "CONSTANT 100000")
		.set("emissionStopTime", "CONSTANT 1.5")
		.set("emissionLifeTime", "CONSTANT -1")
		.set("particleLifeTime", "CONSTANT 1.5");
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	lang::Ptr<hgr::ParticleSystem> s = loadSystem(writer, context);
	int most = 0;
	for (int i = 0; i < 30; ++i) {
		s->update(1.f);
		expectConsistent(*s);
		int room = 0;
		for (int k = 0; k < s->getEmissionCount(); ++k)
			room += s->getEmission(k).particles.size();
		EXPECT_LE(room, s->getParticleRoom());
		most = std::max(most, s->getParticleRoom());
		ASSERT_LE(s->getParticleRoom(), 2 * BUDGET + 16) << "update " << i;
	}
	EXPECT_EQ(30, s->getEmissionCount());
	EXPECT_GT(most, BUDGET); // the limit was met, not merely stayed below
}

TEST(ParticlePools, AGrownSystemUpdatesAndDrawsWithoutAllocating) {
	// 100 x 100 grows its pools: steady births and deaths once grown.
	test::ParticleDescriptionWriter writer;
	writer.set("systemMaxEmissions", "100")
		.set("systemRate", "CONSTANT 1000")
		.set("emissionMaxParticles", "100")
		.set("emissionRate", "CONSTANT 50")
		.set("particleLifeTime", "CONSTANT 1")
		.set("shaderName", "particle.fx");
	for (int platform : {int(gr::Context::PLATFORM_EGL), int(gr::Context::PLATFORM_N3D)}) {
		SCOPED_TRACE(platform);
		Stage stage(platform);
		lang::Ptr<hgr::ParticleSystem> s = loadSystem(writer, stage.context);
		ASSERT_TRUE(s->poolsGrow());
		stage.add(s);
		stage.context->log.enabled = false;
		const float dt = 1.f / 60.f;
		for (int i = 0; i < 180; ++i) {
			s->update(dt);
			stage.camera->render(stage.context);
		}
		const long before = test::allocationCount();
		for (int i = 0; i < 120; ++i) {
			s->update(dt);
			stage.camera->render(stage.context);
		}
		EXPECT_EQ(0, test::allocationCount() - before);
		EXPECT_GT(s->getParticleCount(), 4000);
	}
}

} // namespace
