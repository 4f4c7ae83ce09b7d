// Rail path geometry: ordering loose segments into pieces, up vectors from an
// orientation line, gaps, and the three queries.

#include "VectorMatch.h"

#include <player/RailPath.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using lumaroll::RailPath;
using lumaroll::RailSample;
using math::Vector3;
using playertest::near;

namespace {

const Vector3 P(0, 0, 0), Q(100, 0, 0), R(200, 0, 0), S(500, 0, 0), T(600, 0, 0);

// Segments as buildRailPoints takes them: start and end of each.
std::vector<Vector3> segments(const std::vector<std::pair<Vector3, Vector3>>& list) {
	std::vector<Vector3> out;
	for (const auto& s : list) {
		out.push_back(s.first);
		out.push_back(s.second);
	}
	return out;
}

RailPath pathThrough(const std::vector<std::pair<Vector3, Vector3>>& list,
					 const std::vector<Vector3>& orientation = {}) {
	std::vector<size_t> pieces;
	const std::vector<Vector3> points = lumaroll::buildRailPoints(segments(list), &pieces);
	RailPath path;
	path.setPoints(points, orientation);
	path.setPieces(pieces);
	return path;
}

struct OrderCase {
	const char* name;
	std::vector<std::pair<Vector3, Vector3>> segments;
	std::vector<Vector3> points;
	std::vector<size_t> pieceStarts;
};

TEST(RailPath, SegmentsAreOrderedIntoPieces) {
	const Vector3 branch(200, 100, 0);
	const OrderCase cases[] = {
		{"the start is the free end", {{Q, R}, {P, Q}}, {P, Q, R}, {}},
		{"a segment drawn backwards", {{P, Q}, {R, Q}}, {P, Q, R}, {}},
		{"two pieces", {{P, Q}, {S, T}}, {P, Q, S, T}, {2}},
		{"ends 1.9 apart join", {{P, Q}, {Vector3(101.9f, 0, 0), R}}, {P, Q, R}, {}},
		{"ends 2.0 apart do not", {{P, Q}, {Vector3(102, 0, 0), R}}, {P, Q, Vector3(102, 0, 0), R}, {2}},
		{"the straightest branch wins", {{P, Q}, {Q, branch}, {Q, R}}, {P, Q, R, Q, branch}, {3}},
		{"a closed loop starts at its first segment", {{Q, R}, {R, P}, {P, Q}}, {Q, R, P, Q}, {}},
		{"no segments", {}, {}, {}},
	};
	for (const OrderCase& c : cases) {
		std::vector<size_t> pieces{99};
		const std::vector<Vector3> points = lumaroll::buildRailPoints(segments(c.segments), &pieces);
		ASSERT_EQ(c.points.size(), points.size()) << c.name;
		for (size_t i = 0; i < points.size(); ++i)
			EXPECT_TRUE(near(c.points[i], points[i])) << c.name << ", point " << i;
		EXPECT_EQ(c.pieceStarts, pieces) << c.name;
	}
}

TEST(RailPath, GapsAddNoLengthAndNoQueryLandsInThem) {
	const RailPath path = pathThrough({{P, Q}, {S, T}});
	EXPECT_EQ((std::vector<bool>{false, true, false, false}), path.gaps);
	EXPECT_EQ((std::vector<float>{0, 100, 100, 200}), path.lengths);
	const auto outsideGap = [](const RailSample& s) { return !(s.position.x > 100.5f && s.position.x < 499.5f); };
	for (float x = -50.f; x <= 650.f; x += 25.f) {
		const Vector3 at(x, 30, 0);
		EXPECT_TRUE(outsideGap(path.closestPoint(at))) << "closestPoint at x " << x;
		EXPECT_TRUE(outsideGap(path.closestPointNear(at, 100.f, 10.f, 10.f))) << "closestPointNear at x " << x;
	}
	for (float d = -10.f; d <= 210.f; d += 5.f)
		EXPECT_TRUE(outsideGap(path.sampleAtDistance(d))) << "sampleAtDistance " << d;
	EXPECT_TRUE(near(Vector3(550, 0, 0), path.sampleAtDistance(150.f).position));
}

TEST(RailPath, QueriesAtTheEndsAndOnDegeneratePaths) {
	const RailPath bent = pathThrough({{P, Q}, {Q, Vector3(100, 0, 100)}});
	const RailSample before = bent.sampleAtDistance(-5.f);
	EXPECT_TRUE(near(P, before.position));
	EXPECT_TRUE(near(Vector3(1, 0, 0), before.tangent));
	const RailSample beyond = bent.sampleAtDistance(1e9f);
	EXPECT_TRUE(near(Vector3(100, 0, 100), beyond.position));
	EXPECT_TRUE(near(Vector3(0, 0, 1), beyond.tangent)) << "the last segment's tangent";
	EXPECT_EQ(200.f, beyond.distance);

	RailPath single;
	single.setPoints({Q}, {});
	const RailSample none = single.closestPoint(Vector3(5, 5, 5));
	EXPECT_EQ(1e30f, none.offset);
	EXPECT_TRUE(near(Vector3(), none.position));
	EXPECT_EQ(1e30f, single.closestPointNear(Vector3(5, 5, 5), 0.f, 10.f, 10.f).offset);
	EXPECT_TRUE(near(Vector3(), single.sampleAtDistance(3.f).position));

	const RailPath zero = pathThrough({{Q, Q}});
	EXPECT_TRUE(near(Vector3(0, 0, 1), zero.sample(0, 0.5f).tangent));
	EXPECT_EQ(0.f, zero.closestPoint(P).distance);

	// A vertical segment: the up (0, 1, 0) runs along the tangent and stays as it is.
	const RailPath upright = pathThrough({{P, Vector3(0, 100, 0)}});
	EXPECT_TRUE(near(Vector3(0, 1, 0), upright.sample(0, 0.3f).up));
}

TEST(RailPath, TheWindowedQueryStaysOnItsPartOfTheTrack) {
	// A hairpin: out along +x and back 100 above.
	const Vector3 far(1000, 0, 0), back(0, 100, 0);
	const RailPath hairpin = pathThrough({{P, far}, {far, Vector3(1000, 100, 0)}, {Vector3(1000, 100, 0), back}});
	const Vector3 between(500, 45, 0);
	EXPECT_NEAR(500.f, hairpin.closestPointNear(between, 500.f, 200.f, 200.f).distance, 1e-3f);
	EXPECT_NEAR(1600.f, hairpin.closestPointNear(between, 1600.f, 200.f, 200.f).distance, 1e-3f);
	EXPECT_NEAR(55.f, hairpin.closestPointNear(between, 1600.f, 200.f, 200.f).offset, 1e-3f);
	// A window beyond the path's end holds no segment: the whole path answers.
	const RailSample fallback = hairpin.closestPointNear(between, 9000.f, 10.f, 10.f);
	EXPECT_NEAR(500.f, fallback.distance, 1e-3f);
	EXPECT_NEAR(45.f, fallback.offset, 1e-3f);
}

TEST(RailPath, UpsAimAtTheOrientationLine) {
	const std::vector<Vector3> points{P, Q, R};
	const Vector3 o(100, 1000, 300);
	RailPath one;
	one.setPoints(points, {o});
	for (size_t i = 0; i < points.size(); ++i)
		EXPECT_TRUE(near((o - points[i]).normalize(), one.ups[i])) << "one orientation point, up " << i;

	RailPath none;
	none.setPoints(points, {});
	EXPECT_TRUE(near(Vector3(0, 1, 0), none.ups[1]));

	// As many orientation points as path points: each pairs with its own,
	// also when the orientation line was drawn the other way.
	const std::vector<Vector3> aims{Vector3(0, 100, 50), Vector3(100, 100, -50), Vector3(200, 100, 0)};
	RailPath forward, backward;
	forward.setPoints(points, aims);
	backward.setPoints(points, {aims[2], aims[1], aims[0]});
	for (size_t i = 0; i < points.size(); ++i) {
		EXPECT_TRUE(near((aims[i] - points[i]).normalize(), forward.ups[i])) << "paired up " << i;
		EXPECT_TRUE(near(forward.ups[i], backward.ups[i])) << "reversed orientation line, up " << i;
	}

	// A sample blends the ups of its segment's ends and keeps only the part across the track.
	const RailSample s = forward.sample(0, 0.5f);
	EXPECT_NEAR(0.f, s.up.dot(s.tangent), 1e-6f);
	EXPECT_NEAR(1.f, s.up.length(), 1e-6f);
}

// The corners of a square loop of 8000 at height y, in drawing order.
std::vector<Vector3> square(float y) {
	return {Vector3(0, y, 0), Vector3(8000, y, 0), Vector3(8000, y, 8000), Vector3(0, y, 8000)};
}

// The loop through corners, closed, drawn as one segment per side in order.
std::vector<std::pair<Vector3, Vector3>> loop(const std::vector<Vector3>& corners) {
	std::vector<std::pair<Vector3, Vector3>> out;
	for (size_t i = 0; i < corners.size(); ++i)
		out.emplace_back(corners[i], corners[(i + 1) % corners.size()]);
	return out;
}

// The same drawing run the other way: last segment first, each from end to start.
std::vector<std::pair<Vector3, Vector3>> reversed(const std::vector<std::pair<Vector3, Vector3>>& drawing) {
	std::vector<std::pair<Vector3, Vector3>> out;
	for (auto s = drawing.rbegin(); s != drawing.rend(); ++s)
		out.emplace_back(s->second, s->first);
	return out;
}

struct PairingCase {
	const char* name;
	std::vector<std::pair<Vector3, Vector3>> track, orientation;
};

TEST(RailPath, OrientationLinesPairWithTheirOwnPointsOpenOrClosed) {
	// Every orientation line lies 1000 above its track: every up is straight up.
	const std::vector<Vector3> low = square(0), high = square(1000);
	const PairingCase cases[] = {
		{"a closed loop, both drawn the same way", loop(low), loop(high)},
		{"a closed loop, both drawn the other way round", reversed(loop(low)), reversed(loop(high))},
		{"a closed loop, its orientation line drawn the other way round", loop(low), reversed(loop(high))},
		{"an open track, both drawn the same way",
		 {{low[0], low[1]}, {low[1], low[2]}},
		 {{high[0], high[1]}, {high[1], high[2]}}},
		{"an open track, its orientation line drawn from the other end",
		 {{low[0], low[1]}, {low[1], low[2]}},
		 {{high[2], high[1]}, {high[1], high[0]}}},
	};
	for (const PairingCase& c : cases) {
		const std::vector<Vector3> points = lumaroll::buildRailPoints(segments(c.track));
		const std::vector<Vector3> aims = lumaroll::buildRailPoints(segments(c.orientation));
		ASSERT_EQ(points.size(), aims.size()) << c.name;
		RailPath path;
		path.setPoints(points, aims);
		for (size_t i = 0; i < points.size(); ++i)
			EXPECT_TRUE(near(Vector3(0, 1, 0), path.ups[i]))
				<< c.name << ", up " << i << ": " << path.ups[i].x << " " << path.ups[i].y << " " << path.ups[i].z;
	}
}

TEST(RailPath, NumbersThatAreNotFiniteBreakNothing) {
	const float nan = std::nanf("");
	RailPath path;
	path.setPoints({P, Q, Vector3(nan, 0, 0), R}, {Vector3(nan, nan, nan)});
	path.setPieces({2, 77});
	for (const Vector3& up : path.ups)
		EXPECT_TRUE(near(Vector3(0, 1, 0), up));
	const RailSample s = path.closestPointNear(Vector3(50, 10, 0), 50.f, 10.f, 10.f);
	EXPECT_NEAR(50.f, s.position.x, 1e-3f);
	path.sampleAtDistance(nan);
	path.closestPointNear(Vector3(50, 10, 0), nan, 1.f, 1.f);
	const std::vector<Vector3> points =
		lumaroll::buildRailPoints(segments({{P, Vector3(nan, 0, 0)}, {Vector3(nan, 0, 0), Q}, {Q, R}}));
	EXPECT_EQ(5u, points.size()) << "no end point joins a point that is not a number";
}

} // namespace
