#include <lang/MemoryPool.h>
#include <lang/OutOfMemoryException.h>
#include <gtest/gtest.h>
#include <climits>
#include <cstring>

namespace {

TEST(MemoryPool, StartsWithExactlyTheInitialSize) {
	lang::MemoryPool pool(10000, 0, "String");
	EXPECT_EQ(10000, pool.size());
	EXPECT_EQ(0, pool.top());
	EXPECT_EQ(INT_MAX, pool.maxSize());
	EXPECT_STREQ("String", pool.name());
}

TEST(MemoryPool, NameIsCutTo31Characters) {
	const std::string longName(40, 'n');
	lang::MemoryPool pool(16, 0, longName.c_str());
	EXPECT_EQ(std::string(31, 'n'), pool.name());
}

TEST(MemoryPool, ZeroSizedBlockHasAnEightByteBlockAndCountOne) {
	lang::MemoryPool pool(100, 0, "p");
	const int h = pool.allocate(0);
	EXPECT_EQ(0, pool.blockSize(h));
	EXPECT_EQ(1, pool.refCount(h));
	EXPECT_EQ(8, pool.top());
}

TEST(MemoryPool, BlocksAreFourByteAligned) {
	lang::MemoryPool pool(100, 0, "p");
	pool.allocate(3);
	const int h = pool.allocate(5);
	EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(pool.get(h)) % 4);
	EXPECT_EQ(12 + 8 + 5, pool.top()); // first block ends at 11, raised to 12
}

TEST(MemoryPool, FreedHandlesAreReusedLastFreedFirst) {
	lang::MemoryPool pool(1000, 0, "p");
	const int h1 = pool.allocate(4);
	const int h2 = pool.allocate(4);
	pool.free(h1);
	EXPECT_EQ(h1, pool.allocate(4));
	pool.free(h1);
	pool.free(h2);
	EXPECT_EQ(h2, pool.allocate(4));
	EXPECT_EQ(h1, pool.allocate(4));
}

TEST(MemoryPool, FreeingAHandleTwiceDoesNotHandItOutTwice) {
	lang::MemoryPool pool(1000, 0, "p");
	const int h = pool.allocate(4);
	pool.free(h);
	pool.free(h);
	pool.free(-1);
	pool.free(99);
	const int a = pool.allocate(4);
	const int b = pool.allocate(4);
	EXPECT_EQ(h, a);
	EXPECT_NE(a, b);
}

TEST(MemoryPool, CompactionMakesRoomWithoutGrowingAndKeepsContents) {
	lang::MemoryPool pool(200, 0, "p");
	int h[4];
	for (int i = 0; i < 4; ++i) {
		h[i] = pool.allocate(30);
		std::memset(pool.get(h[i]), 'a' + i, 30);
	}
	pool.free(h[0]);
	pool.free(h[2]);
	// 152 bytes used at the top; 60 more do not fit at the top but do after compaction.
	const int n = pool.allocate(60);
	EXPECT_EQ(200, pool.size());
	std::memset(pool.get(n), 'z', 60);
	EXPECT_EQ(std::string(30, 'b'), std::string(pool.get(h[1]), 30));
	EXPECT_EQ(std::string(30, 'd'), std::string(pool.get(h[3]), 30));
	EXPECT_EQ(30, pool.blockSize(h[1]));
}

TEST(MemoryPool, GrowsByHalfRaisedToAMultipleOf16WhenThatIsLarger) {
	lang::MemoryPool pool(1001, 0, "p");
	pool.allocate(900);
	pool.allocate(100); // needs 1113; 1001 * 3 / 2 = 1501 raised to 1504
	EXPECT_EQ(1504, pool.size());
}

struct GrowCase {
	int initial, request, expectedSize;
};

void PrintTo(const GrowCase& c, std::ostream* os) {
	*os << "arena " << c.initial << ", request " << c.request;
}

class MemoryPoolGrowth : public ::testing::TestWithParam<GrowCase> {};

TEST_P(MemoryPoolGrowth, TakesTheLargerOfRequestAndOneAndAHalf) {
	const GrowCase c = GetParam();
	lang::MemoryPool pool(c.initial, 0, "p");
	const int h = pool.allocate(c.request);
	EXPECT_EQ(c.expectedSize, pool.size());
	std::memset(pool.get(h), 1, (size_t)c.request);
}

INSTANTIATE_TEST_SUITE_P(Cases, MemoryPoolGrowth,
						 ::testing::Values(GrowCase{100, 90, 202}, // 100 + 90 + 12 beats 150 raised to 160
										   GrowCase{1000, 990, 2002},
										   GrowCase{1000, 988, 1000}, // 0 + 988 + 12 fits exactly
										   GrowCase{1000, 989, 2001}, GrowCase{10000, 100, 10000},
										   GrowCase{0, 0, 12})); // an empty arena grows to the request

TEST(MemoryPool, GrowthKeepsLiveBlocks) {
	lang::MemoryPool pool(64, 0, "p");
	const int a = pool.allocate(20);
	std::memcpy(pool.get(a), "first block payload", 20);
	const int b = pool.allocate(500);
	std::memset(pool.get(b), 7, 500);
	EXPECT_STREQ("first block payload", pool.get(a));
}

TEST(MemoryPool, HugeAndNegativeRequestsAreRefused) {
	lang::MemoryPool pool(100, 0, "p");
	const int keep = pool.allocate(10);
	std::memcpy(pool.get(keep), "keep", 5);
	for (int n : {-1, INT_MIN, INT_MAX, INT_MAX - 11}) // top + n + 12 passes the int range
		EXPECT_THROW(pool.allocate(n), lang::OutOfMemoryException) << n;
	EXPECT_STREQ("keep", pool.get(keep));
	EXPECT_EQ(100, pool.size());
}

TEST(MemoryPool, GrowthStopsAtMaxSize) {
	lang::MemoryPool pool(100, 300, "p");
	pool.allocate(150); // fits within 300: 100 + 150 + 12 = 262
	EXPECT_LE(pool.size(), 300);
	EXPECT_THROW(pool.allocate(200), lang::OutOfMemoryException);
	EXPECT_LE(pool.size(), 300);
}

TEST(MemoryPool, GrowthBelowMaxSizeNeverPassesIt) {
	// top + n + 12 fits under maxSize while arena + n + 12 does not: grow to maxSize.
	lang::MemoryPool pool(100, 130, "p");
	const int a = pool.allocate(40);
	pool.free(a);
	const int h = pool.allocate(110);
	EXPECT_EQ(130, pool.size());
	std::memset(pool.get(h), 1, 110);
}

} // namespace
