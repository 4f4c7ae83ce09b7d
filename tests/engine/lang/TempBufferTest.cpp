#include <lang/TempBuffer.h>
#include <lang/StringPool.h>
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <vector>

using lang::TempBuffer;

namespace {

TEST(TempBuffer, SizeIsRaisedToMultipleOf16) {
	for (int n : {0, 1, 15, 16, 17, 100}) {
		TempBuffer b(n);
		EXPECT_EQ((n + 15) / 16 * 16, b.size()) << n;
	}
	TempBuffer negative(-5);
	EXPECT_EQ(0, negative.size());
}

TEST(TempBuffer, OutOfOrderReleaseKeepsBytesLentUntilTheTopGoes) {
	const int top0 = TempBuffer::scratchTop(), count0 = TempBuffer::lentCount();
	auto first = std::make_unique<TempBuffer>(20);
	auto second = std::make_unique<TempBuffer>(40);
	EXPECT_EQ(top0 + 32 + 48, TempBuffer::scratchTop());
	EXPECT_EQ(count0 + 2, TempBuffer::lentCount());
	first.reset();
	EXPECT_EQ(top0 + 32 + 48, TempBuffer::scratchTop());
	EXPECT_EQ(count0 + 2, TempBuffer::lentCount());
	second.reset();
	EXPECT_EQ(top0, TempBuffer::scratchTop());
	EXPECT_EQ(count0, TempBuffer::lentCount());
}

TEST(TempBuffer, MoreThan32BuffersComeFromTheHeap) {
	std::vector<std::unique_ptr<TempBuffer>> bufs;
	for (int i = 0; i < 40; ++i) {
		bufs.push_back(std::make_unique<TempBuffer>(64));
		std::memset(bufs.back()->data(), i, 64);
	}
	EXPECT_LE(TempBuffer::lentCount(), lang::StringPool::MAX_TEMP_BUFFERS);
	for (int i = 0; i < 40; ++i)
		for (int k = 0; k < 64; ++k)
			ASSERT_EQ((char)i, bufs[i]->data()[k]);
	bufs.clear();
	EXPECT_EQ(0, TempBuffer::lentCount());
	EXPECT_EQ(0, TempBuffer::scratchTop());
}

TEST(TempBuffer, MoreThanTheScratchAreaComesFromTheHeap) {
	TempBuffer a(40000);
	TempBuffer b(40000); // does not fit behind a
	TempBuffer c(100000);
	std::memset(a.data(), 1, 40000);
	std::memset(b.data(), 2, 40000);
	std::memset(c.data(), 3, 100000);
	EXPECT_EQ(1, a.data()[39999]);
	EXPECT_EQ(40000, TempBuffer::scratchTop());
	EXPECT_EQ(1, TempBuffer::lentCount());
	TempBuffer d(16); // still fits in the area after the heap blocks
	EXPECT_EQ(2, TempBuffer::lentCount());
}

} // namespace
