#include <hgr/ParticleDomain.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using Domain = hgr::ParticleSystem::Domain;

namespace {

const int DRAWS = 2000;

TEST(ParticleDomain, ParsesTypeAndParameterCount) {
	struct Case {
		const char* text;
		Domain::ParseResult result;
		int type;
	};
	const Case cases[] = {
		{"NONE", Domain::PARSE_OK, Domain::NONE},
		{"  CONSTANT\t-3", Domain::PARSE_OK, Domain::CONSTANT},
		{"RANGE 1 2 trailing words", Domain::PARSE_OK, Domain::RANGE},
		{"SPHERE 0 0 0 1 2", Domain::PARSE_OK, Domain::SPHERE},
		{"RECTANGLE 1 2 3 4 5 6 7 8 9", Domain::PARSE_OK, Domain::RECTANGLE},
		{"", Domain::PARSE_NO_TYPE, Domain::NONE},
		{"   ", Domain::PARSE_NO_TYPE, Domain::NONE},
		{"Constant 1", Domain::PARSE_UNKNOWN_TYPE, Domain::NONE},
		{"RANGE 1", Domain::PARSE_TOO_FEW, Domain::NONE},
		{"DISK 1 2 3 4 5 6 7", Domain::PARSE_TOO_FEW, Domain::NONE},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.text);
		Domain d(Domain::POINT, 9, 9, 9);
		EXPECT_EQ(d.parse(c.text), c.result);
		EXPECT_EQ(d.type, c.type);
	}
	EXPECT_EQ(Domain().parse(nullptr), Domain::PARSE_NO_TYPE);
	const int counts[] = {0, 1, 2, 3, 5, 6, 6, 8, 8, 9, 9};
	for (int t = 0; t <= Domain::TRIANGLE; ++t) {
		EXPECT_EQ(Domain::parameterCount(t), counts[t]);
		EXPECT_EQ(Domain::parseType(Domain::typeName(t)), t);
	}
	EXPECT_EQ(Domain::parseType("CONE"), Domain::UNKNOWN);
}

TEST(ParticleDomain, LongTypeWordIsRefusedWithoutOverrun) {
	std::string text(5000, 'X');
	text += " 1";
	Domain d;
	EXPECT_EQ(d.parse(text.c_str()), Domain::PARSE_UNKNOWN_TYPE);
	std::string exact(Domain::MAX_TYPE_NAME + 1, 'A');
	EXPECT_EQ(d.parse(exact.c_str()), Domain::PARSE_UNKNOWN_TYPE);
}

TEST(ParticleDomain, RandomStaysBelowOne) {
	EXPECT_EQ(Domain::unit(0), 0.f);
	EXPECT_LT(Domain::unit(RAND_MAX), 1.f);
	EXPECT_LT(Domain::unit(RAND_MAX - 1), 1.f);
	EXPECT_GT(Domain::unit(RAND_MAX), 0.99f);
	std::srand(7);
	for (int i = 0; i < 100000; ++i) {
		const float u = Domain::random();
		ASSERT_GE(u, 0.f);
		ASSERT_LT(u, 1.f);
	}
}

TEST(ParticleDomain, ScalarDraws) {
	std::srand(1);
	EXPECT_EQ(Domain().drawScalar(), 0.f);
	EXPECT_EQ(Domain(Domain::CONSTANT, 4.5f).drawScalar(), 4.5f);
	EXPECT_EQ(Domain(Domain::POINT, 1, 2, 3).drawScalar(), 1.f);
	float lo = 10, hi = -10;
	for (int i = 0; i < DRAWS; ++i) {
		EXPECT_EQ(Domain(Domain::RANGE, 2, 2).drawScalar(), 2.f);
		const float v = Domain(Domain::RANGE, 5, 1).drawScalar();
		ASSERT_GT(v, 1.f);
		ASSERT_LE(v, 5.f);
		lo = std::min(lo, v);
		hi = std::max(hi, v);
	}
	EXPECT_LT(lo, 1.1f);
	EXPECT_GT(hi, 4.9f);
}

