// Keyframe sequences: key storage and expansion, the index rules of the four
// end behaviours, Catmull-Rom interpolation and end behaviour names.
#include <hgr/KeyframeSequence.h>

#include <gr/VertexFormat.h>
#include <lang/Exception.h>
#include <lang/Ptr.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

using hgr::KeyframeSequence;
using gr::VertexFormat;

namespace {

std::string messageOf(const lang::Throwable& e) {
	const lang::String text(e.getMessage());
	return text.isNull() ? std::string() : std::string(text.c_str());
}

struct IndexCase {
	int behaviour;
	int keys;
	float time;
	float rate;
	int idx[4];
	float u;
};

void PrintTo(const IndexCase& c, std::ostream* os) {
	*os << KeyframeSequence::getEndBehaviourName(c.behaviour) << " n=" << c.keys << " t=" << c.time
		<< " rate=" << c.rate;
}

class KeyframeIndices : public ::testing::TestWithParam<IndexCase> {};

TEST_P(KeyframeIndices, GiveKeysAndFraction) {
	const IndexCase& c = GetParam();
	int idx[4] = {-9, -9, -9, -9};
	float fraction = -9.f;
	const float u = KeyframeSequence::getKeyframeIndices(c.behaviour, c.keys, idx, &fraction, c.time, c.rate);
	EXPECT_FLOAT_EQ(c.u, u);
	EXPECT_FLOAT_EQ(c.u, fraction);
	for (int k = 0; k < 4; ++k)
		EXPECT_EQ(c.idx[k], idx[k]) << "index " << k;
}

using KS = KeyframeSequence;

INSTANTIATE_TEST_SUITE_P(
	EndBehaviours, KeyframeIndices,
	::testing::Values(
		// REPEAT wraps every index around the key count.
		IndexCase{KS::REPEAT, 4, 0.f, 1.f, {3, 0, 1, 2}, 0.f},
		IndexCase{KS::REPEAT, 4, 5.25f, 1.f, {0, 1, 2, 3}, 0.25f},
		IndexCase{KS::REPEAT, 4, 3.5f, 1.f, {2, 3, 0, 1}, 0.5f},
		IndexCase{KS::REPEAT, 4, 1.25f, 2.f, {1, 2, 3, 0}, 0.5f},
		// OSCILLATE runs 0 1 2 3 3 2 1 0 0 1 ...: each end key twice.
		IndexCase{KS::OSCILLATE, 4, 0.f, 1.f, {0, 0, 1, 2}, 0.f},
		IndexCase{KS::OSCILLATE, 4, 3.5f, 1.f, {2, 3, 3, 2}, 0.5f},
		IndexCase{KS::OSCILLATE, 4, 4.5f, 1.f, {3, 3, 2, 1}, 0.5f},
		IndexCase{KS::OSCILLATE, 4, 7.5f, 1.f, {1, 0, 0, 1}, 0.5f},
		IndexCase{KS::OSCILLATE, 4, 8.5f, 1.f, {0, 0, 1, 2}, 0.5f},
		// RESET blends the last key into key 0, then holds key 0.
		IndexCase{KS::RESET, 4, 0.5f, 1.f, {0, 0, 1, 2}, 0.5f}, IndexCase{KS::RESET, 4, 3.5f, 1.f, {2, 3, 0, 0}, 0.5f},
		IndexCase{KS::RESET, 4, 4.2f, 1.f, {3, 0, 0, 0}, 0.f}, IndexCase{KS::RESET, 4, 50.f, 1.f, {0, 0, 0, 0}, 0.f},
		// STOP holds the last key with u = 1.
		IndexCase{KS::STOP, 4, 0.5f, 1.f, {0, 0, 1, 2}, 0.5f}, IndexCase{KS::STOP, 4, 3.5f, 1.f, {2, 3, 3, 3}, 0.5f},
		IndexCase{KS::STOP, 4, 4.f, 1.f, {3, 3, 3, 3}, 1.f}, IndexCase{KS::STOP, 4, 9.f, 1.f, {3, 3, 3, 3}, 1.f},
		IndexCase{KS::STOP, 2, 0.25f, 1.f, {0, 0, 1, 1}, 0.25f},
		IndexCase{KS::RESET, 2, 0.25f, 1.f, {0, 0, 1, 0}, 0.25f},
		// Fewer than two keys: key 0 at every time.
		IndexCase{KS::REPEAT, 1, 7.5f, 1.f, {0, 0, 0, 0}, 0.f}, IndexCase{KS::STOP, 1, 7.5f, 3.f, {0, 0, 0, 0}, 0.f},
		IndexCase{KS::OSCILLATE, 0, 7.5f, 1.f, {0, 0, 0, 0}, 0.f},
		// A rate of 0 holds the first key.
		IndexCase{KS::REPEAT, 4, 7.5f, 0.f, {3, 0, 1, 2}, 0.f}, IndexCase{KS::STOP, 4, 7.5f, 0.f, {0, 0, 1, 2}, 0.f},
		// Times far beyond any int still land on valid keys.
		IndexCase{KS::STOP, 4, 1e30f, 255.f, {3, 3, 3, 3}, 1.f},
		IndexCase{KS::RESET, 4, 1e30f, 255.f, {0, 0, 0, 0}, 0.f},
		// Negative and NaN times count as time 0.
		IndexCase{KS::STOP, 4, -2.5f, 1.f, {0, 0, 1, 2}, 0.f},
		IndexCase{KS::REPEAT, 4, std::numeric_limits<float>::quiet_NaN(), 1.f, {3, 0, 1, 2}, 0.f}));

TEST(KeyframeIndicesSweep, StayWithinKeysForEveryBehaviour) {
	const float times[] = {0.f,	   0.1f, 0.999f, 1.f,	2.5f,
						   17.75f, 1e6f, 3e9f,	 1e30f, std::numeric_limits<float>::infinity()};
	for (int behaviour = 0; behaviour < KS::END_BEHAVIOUR_COUNT; ++behaviour)
		for (int n = 1; n <= 6; ++n)
			for (float t : times) {
				int idx[4];
				const float u = KeyframeSequence::getKeyframeIndices(behaviour, n, idx, nullptr, t, 30.f);
				EXPECT_GE(u, 0.f);
				EXPECT_LE(u, 1.f);
				for (int k = 0; k < 4; ++k) {
					EXPECT_GE(idx[k], 0) << behaviour << " n=" << n << " t=" << t;
					EXPECT_LT(idx[k], n) << behaviour << " n=" << n << " t=" << t;
				}
			}
}

TEST(KeyframeIndicesUnknown, ReturnsMinusOneAndLeavesIndices) {
	int idx[4] = {5, 6, 7, 8};
	float fraction = 0.f;
	EXPECT_EQ(-1.f, KeyframeSequence::getKeyframeIndices(7, 4, idx, &fraction, 1.5f, 1.f));
	EXPECT_EQ(-1.f, fraction);
	EXPECT_EQ(5, idx[0]);
	EXPECT_EQ(8, idx[3]);
}

TEST(KeyframeCatmullRom, PassesThroughInnerKeys) {
	const float k0[2] = {-4.f, 1.f}, k1[2] = {0.f, 2.f}, k2[2] = {10.f, -3.f}, k3[2] = {3.f, 8.f};
	float out[2];
	KeyframeSequence::interpolateCatmullRom(2, k0, k1, k2, k3, out, 0.f);
	EXPECT_FLOAT_EQ(0.f, out[0]);
	EXPECT_FLOAT_EQ(2.f, out[1]);
	KeyframeSequence::interpolateCatmullRom(2, k0, k1, k2, k3, out, 1.f);
	EXPECT_FLOAT_EQ(10.f, out[0]);
	EXPECT_FLOAT_EQ(-3.f, out[1]);
}

TEST(KeyframeCatmullRom, EvenlySpacedKeysGiveAStraightLine) {
	const float k0 = 0.f, k1 = 1.f, k2 = 2.f, k3 = 3.f;
	for (float u : {0.25f, 0.5f, 0.75f}) {
		SCOPED_TRACE(u);
		float out = -1.f;
		KeyframeSequence::interpolateCatmullRom(1, &k0, &k1, &k2, &k3, &out, u);
		EXPECT_NEAR(1.f + u, out, 1e-6f);
	}
}

TEST(KeyframeCatmullRom, UsesBothTangents) {
	// m1 = (4 - 0) / 2 = 2, m2 = (0 - 0) / 2 = 0; at u = 0.5: 0.5 * 4 + 0.125 * 2 = 2.25.
	const float k0 = 0.f, k1 = 0.f, k2 = 4.f, k3 = 0.f;
	float out = 0.f;
	KeyframeSequence::interpolateCatmullRom(1, &k0, &k1, &k2, &k3, &out, 0.5f);
	EXPECT_FLOAT_EQ(2.25f, out);
}

TEST(KeyframeCatmullRom, NoComponentsWritesNothing) {
	const float k[1] = {1.f};
	float out = 42.f;
	KeyframeSequence::interpolateCatmullRom(0, k, k, k, k, &out, 0.5f);
	KeyframeSequence::interpolateCatmullRom(-3, k, k, k, k, &out, 0.5f);
	EXPECT_EQ(42.f, out);
}

TEST(KeyframeSequenceKeys, StartZeroedWithUnitScale) {
	lang::Ptr<KeyframeSequence> seq = new KeyframeSequence(3, VertexFormat::V3_16);
	EXPECT_EQ(3, seq->getKeyCount());
	EXPECT_EQ(VertexFormat::V3_16, seq->getFormat());
	EXPECT_EQ(20, seq->getKeyDataSize()); // 18 bytes rounded up to 4
	for (int i = 0; i < seq->getKeyDataSize(); ++i)
		EXPECT_EQ(0, seq->getKeyData()[i]);
	EXPECT_EQ(1.f, seq->getScale());
	for (int k = 0; k < 4; ++k)
		EXPECT_EQ(0.f, seq->getBias()[k]);
}

TEST(KeyframeSequenceKeys, QuantisedKeysExpandWithScaleAndBias) {
	lang::Ptr<KeyframeSequence> seq = new KeyframeSequence(2, VertexFormat::V3_16);
	const int16_t stored[6] = {0, 0, 0, 100, 200, 300};
	std::memcpy(seq->getKeyData(), stored, sizeof(stored));
	seq->setScale(0.01f);
	seq->setBias(1.f, 2.f, 3.f, 0.f);
	float key[3] = {};
	seq->getKey(1, key, 12, VertexFormat::V3_32, 1);
	EXPECT_NEAR(2.f, key[0], 1e-5f);
	EXPECT_NEAR(4.f, key[1], 1e-5f);
	EXPECT_NEAR(6.f, key[2], 1e-5f);
	// A fourth destination component the keys lack reads as its bias.
	float wide[4] = {};
	seq->setBias(1.f, 2.f, 3.f, 9.f);
	seq->getKey(0, wide, 16, VertexFormat::V4_32, 1);
	EXPECT_FLOAT_EQ(1.f, wide[0]);
	EXPECT_FLOAT_EQ(9.f, wide[3]);
}

TEST(KeyframeSequenceKeys, SeveralKeysAtTheDestinationStride) {
	lang::Ptr<KeyframeSequence> seq = new KeyframeSequence(3, VertexFormat::V4_32);
	const float stored[12] = {0, 0, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8};
	std::memcpy(seq->getKeyData(), stored, sizeof(stored));
	float out[3][5];
	for (auto& row : out)
		for (float& v : row)
			v = -1.f;
	seq->getKey(1, out, 20, VertexFormat::V4_32, 2);
	EXPECT_EQ(1.f, out[0][0]);
	EXPECT_EQ(4.f, out[0][3]);
	EXPECT_EQ(-1.f, out[0][4]);
	EXPECT_EQ(5.f, out[1][0]);
	EXPECT_EQ(8.f, out[1][3]);
	EXPECT_EQ(-1.f, out[2][0]);
}

TEST(KeyframeSequenceKeys, RangesOutsideTheKeysWriteNothing) {
	lang::Ptr<KeyframeSequence> seq = new KeyframeSequence(2, VertexFormat::V3_32);
	lang::Ptr<KeyframeSequence> empty = new KeyframeSequence(0, VertexFormat::V3_32);
	float out[6] = {7, 7, 7, 7, 7, 7};
	seq->getKey(2, out, 12, VertexFormat::V3_32, 1);
	seq->getKey(-1, out, 12, VertexFormat::V3_32, 1);
	seq->getKey(1, out, 12, VertexFormat::V3_32, 2);
	empty->getKey(0, out, 12, VertexFormat::V3_32, 1);
	for (float v : out)
		EXPECT_EQ(7.f, v);
	EXPECT_EQ(0, empty->getKeyDataSize());
}

TEST(KeyframeSequenceKeys, BadCountsAndFormatsAreRefused) {
	EXPECT_THROW(KeyframeSequence(-1, VertexFormat::V3_32), lang::Exception);
	EXPECT_THROW(KeyframeSequence(2, VertexFormat::NONE), lang::Exception);
	EXPECT_THROW(KeyframeSequence(2, 14), lang::Exception);
	EXPECT_THROW(KeyframeSequence(0x10000000, VertexFormat::V4_32), lang::Exception);
	// No keys need no format: a reader may build an empty sequence of any format.
	lang::Ptr<KeyframeSequence> empty = new KeyframeSequence(0, VertexFormat::NONE);
	EXPECT_EQ(0, empty->getKeyCount());
}

TEST(KeyframeEndBehaviourNames, RoundTrip) {
	const char* names[] = {"REPEAT", "OSCILLATE", "RESET", "STOP"};
	for (int i = 0; i < 4; ++i) {
		EXPECT_STREQ(names[i], KeyframeSequence::getEndBehaviourName(i));
		EXPECT_EQ(i, KeyframeSequence::parseEndBehaviour(lang::String(names[i])));
	}
	EXPECT_STREQ("INVALID", KeyframeSequence::getEndBehaviourName(7));
	EXPECT_STREQ("INVALID", KeyframeSequence::getEndBehaviourName(-1));
}

TEST(KeyframeEndBehaviourNames, OtherTextsThrowNamingTheText) {
	for (const char* text : {"stop", "STOP ", "REPEATS", ""}) {
		try {
			KeyframeSequence::parseEndBehaviour(lang::String(text));
			ADD_FAILURE() << "no exception for '" << text << "'";
		} catch (const lang::Exception& e) {
			EXPECT_EQ(std::string("Invalid animation end behavior: ") + text, messageOf(e));
		}
	}
}

} // namespace
