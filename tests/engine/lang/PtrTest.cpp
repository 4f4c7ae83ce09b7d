#include <lang/Ptr.h>
#include <gtest/gtest.h>

namespace {

/** Counts live instances so tests can see deletion. */
class Counted : public lang::Object {
public:
	explicit Counted(int* live) : m_live(live) { ++*m_live; }
	~Counted() override { --*m_live; }

private:
	int* m_live;
};

class Derived : public Counted {
public:
	using Counted::Counted;
};

TEST(Ptr, NewObjectStartsUncountedAndFirstPtrTakesIt) {
	int live = 0;
	Counted* raw = new Counted(&live);
	EXPECT_EQ(0, raw->referenceCount());
	{
		lang::Ptr<Counted> p(raw);
		EXPECT_EQ(1, raw->referenceCount());
		lang::Ptr<Counted> q = p;
		EXPECT_EQ(2, raw->referenceCount());
	}
	EXPECT_EQ(0, live);
}

TEST(Ptr, SelfAssignmentKeepsTheObject) {
	int live = 0;
	lang::Ptr<Counted> p = new Counted(&live);
	lang::Ptr<Counted>& alias = p;
	p = alias;
	p = p.ptr();
	EXPECT_EQ(1, live);
	EXPECT_EQ(1, p->referenceCount());
}

TEST(Ptr, AssignmentReleasesTheOldObjectAndResetEmpties) {
	int live = 0;
	lang::Ptr<Counted> p = new Counted(&live);
	p = new Counted(&live);
	EXPECT_EQ(1, live);
	p.reset();
	EXPECT_EQ(0, live);
	EXPECT_TRUE(p.ptr() == nullptr);
}

TEST(Ptr, DerivedConvertsToBaseAndSharesTheCount) {
	int live = 0;
	lang::Ptr<Derived> d = new Derived(&live);
	lang::Ptr<Counted> b = d;
	EXPECT_EQ(2, d->referenceCount());
	d.reset();
	EXPECT_EQ(1, live);
	b = nullptr;
	EXPECT_EQ(0, live);
}

TEST(Ptr, MoveTransfersWithoutCounting) {
	int live = 0;
	lang::Ptr<Counted> p = new Counted(&live);
	lang::Ptr<Counted> q = std::move(p);
	EXPECT_EQ(1, q->referenceCount());
	lang::Ptr<Counted> r;
	r = std::move(q);
	EXPECT_EQ(1, r->referenceCount());
	EXPECT_EQ(1, live);
}

} // namespace