TEST(ParticleDomain, ConstantAndRangeVectorsFillXOnly) {
	std::srand(2);
	const math::Vector3 c = Domain(Domain::CONSTANT, 3).drawVector();
	EXPECT_EQ(c.x, 3.f);
	EXPECT_EQ(c.y, 0.f);
	EXPECT_EQ(c.z, 0.f);
	const math::Vector3 r = Domain(Domain::RANGE, 1, 2).drawVector();
	EXPECT_GE(r.x, 1.f);
	EXPECT_EQ(r.y, 0.f);
	EXPECT_EQ(r.z, 0.f);
	const math::Vector3 n = Domain().drawVector();
	EXPECT_EQ(n.x + n.y + n.z, 0.f);
}

TEST(ParticleDomain, SphereShells) {
	std::srand(3);
	const Domain shell(Domain::SPHERE, 1, 2, 3, 4, 4);
	const Domain ball(Domain::SPHERE, 0, 0, 0, 0, 10);
	int outerHalf = 0;
	for (int i = 0; i < DRAWS; ++i) {
		const math::Vector3 p = shell.drawVector() - math::Vector3(1, 2, 3);
		ASSERT_NEAR(p.length(), 4.f, 1e-4f);
		const float r = ball.drawVector().length();
		ASSERT_LE(r, 10.f + 1e-4f);
		if (r > 5.f)
			++outerHalf;
	}
	// radius = outer + u^3 (inner - outer): weighted towards the outer radius.
	EXPECT_GT(outerHalf, DRAWS * 3 / 4);
}

TEST(ParticleDomain, LineBoxRectangleAndTriangle) {
	std::srand(4);
	for (int i = 0; i < DRAWS; ++i) {
		const math::Vector3 l = Domain(Domain::LINE, 0, 0, 0, 2, 4, 6).drawVector();
		ASSERT_NEAR(l.y, 2.f * l.x, 1e-5f);
		ASSERT_NEAR(l.z, 3.f * l.x, 1e-5f);
		const math::Vector3 b = Domain(Domain::BOX, -1, 0, 10, 1, 2, 20).drawVector();
		ASSERT_TRUE(b.x >= -1 && b.x <= 1 && b.y >= 0 && b.y <= 2 && b.z >= 10 && b.z <= 20);
		const math::Vector3 r = Domain(Domain::RECTANGLE, 5, 5, 5, 2, 0, 0, 0, 3, 0).drawVector();
		ASSERT_TRUE(r.x >= 5 && r.x <= 7 && r.y >= 5 && r.y <= 8 && r.z == 5);
		const math::Vector3 t = Domain(Domain::TRIANGLE, 0, 0, 0, 1, 0, 0, 0, 1, 0).drawVector();
		ASSERT_TRUE(t.x >= 0 && t.y >= 0 && t.x + t.y <= 1.f + 1e-6f && t.z == 0) << t.x << " " << t.y;
	}
}

TEST(ParticleDomain, BoxDrawsZFirst) {
	std::srand(5);
	const float u1 = Domain::random();
	const float u2 = Domain::random();
	const float u3 = Domain::random();
	std::srand(5);
	const math::Vector3 b = Domain(Domain::BOX, 0, 0, 0, 1, 1, 1).drawVector();
	EXPECT_EQ(b.z, u1);
	EXPECT_EQ(b.y, u2);
	EXPECT_EQ(b.x, u3);
}

TEST(ParticleDomain, DiskAndCylinderLieAcrossTheirAxis) {
	std::srand(6);
	for (int i = 0; i < DRAWS; ++i) {
		// A disk about (1, 2, 3) facing +x: x stays, radius between 1 and 2.
		const math::Vector3 d = Domain(Domain::DISK, 1, 2, 3, 5, 0, 0, 1, 2).drawVector();
		ASSERT_NEAR(d.x, 1.f, 1e-5f);
		const float r = (d - math::Vector3(1, 2, 3)).length();
		ASSERT_TRUE(r >= 1.f - 1e-4f && r <= 2.f + 1e-4f) << r;
		// A cylinder along y from 0 to 10 with radius 3.
		const math::Vector3 c = Domain(Domain::CYLINDER, 0, 0, 0, 0, 10, 0, 3, 3).drawVector();
		ASSERT_TRUE(c.y >= 0.f && c.y <= 10.f);
		ASSERT_NEAR(std::sqrt(c.x * c.x + c.z * c.z), 3.f, 1e-4f);
	}
	// A disk without a normal collapses to its origin instead of going wild.
	const math::Vector3 flat = Domain(Domain::DISK, 1, 1, 1, 0, 0, 0, 1, 2).drawVector();
	EXPECT_TRUE(flat.isFinite());
}

} // namespace
