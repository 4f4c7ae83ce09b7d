#include <hgr/UserPropertySet.h>
#include <io/IOException.h>
#include <lang/Exception.h>
#include <lang/Ptr.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string checkError(hgr::UserPropertySet& set, const char* const* keys, int count) {
	try {
		set.checkKeys(keys, count);
	} catch (const lang::Exception& e) {
		return lang::String(e.getMessage()).c_str();
	}
	return "<no exception>";
}

TEST(UserPropertySet, LaterEntryReplacesTheText) {
	lang::Ptr<hgr::UserPropertySet> set = new hgr::UserPropertySet(10);
	set->put("node", "a=1");
	set->put("node", "a=2");
	EXPECT_EQ(1, set->size());
	EXPECT_EQ(0, set->get("node").compareTo("a=2"));
	EXPECT_TRUE(set->get("other").isNull());
}

TEST(UserPropertySet, CheckKeysAcceptsOnlyTheAllowedNames) {
	lang::Ptr<hgr::UserPropertySet> set = new hgr::UserPropertySet;
	set->put("lamp", "particle=fire\nTime=2");
	const char* const allowed[] = {"particle", "time"};
	EXPECT_EQ("<no exception>", checkError(*set, allowed, 2));
	EXPECT_EQ("\"lamp\" has unsupported type of property: particle=fire", checkError(*set, allowed + 1, 1));
	EXPECT_EQ("\"lamp\" has unsupported type of property: particle=fire", checkError(*set, allowed, 0));

	set->put("box", "group=7");
	EXPECT_EQ("\"box\" has unsupported type of property: group=7", checkError(*set, allowed, 2));
}

TEST(UserPropertySet, CheckKeysReportsTextsThatDoNotParse) {
	lang::Ptr<hgr::UserPropertySet> set = new hgr::UserPropertySet;
	set->put("broken", "novalue");
	const char* const allowed[] = {"novalue"};
	EXPECT_THROW(set->checkKeys(allowed, 1), io::IOException);
}

} // namespace
