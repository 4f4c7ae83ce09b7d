// Transform animations: rotation interpolation (quarter turns, q and -q, bad
// keys), timed keys, empty channels, the four end behaviours on a node
// transform, lengths, and the animation set.
#include <hgr/TransformAnimation.h>
#include <hgr/TransformAnimationSet.h>

#include <gr/VertexFormat.h>
#include <lang/Exception.h>
#include <lang/Ptr.h>
#include <lang/String.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <limits>

using hgr::KeyframeSequence;
using hgr::TransformAnimation;
using hgr::TransformAnimationSet;
using math::Matrix3x4;
using math::Quaternion;
using math::Vector3;

namespace {

const float kHalf = std::sqrt(0.5f);
const float kTol = 1e-5f;

::testing::AssertionResult near(const Vector3& a, const Vector3& b) {
	if (std::fabs(a.x - b.x) <= kTol && std::fabs(a.y - b.y) <= kTol && std::fabs(a.z - b.z) <= kTol)
		return ::testing::AssertionSuccess();
	return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x << ", " << b.y
										 << ", " << b.z << ")";
}

/** Equal as rotations: q and -q match. */
::testing::AssertionResult sameRotation(const Quaternion& a, const Quaternion& b) {
	if (std::fabs(std::fabs(a.dot(b)) - 1.f) <= kTol)
		return ::testing::AssertionSuccess();
	return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ", " << a.w << ") vs (" << b.x
										 << ", " << b.y << ", " << b.z << ", " << b.w << ")";
}

KeyframeSequence* positions(std::initializer_list<Vector3> keys) {
	KeyframeSequence* seq = new KeyframeSequence((int)keys.size(), gr::VertexFormat::V3_32);
	float* out = reinterpret_cast<float*>(seq->getKeyData());
	for (const Vector3& v : keys) {
		*out++ = v.x;
		*out++ = v.y;
		*out++ = v.z;
	}
	return seq;
}

KeyframeSequence* rotations(std::initializer_list<Quaternion> keys) {
	KeyframeSequence* seq = new KeyframeSequence((int)keys.size(), gr::VertexFormat::V4_32);
	if (keys.size() > 0)
		std::memcpy(seq->getKeyData(), keys.begin(), keys.size() * sizeof(Quaternion));
	return seq;
}

/** An animation of rotation keys alone, one key per time unit. */
lang::Ptr<TransformAnimation> turning(int behaviour, std::initializer_list<Quaternion> keys) {
	return new TransformAnimation(behaviour, nullptr, rotations(keys), nullptr, 1, 1, 1);
}

Quaternion rotationAt(const TransformAnimation& anim, float t) {
	Vector3 p, s;
	Quaternion q(9.f, 9.f, 9.f, 9.f);
	anim.eval(p, q, s, t);
	return q;
}

const Quaternion kIdentity(0.f, 0.f, 0.f, 1.f);
const Quaternion kHalfTurnZ(0.f, 0.f, 1.f, 0.f);
const Quaternion kQuarterTurnZ(0.f, 0.f, kHalf, kHalf);
const Quaternion kQuarterTurnX(kHalf, 0.f, 0.f, kHalf);

TEST(TransformAnimationRotation, HalfwayToAHalfTurnIsAQuarterTurn) {
	lang::Ptr<TransformAnimation> anim = turning(KeyframeSequence::STOP, {kIdentity, kHalfTurnZ});
	EXPECT_TRUE(sameRotation(kQuarterTurnZ, rotationAt(*anim, 0.5f)));
	// The quarter turn takes the x axis to the y axis.
	const Matrix3x4 m = anim->getTransform(0.5f);
	EXPECT_TRUE(near(Vector3(0.f, 1.f, 0.f), m.getColumn(0)));
	EXPECT_TRUE(near(Vector3(-1.f, 0.f, 0.f), m.getColumn(1)));
	for (float t : {1.f, 1.5f, 40.f})
		EXPECT_TRUE(sameRotation(kHalfTurnZ, rotationAt(*anim, t))) << "t=" << t;
}

TEST(TransformAnimationRotation, NegatedKeyHoldsTheRotation) {
	const Quaternion q = kQuarterTurnX;
	lang::Ptr<TransformAnimation> anim = turning(KeyframeSequence::STOP, {q, -q});
	for (float t : {0.f, 0.25f, 0.5f, 0.75f}) {
		const Quaternion r = rotationAt(*anim, t);
		EXPECT_NEAR(1.f, r.dot(q), kTol) << "t=" << t; // q itself, not a turn through a full circle
	}
}

TEST(TransformAnimationRotation, ResultIsUnitLength) {
	// Keys of length 2 and 0.5: the interpolated rotation is still normalised.
	lang::Ptr<TransformAnimation> anim = turning(KeyframeSequence::REPEAT, {kIdentity * 2.f, kQuarterTurnZ * 0.5f});
	for (float t : {0.f, 0.3f, 0.5f, 1.2f})
		EXPECT_NEAR(1.f, rotationAt(*anim, t).length(), kTol) << "t=" << t;
}

TEST(TransformAnimationRotation, ZeroKeysGiveTheIdentityNotNaN) {
	// A fresh sequence holds zero keys: (0, 0, 0, 0) is no rotation.
	lang::Ptr<TransformAnimation> zeros =
		new TransformAnimation(KeyframeSequence::REPEAT, positions({Vector3(1.f, 2.f, 3.f)}),
							   new KeyframeSequence(3, gr::VertexFormat::V4_32), nullptr, 1, 1, 1);
	for (float t : {0.f, 0.5f, 1.7f}) {
		const Matrix3x4 m = zeros->getTransform(t);
		EXPECT_TRUE(m.isFinite()) << "t=" << t;
		EXPECT_TRUE(sameRotation(kIdentity, rotationAt(*zeros, t)));
		EXPECT_TRUE(near(Vector3(1.f, 2.f, 3.f), m.getColumn(3)));
	}
}

TEST(TransformAnimationRotation, ZeroOrNonFiniteKeyCountsAsIdentity) {
	const float nan = std::numeric_limits<float>::quiet_NaN();
	const float inf = std::numeric_limits<float>::infinity();
	const Quaternion bad[] = {Quaternion(0.f, 0.f, 0.f, 0.f), Quaternion(nan, 0.f, 0.f, 1.f),
							  Quaternion(0.f, inf, 0.f, 0.f), Quaternion(1e-30f, 0.f, 0.f, 0.f)};
	for (const Quaternion& b : bad) {
		SCOPED_TRACE(::testing::Message() << "first key (" << b.x << ", " << b.y << ", " << b.z << ", " << b.w << ")");
		// Halfway from "no rotation" to a half turn about z is the quarter turn.
		lang::Ptr<TransformAnimation> anim = turning(KeyframeSequence::STOP, {b, kHalfTurnZ});
		const Quaternion r = rotationAt(*anim, 0.5f);
		EXPECT_TRUE(r.isFinite());
		EXPECT_TRUE(sameRotation(kQuarterTurnZ, r));
		EXPECT_TRUE(sameRotation(kIdentity, rotationAt(*anim, 0.f)));
	}
}

TEST(TransformAnimationRotation, OnlyTheCurrentIntervalTakesPart) {
	// Rotations are slerped between two keys, never splined through their neighbours.
	lang::Ptr<TransformAnimation> anim =
		turning(KeyframeSequence::STOP, {kHalfTurnZ, kIdentity, kQuarterTurnZ, kHalfTurnZ});
	const Quaternion eighth(0.f, 0.f, std::sin(0.3926991f), std::cos(0.3926991f));
	EXPECT_TRUE(sameRotation(eighth, rotationAt(*anim, 1.5f)));
}

TEST(TransformAnimationTimedKeys, SampleLinearlyAndRepeat) {
	lang::Ptr<TransformAnimation::Float3Anim> keys = new TransformAnimation::Float3Anim;
	keys->addKey(Vector3(0.f, 0.f, 0.f), 1.f);
	keys->addKey(Vector3(2.f, 0.f, 0.f), 3.f);
	const struct {
		float t;
		float x;
	} cases[] = {{1.f, 0.f}, {2.f, 1.f}, {3.f, 2.f}, {4.f, 0.f}, {5.f, 1.f}, {0.5f, 2.f}};
	for (const auto& c : cases)
		EXPECT_TRUE(near(Vector3(c.x, 0.f, 0.f), keys->sample(c.t))) << "t=" << c.t;

	// As the position channel of an animation, under any end behaviour.
	lang::Ptr<TransformAnimation> anim =
		new TransformAnimation(KeyframeSequence::STOP, keys, rotations({kIdentity}), nullptr, 1, 1, 1, 3.f);
	EXPECT_TRUE(near(Vector3(1.f, 0.f, 0.f), anim->getTransform(2.f).getColumn(3)));
	EXPECT_TRUE(near(Vector3(0.f, 0.f, 0.f), anim->getTransform(4.f).getColumn(3)));
}

TEST(TransformAnimationTimedKeys, UnevenSpacingAndScaleKeys) {
	lang::Ptr<TransformAnimation::Float3Anim> pos = new TransformAnimation::Float3Anim;
	pos->addKey(Vector3(0.f, 0.f, 0.f), 0.f);
	pos->addKey(Vector3(0.f, 10.f, 0.f), 0.5f);
	pos->addKey(Vector3(0.f, 10.f, 20.f), 4.5f);
	lang::Ptr<TransformAnimation::Float3Anim> scale = new TransformAnimation::Float3Anim;
	scale->addKey(Vector3(1.f, 1.f, 1.f), 0.f);
	scale->addKey(Vector3(3.f, 1.f, 1.f), 2.f);
	lang::Ptr<TransformAnimation> anim =
		new TransformAnimation(KeyframeSequence::REPEAT, pos, rotations({kIdentity}), scale, 1, 1, 1, 4.5f);
	Vector3 p, s;
	Quaternion q;
	anim->eval(p, q, s, 0.25f);
	EXPECT_TRUE(near(Vector3(0.f, 5.f, 0.f), p));
	EXPECT_TRUE(near(Vector3(1.25f, 1.f, 1.f), s));
	anim->eval(p, q, s, 2.5f);
	EXPECT_TRUE(near(Vector3(0.f, 10.f, 10.f), p));
	EXPECT_TRUE(near(Vector3(1.5f, 1.f, 1.f), s)); // past the last scale key: wrapped to 0.5
	EXPECT_EQ(4.5f, anim->getEndTime());
}

TEST(TransformAnimationTimedKeys, OneKeyHoldsAndNoKeysGiveZero) {
	TransformAnimation::Float3Anim one;
	one.addKey(Vector3(4.f, 5.f, 6.f), 2.f);
	for (float t : {0.f, 2.f, 100.f})
		EXPECT_TRUE(near(Vector3(4.f, 5.f, 6.f), one.sample(t))) << "t=" << t;
	TransformAnimation::Float3Anim none;
	EXPECT_TRUE(near(Vector3(), none.sample(1.f)));
}

/** Empty channels are never read at key 0; they give their neutral values. */
TEST(TransformAnimationEmptyChannels, GiveNeutralValues) {
	struct Case {
		const char* name;
		lang::Ptr<TransformAnimation> anim;
	};
	lang::Ptr<TransformAnimation::Float3Anim> noKeys = new TransformAnimation::Float3Anim;
	const Case cases[] = {
		{"empty sequences",
		 new TransformAnimation(KeyframeSequence::REPEAT, positions({}), rotations({}), positions({}), 30, 30, 30)},
		{"no sequences", new TransformAnimation(KeyframeSequence::STOP, nullptr, nullptr, nullptr, 30, 30, 30)},
		{"empty timed keys",
		 new TransformAnimation(KeyframeSequence::OSCILLATE, noKeys, rotations({}), noKeys, 30, 30, 30, 0.f)},
		{"no timed keys", new TransformAnimation(KeyframeSequence::RESET, (TransformAnimation::Float3Anim*)nullptr,
												 nullptr, nullptr, 30, 30, 30, 0.f)},
	};
	for (const Case& c : cases) {
		for (float t : {0.f, 0.5f, 3.f}) {
			SCOPED_TRACE(::testing::Message() << c.name << " at t=" << t);
			Vector3 p(9.f, 9.f, 9.f), s;
			Quaternion q(9.f, 9.f, 9.f, 9.f);
			c.anim->eval(p, q, s, t);
			EXPECT_TRUE(near(Vector3(), p));
			EXPECT_TRUE(sameRotation(kIdentity, q));
			EXPECT_TRUE(near(Vector3(1.f, 1.f, 1.f), s));
			const Matrix3x4 identity;
			for (int r = 0; r < 3; ++r)
				for (int k = 0; k < 4; ++k)
					EXPECT_EQ(identity.m[r][k], c.anim->getTransform(t).m[r][k]) << "row " << r << ", column " << k;
		}
	}
}

TEST(TransformAnimationScale, MissingScaleGivesRotationAndTranslationOnly) {
	lang::Ptr<TransformAnimation> anim =
		new TransformAnimation(KeyframeSequence::STOP, positions({Vector3(1.f, 2.f, 3.f)}), rotations({kQuarterTurnX}),
							   new KeyframeSequence(0, gr::VertexFormat::V3_32), 1, 1, 1);
	const Matrix3x4 m = anim->getTransform(0.f);
	for (int c = 0; c < 3; ++c)
		EXPECT_NEAR(1.f, m.getColumn(c).length(), kTol);
	EXPECT_NEAR(1.f, m.determinant(), kTol);
	EXPECT_TRUE(near(Vector3(0.f, 0.f, 1.f), m.getColumn(1)));
	EXPECT_TRUE(near(Vector3(1.f, 2.f, 3.f), m.getColumn(3)));
}

TEST(TransformAnimationScale, ScalesTheColumnsOfTheRotation) {
	lang::Ptr<TransformAnimation> anim =
		new TransformAnimation(KeyframeSequence::STOP, positions({Vector3(5.f, 6.f, 7.f)}), rotations({kIdentity}),
							   positions({Vector3(2.f, 1.f, 1.f)}), 1, 1, 1);
	const Matrix3x4 m = anim->getTransform(0.f);
	EXPECT_TRUE(near(Vector3(2.f, 0.f, 0.f), m.getColumn(0)));
	EXPECT_TRUE(near(Vector3(0.f, 1.f, 0.f), m.getColumn(1)));
	EXPECT_TRUE(near(Vector3(0.f, 0.f, 1.f), m.getColumn(2)));
	EXPECT_TRUE(near(Vector3(5.f, 6.f, 7.f), m.getColumn(3)));
}

/** Positions 0, 10, 20, 30 along x, one key per time unit, under each end behaviour. */
struct EndCase {
	int behaviour;
	float t;
	float x;
};

void PrintTo(const EndCase& c, std::ostream* os) {
	*os << KeyframeSequence::getEndBehaviourName(c.behaviour) << " at t=" << c.t;
}

class TransformAnimationEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(TransformAnimationEnd, PositionFollowsTheBehaviour) {
	const EndCase& c = GetParam();
	lang::Ptr<TransformAnimation> anim = new TransformAnimation(
		c.behaviour,
		positions({Vector3(0.f, 0.f, 0.f), Vector3(10.f, 0.f, 0.f), Vector3(20.f, 0.f, 0.f), Vector3(30.f, 0.f, 0.f)}),
		rotations({kIdentity}), nullptr, 1, 1, 1);
	EXPECT_NEAR(c.x, anim->getTransform(c.t).m[0][3], 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(
	Behaviours, TransformAnimationEnd,
	::testing::Values(EndCase{KeyframeSequence::REPEAT, 1.5f, 15.f}, EndCase{KeyframeSequence::REPEAT, 5.f, 10.f},
					  EndCase{KeyframeSequence::REPEAT, 3.5f, 15.f},   // 30 -> 0 spline
					  EndCase{KeyframeSequence::OSCILLATE, 4.f, 30.f}, // rests on key 3
					  EndCase{KeyframeSequence::OSCILLATE, 5.f, 20.f},
					  EndCase{KeyframeSequence::OSCILLATE, 5.5f, 15.f}, // on the way back
					  EndCase{KeyframeSequence::OSCILLATE, 8.f, 0.f}, EndCase{KeyframeSequence::RESET, 3.f, 30.f},
					  EndCase{KeyframeSequence::RESET, 4.2f, 0.f}, EndCase{KeyframeSequence::RESET, 9.f, 0.f},
					  EndCase{KeyframeSequence::STOP, 1.5f, 15.f}, EndCase{KeyframeSequence::STOP, 3.f, 30.f},
					  EndCase{KeyframeSequence::STOP, 4.f, 30.f}, EndCase{KeyframeSequence::STOP, 9.f, 30.f}));

TEST(TransformAnimationRates, RateTwoRunsTwiceAsFastAndZeroHolds) {
	auto make = [](int rate) -> lang::Ptr<TransformAnimation> {
		return new TransformAnimation(KeyframeSequence::STOP,
									  positions(
										  {Vector3(0.f, 0.f, 0.f), Vector3(10.f, 0.f, 0.f), Vector3(20.f, 0.f, 0.f)}),
									  rotations({kIdentity, kHalfTurnZ}), nullptr, rate, rate, rate);
	};
	lang::Ptr<TransformAnimation> slow = make(1), fast = make(2), still = make(0);
	EXPECT_TRUE(near(slow->getTransform(1.f).getColumn(3), fast->getTransform(0.5f).getColumn(3)));
	EXPECT_TRUE(sameRotation(rotationAt(*slow, 0.5f), rotationAt(*fast, 0.25f)));
	EXPECT_TRUE(near(Vector3(), still->getTransform(5.f).getColumn(3)));
	EXPECT_TRUE(sameRotation(kIdentity, rotationAt(*still, 5.f)));
}

TEST(TransformAnimationForms, TimeFirstAndReturningFormsAgree) {
	lang::Ptr<TransformAnimation> anim =
		new TransformAnimation(KeyframeSequence::REPEAT, positions({Vector3(1.f, 0.f, 0.f), Vector3(0.f, 4.f, 0.f)}),
							   rotations({kIdentity, kQuarterTurnX}), positions({Vector3(1.f, 2.f, 3.f)}), 2, 3, 1);
	for (float t : {0.f, 0.2f, 0.7f, 2.9f}) {
		Matrix3x4 out;
		anim->getTransform(out, t);
		const Matrix3x4 returned = anim->getTransform(t);
		EXPECT_EQ(0, std::memcmp(&out, &returned, sizeof(out))) << "t=" << t;
		Vector3 p1, s1, p2, s2;
		Quaternion q1, q2;
		anim->eval(p1, q1, s1, t);
		anim->eval(t, p2, q2, s2);
		EXPECT_EQ(0, std::memcmp(&p1, &p2, sizeof(p1)));
		EXPECT_EQ(0, std::memcmp(&q1, &q2, sizeof(q1)));
		EXPECT_EQ(0, std::memcmp(&s1, &s2, sizeof(s1)));
	}
}

TEST(TransformAnimationLength, SequenceFormHasNoLength) {
	lang::Ptr<TransformAnimation> anim = turning(KeyframeSequence::STOP, {kIdentity, kHalfTurnZ});
	EXPECT_EQ(0.f, anim->getLength());
	EXPECT_EQ(0.f, anim->getEndTime());
}

TEST(TransformAnimationLength, KeyLengthIsKeyCountOverRate) {
	EXPECT_FLOAT_EQ(2.f, TransformAnimation::getKeyLength(30, 15));
	EXPECT_FLOAT_EQ(0.4f, TransformAnimation::getKeyLength(12, 30));
	EXPECT_EQ(0.f, TransformAnimation::getKeyLength(0, 30));
	EXPECT_EQ(0.f, TransformAnimation::getKeyLength(10, 0));
}

TEST(TransformAnimationLength, FilesWithoutAStoredLengthPlayToTheLastKey) {
	// As a reader builds an animation whose file stores no length: the
	// rotation sequence's key count and rate give it.
	const int count = 30, rate = 15;
	KeyframeSequence* rot = new KeyframeSequence(count, gr::VertexFormat::V4_32);
	float* keys = reinterpret_cast<float*>(rot->getKeyData());
	for (int i = 0; i < count; ++i) {
		const float half = 0.05f * (float)i; // half angle about z
		keys[4 * i + 2] = std::sin(half);
		keys[4 * i + 3] = std::cos(half);
	}
	lang::Ptr<TransformAnimation::Float3Anim> pos = new TransformAnimation::Float3Anim;
	pos->addKey(Vector3(), 0.f);
	lang::Ptr<TransformAnimation> anim =
		new TransformAnimation(KeyframeSequence::STOP, pos, rot, nullptr, 0, rate, 0,
							   TransformAnimation::getKeyLength(rot->getKeyCount(), rate));
	EXPECT_FLOAT_EQ(2.f, anim->getEndTime());
	// Playing to the end time arrives at the last key.
	const float lastHalf = 0.05f * (float)(count - 1);
	const Quaternion last(0.f, 0.f, std::sin(lastHalf), std::cos(lastHalf));
	EXPECT_TRUE(sameRotation(last, rotationAt(*anim, anim->getEndTime())));
	EXPECT_FALSE(sameRotation(last, rotationAt(*anim, 1.f)));
}

TEST(TransformAnimationChecks, BadEndBehaviourOrRateIsRefused) {
	EXPECT_THROW(TransformAnimation(4, nullptr, nullptr, nullptr, 1, 1, 1), lang::Exception);
	EXPECT_THROW(TransformAnimation(-1, nullptr, nullptr, nullptr, 1, 1, 1), lang::Exception);
	EXPECT_THROW(TransformAnimation(0, nullptr, nullptr, nullptr, 256, 1, 1), lang::Exception);
	EXPECT_THROW(TransformAnimation(0, (TransformAnimation::Float3Anim*)nullptr, nullptr, nullptr, 1, -1, 1, 0.f),
				 lang::Exception);
	// A refused animation leaves the sequences it was given to their owners.
	lang::Ptr<KeyframeSequence> rot = rotations({kIdentity});
	EXPECT_THROW(TransformAnimation(9, nullptr, rot, nullptr, 1, 1, 1), lang::Exception);
	EXPECT_EQ(1, rot->referenceCount());
}

TEST(TransformAnimationChecks, AnimationHoldsItsChannels) {
	lang::Ptr<KeyframeSequence> rot = rotations({kIdentity, kHalfTurnZ});
	lang::Ptr<TransformAnimation::Float3Anim> pos = new TransformAnimation::Float3Anim;
	{
		lang::Ptr<TransformAnimation> anim =
			new TransformAnimation(KeyframeSequence::REPEAT, pos, rot, nullptr, 1, 1, 1, 2.f);
		EXPECT_EQ(2, rot->referenceCount());
		EXPECT_EQ(2, pos->referenceCount());
		EXPECT_EQ(rot.ptr(), anim->getRotationSequence());
		EXPECT_EQ(KeyframeSequence::REPEAT, anim->getEndBehaviour());
	}
	EXPECT_EQ(1, rot->referenceCount());
	EXPECT_EQ(1, pos->referenceCount());
}

TEST(TransformAnimationSetSizes, CapacityPicksTheBuckets) {
	const struct {
		int capacity;
		int buckets;
		int threshold;
	} cases[] = {{0, 0, 0}, {-5, 0, 0}, {1, 37, 27}, {10, 37, 27}, {37, 67, 50}, {100, 131, 98}, {600, 1031, 773}};
	for (const auto& c : cases) {
		lang::Ptr<TransformAnimationSet> set = new TransformAnimationSet(c.capacity);
		EXPECT_EQ(c.buckets, set->capacity()) << c.capacity;
		EXPECT_EQ(c.threshold, set->threshold()) << c.capacity;
		EXPECT_EQ(0, set->size()) << c.capacity;
		int used = 0;
		for (auto it = set->begin(); it != set->end(); ++it)
			++used;
		EXPECT_EQ(0, used) << c.capacity;
	}
}

TEST(TransformAnimationSetLookup, ByNodeNameWithNullAsAbsent) {
	lang::Ptr<TransformAnimationSet> set = new TransformAnimationSet(0);
	EXPECT_EQ(nullptr, set->get(lang::String("Ball")).ptr()); // no buckets yet, nothing touched
	EXPECT_EQ(0, set->capacity());

	lang::Ptr<TransformAnimation> anim = turning(KeyframeSequence::STOP, {kIdentity});
	set->put(lang::String("Door"), anim);
	set->put(lang::String("Lamp"), lang::Ptr<TransformAnimation>());
	EXPECT_EQ(37, set->capacity());
	EXPECT_EQ(anim.ptr(), set->get(lang::String("Door")).ptr());
	EXPECT_EQ(nullptr, set->get(lang::String("Lamp")).ptr());
	EXPECT_EQ(nullptr, set->get(lang::String("Ball")).ptr());
	EXPECT_EQ(2, anim->referenceCount());

	// A later animation under the same name replaces the earlier one.
	lang::Ptr<TransformAnimation> other = turning(KeyframeSequence::REPEAT, {kIdentity});
	set->put(lang::String("Door"), other);
	EXPECT_EQ(other.ptr(), set->get(lang::String("Door")).ptr());
	EXPECT_EQ(1, anim->referenceCount());
	EXPECT_EQ(2, set->size());
}

TEST(TransformAnimationSetLookup, PresizedSetTakesManyNamesWithoutGrowing) {
	lang::Ptr<TransformAnimationSet> set = new TransformAnimationSet(100);
	lang::Ptr<TransformAnimation> anim = turning(KeyframeSequence::STOP, {kIdentity});
	char name[16];
	for (int i = 0; i < 97; ++i) {
		std::snprintf(name, sizeof(name), "node%d", i);
		set->put(lang::String(name), anim);
	}
	EXPECT_EQ(131, set->capacity());
	EXPECT_EQ(97, set->size());
	EXPECT_EQ(anim.ptr(), set->get(lang::String("node42")).ptr());
	EXPECT_EQ(nullptr, set->get(lang::String("0")).ptr()); // no placeholder names left behind
	EXPECT_EQ(98, anim->referenceCount());
}

} // namespace
