#include <lang/Hashtable.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <gtest/gtest.h>
#include <map>
#include <string>

using lang::String;

namespace {

typedef lang::Hashtable<String, String> StringTable;

String key(int i) {
	return String(("key" + std::to_string(i)).c_str());
}

TEST(Hashtable, LargerPrimes) {
	const int cases[][2] = {{0, 37},		  {36, 37},			{37, 67},		  {130, 131}, {65543, 129403},
							{129402, 129403}, {129403, 258807}, {200000, 329403}, {-5, 37}};
	for (const auto& c : cases)
		EXPECT_EQ(c[1], StringTable::getLargerPrime(c[0])) << c[0];
	EXPECT_THROW(StringTable::getLargerPrime(2147483000), lang::OutOfMemoryException);
}

TEST(Hashtable, GetOnAnEmptyTableTouchesNothing) {
	lang::Ptr<StringTable> t = new StringTable;
	EXPECT_TRUE(t->get("absent").isNull());
	EXPECT_EQ(nullptr, t->find("absent"));
	EXPECT_EQ(0, t->capacity());
	EXPECT_EQ(nullptr, t->buckets());
}

TEST(Hashtable, FirstPutBuilds37BucketsAndThe27thRebuildsTo67) {
	StringTable t;
	t.put(key(0), "v0");
	EXPECT_EQ(37, t.capacity());
	EXPECT_EQ(27, t.threshold());
	for (int i = 1; i < 26; ++i)
		t.put(key(i), key(i));
	EXPECT_EQ(37, t.capacity());
	t.put(key(26), key(26));
	EXPECT_EQ(67, t.capacity());
	EXPECT_EQ(50, t.threshold());
	EXPECT_EQ(27, t.size());
	EXPECT_EQ(0, t.get(key(0)).compareTo("v0"));
	for (int i = 1; i < 27; ++i)
		EXPECT_EQ(0, t.get(key(i)).compareTo(key(i))) << i;
}

TEST(Hashtable, PutReplacesTheValueOfAnExistingKey) {
	StringTable t;
	t.put("a", "1");
	t.put(String("a"), "2");
	EXPECT_EQ(1, t.size());
	EXPECT_EQ(0, t.get("a").compareTo("2"));
}

TEST(Hashtable, NegativeHashCodeLandsInTheMaskedBucket) {
	String k("negative hash key \xE9\xE9");
	ASSERT_LT(k.hashCode(), 0);
	StringTable t;
	t.put(k, "v");
	const int bucket = (k.hashCode() & 0x7fffffff) % t.capacity();
	bool found = false;
	for (StringTable::Entry* e = &t.buckets()[bucket]; e; e = e->next)
		found = found || (e->used && e->key.compareTo(k) == 0);
	EXPECT_TRUE(found);
}

TEST(Hashtable, LookupOfAnAbsentKeyPreparesTheEntryAPutThenUses) {
	StringTable t;
	t.put("present", "p");
	EXPECT_EQ(nullptr, t.find("later"));
	const int bucket = (String("later").hashCode() & 0x7fffffff) % t.capacity();
	StringTable::Entry* prepared = nullptr;
	for (StringTable::Entry* e = &t.buckets()[bucket]; e; e = e->next)
		if (!e->used && e->key.compareTo("later") == 0)
			prepared = e;
	ASSERT_NE(nullptr, prepared);
	const int chained = t.chainedCount();
	t.put("later", "l");
	EXPECT_TRUE(prepared->used);
	EXPECT_EQ(0, prepared->value.compareTo("l"));
	EXPECT_EQ(chained, t.chainedCount());
}

TEST(Hashtable, ConstLookupLeavesTheTableUntouched) {
	StringTable t;
	for (int i = 0; i < 60; ++i) // enough for chains in 131 buckets
		t.put(key(i), key(i));
	const StringTable& ct = t;
	const int chained = t.chainedCount();
	for (int i = 0; i < 500; ++i) {
		const String* v = ct.find(key(i));
		if (i < 60) {
			ASSERT_NE(nullptr, v);
			EXPECT_EQ(0, v->compareTo(key(i)));
		} else {
			EXPECT_EQ(nullptr, v);
		}
	}
	EXPECT_EQ(chained, t.chainedCount());
	int stale = 0;
	for (int b = 0; b < t.capacity(); ++b)
		for (StringTable::Entry* e = &t.buckets()[b]; e; e = e->next)
			stale += !e->used && !e->key.isNull();
	EXPECT_EQ(0, stale);
}

TEST(Hashtable, ChainsRunNewestFirstAndClearedEntriesAreReused) {
	// Many keys in a 37-bucket table force chains; the model map checks every value.
	StringTable t;
	std::map<std::string, std::string> model;
	for (int i = 0; i < 2000; ++i) {
		t.put(key(i), key(i * 3));
		model["key" + std::to_string(i)] = "key" + std::to_string(i * 3);
	}
	EXPECT_EQ(2000, t.size());
	int seen = 0;
	for (StringTable::Entry& e : t) {
		ASSERT_TRUE(e.used);
		EXPECT_EQ(model[e.key.c_str()], e.value.c_str());
		++seen;
	}
	EXPECT_EQ(2000, seen);

	const int capacity = t.capacity();
	const int chained = t.chainedCount();
	t.clear();
	EXPECT_EQ(0, t.size());
	EXPECT_TRUE(t.begin() == t.end());
	for (int i = 0; i < 100; ++i)
		t.put(key(i), "again");
	EXPECT_EQ(capacity, t.capacity());
	EXPECT_EQ(chained, t.chainedCount());
	EXPECT_EQ(0, t.get(key(99)).compareTo("again"));
	EXPECT_TRUE(t.get(key(100)).isNull());
}

TEST(Hashtable, IterationFollowsBucketsThenChains) {
	StringTable t;
	for (int i = 0; i < 20; ++i)
		t.put(key(i), "v");
	std::vector<StringTable::Entry*> walked;
	for (int b = 0; b < t.capacity(); ++b)
		for (StringTable::Entry* e = &t.buckets()[b]; e; e = e->next)
			if (e->used)
				walked.push_back(e);
	std::vector<StringTable::Entry*> iterated;
	for (StringTable::Entry& e : t)
		iterated.push_back(&e);
	EXPECT_EQ(walked, iterated);
}

/** Counts deletions, for tables of counted pointers. */
class Tracked : public lang::Object {
public:
	explicit Tracked(int* live) : m_live(live) { ++*m_live; }
	~Tracked() override { --*m_live; }

private:
	int* m_live;
};

TEST(Hashtable, ReleasesPointerValuesOnDestruction) {
	int live = 0;
	{
		lang::Ptr<lang::Hashtable<String, lang::Ptr<Tracked>>> t = new lang::Hashtable<String, lang::Ptr<Tracked>>;
		for (int i = 0; i < 100; ++i)
			t->put(key(i), new Tracked(&live));
		EXPECT_EQ(100, live);
		t->put(key(5), nullptr);
		EXPECT_EQ(99, live);
		EXPECT_TRUE(t->get(key(5)) == nullptr);
	}
	EXPECT_EQ(0, live);
}

} // namespace
