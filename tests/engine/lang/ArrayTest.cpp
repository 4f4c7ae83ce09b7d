#include <lang/Array.h>
#include <lang/String.h>
#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(Array, GrowsToAtLeast32BytesThenDoubles) {
	lang::Array<int> ints;
	ints.add(1);
	EXPECT_EQ(8, ints.capacity());
	for (int i = 1; i < 9; ++i)
		ints.add(i + 1);
	EXPECT_EQ(16, ints.capacity());
	for (int i = 0; i < 9; ++i)
		EXPECT_EQ(i + 1, ints[i]);

	lang::Array<char*> ptrs;
	ptrs.add(nullptr);
	EXPECT_EQ(4, ptrs.capacity());
	lang::Array<char> chars;
	chars.add('c');
	EXPECT_EQ(32, chars.capacity());
}

TEST(Array, ResizeFillsGrowsAndResetsWhenShrinking) {
	lang::Array<lang::String> a;
	a.resize(3, "fill");
	EXPECT_EQ(3, a.size());
	EXPECT_EQ(0, a[2].compareTo("fill"));
	a.resize(100, "x");
	EXPECT_EQ(100, a.capacity()); // the count needed beats twice 3
	EXPECT_EQ(0, a[0].compareTo("fill"));
	EXPECT_EQ(0, a[99].compareTo("x"));
	lang::String* storage = a.begin();
	a.resize(1);
	EXPECT_EQ(100, a.capacity());
	EXPECT_TRUE(storage[1].isNull()); // reset, storage kept
	a.clear();
	EXPECT_EQ(0, a.size());
	EXPECT_THROW(a.resize(-1), lang::OutOfMemoryException);
}

TEST(Array, CopiesAreIndependent) {
	lang::Array<int> a;
	a.add(1);
	lang::Array<int> b = a;
	b[0] = 2;
	a = b;
	b.add(3);
	EXPECT_EQ(2, a[0]);
	EXPECT_EQ(1, a.size());
}

TEST(Array, SetCapacityIsExactAndKeepsTheElements) {
	lang::Array<lang::String> a;
	a.setCapacity(3);
	EXPECT_EQ(3, a.capacity());
	a.add("a");
	a.add("b");
	a.setCapacity(1000);
	EXPECT_EQ(1000, a.capacity());
	a.setCapacity(1); // not below the size
	EXPECT_EQ(2, a.capacity());
	EXPECT_EQ(0, a[0].compareTo("a"));
	EXPECT_EQ(0, a[1].compareTo("b"));
	a.clear();
	a.setCapacity(0);
	EXPECT_EQ(0, a.capacity());
	EXPECT_EQ(nullptr, a.begin());
	EXPECT_THROW(a.setCapacity(0x7fffffff), lang::OutOfMemoryException);
}

TEST(Array, MovesTakeTheStorage) {
	lang::Array<int> a;
	a.resize(5, 7);
	const int* storage = a.begin();
	lang::Array<int> b = std::move(a);
	EXPECT_EQ(storage, b.begin());
	EXPECT_EQ(5, b.size());
	EXPECT_EQ(0, a.size()); // the source is empty
	EXPECT_EQ(0, a.capacity());
	lang::Array<int> c;
	c.add(1);
	c = std::move(b);
	EXPECT_EQ(storage, c.begin());
	EXPECT_EQ(7, c[4]);
}

} // namespace
