#include <lang/Ptr.h>
#include <lang/WeakPtr.h>
#include <gtest/gtest.h>

#include <utility>

namespace {

/** Counts live instances; on destruction records what a weak pointer to itself read. */
class Watched : public lang::Object {
public:
	explicit Watched(int* live) : m_live(live) { ++*m_live; }
	Watched(const Watched& other) : lang::Object(other), m_live(other.m_live) { ++*m_live; }
	~Watched() override {
		--*m_live;
		if (seenInDestructor)
			*seenInDestructor = self.get();
	}

	lang::WeakPtr<Watched> self;
	Watched** seenInDestructor = nullptr;

private:
	int* m_live;
};

TEST(WeakPtr, ReadsTheObjectWithoutCountingItAndNullOnceItHasGone) {
	int live = 0;
	lang::Ptr<Watched> strong = new Watched(&live);
	lang::WeakPtr<Watched> weak = strong.ptr();
	EXPECT_EQ(1, strong->referenceCount());
	EXPECT_EQ(strong.ptr(), weak.get());
	EXPECT_FALSE(weak.expired());

	strong.reset();
	EXPECT_EQ(0, live);
	EXPECT_EQ(nullptr, weak.get());
	EXPECT_TRUE(weak.expired());

	lang::WeakPtr<Watched> none;
	EXPECT_EQ(nullptr, none.get());
	EXPECT_FALSE(none.expired());
}

TEST(WeakPtr, CopiesShareOneLinkWhicheverGoesFirst) {
	for (bool objectFirst : {true, false}) {
		SCOPED_TRACE(objectFirst ? "object first" : "weak pointers first");
		int live = 0;
		lang::Ptr<Watched> strong = new Watched(&live);
		lang::WeakPtr<Watched>* a = new lang::WeakPtr<Watched>(strong.ptr());
		lang::WeakPtr<Watched>* b = new lang::WeakPtr<Watched>(*a);
		lang::WeakPtr<Watched> c;
		c = *b;
		EXPECT_EQ(strong->weakLink(), strong->weakLink()); // made once
		if (objectFirst)
			strong.reset();
		delete a;
		delete b;
		EXPECT_EQ(objectFirst ? nullptr : strong.ptr(), c.get());
		strong.reset();
		EXPECT_EQ(nullptr, c.get());
		EXPECT_EQ(0, live);
		// The link itself is freed with the last holder: the leak check of
		// this program sees it otherwise.
	}
}

TEST(WeakPtr, ReadsNullInsideTheObjectsOwnDestructor) {
	int live = 0;
	Watched* seen = reinterpret_cast<Watched*>(1);
	lang::Ptr<Watched> strong = new Watched(&live);
	strong->self = strong.ptr();
	strong->seenInDestructor = &seen;
	strong.reset();
	EXPECT_EQ(nullptr, seen);
}

TEST(WeakPtr, AnObjectDeletedDirectlyOrLeavingItsScopeClearsItsWeakPointers) {
	int live = 0;
	lang::WeakPtr<Watched> weak;
	{
		Watched onStack(&live);
		weak = &onStack;
		EXPECT_EQ(&onStack, weak.get());
	}
	EXPECT_EQ(nullptr, weak.get());

	Watched* raw = new Watched(&live);
	weak = raw;
	delete raw;
	EXPECT_EQ(nullptr, weak.get());
	EXPECT_EQ(0, live);
}

TEST(WeakPtr, ACopiedObjectIsNotReachedThroughTheOriginalsWeakPointers) {
	int live = 0;
	lang::Ptr<Watched> original = new Watched(&live);
	lang::WeakPtr<Watched> weak = original.ptr();
	lang::Ptr<Watched> copy = new Watched(*original);
	original.reset();
	EXPECT_EQ(nullptr, weak.get());
	EXPECT_EQ(1, live);
	lang::WeakPtr<Watched> toCopy = copy.ptr();
	EXPECT_EQ(copy.ptr(), toCopy.get());
}

TEST(WeakPtr, AssignmentMoveAndReset) {
	int live = 0;
	lang::Ptr<Watched> first = new Watched(&live);
	lang::Ptr<Watched> second = new Watched(&live);
	lang::WeakPtr<Watched> weak = first.ptr();
	lang::WeakPtr<Watched>& alias = weak;
	weak = alias;
	EXPECT_EQ(first.ptr(), weak.get());
	weak = second.ptr();
	EXPECT_EQ(second.ptr(), weak.get());

	lang::WeakPtr<Watched> moved = std::move(weak);
	EXPECT_EQ(second.ptr(), moved.get());
	EXPECT_EQ(nullptr, weak.get()); // a moved-from pointer is empty
	weak = std::move(moved);
	EXPECT_EQ(second.ptr(), weak.get());

	weak.reset();
	EXPECT_EQ(nullptr, weak.get());
	EXPECT_FALSE(weak.expired());
	weak = nullptr;
	EXPECT_EQ(2, live);
	EXPECT_EQ(1, first->referenceCount());
}

} // namespace
