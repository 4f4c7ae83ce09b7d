#include <lang/String.h>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using lang::String;

namespace {

TEST(CStr, LongTextsAreCutTo1999) {
	String s(std::string(2500, 'q').c_str());
	EXPECT_EQ(std::string(1999, 'q'), s.c_str());
}

TEST(CStr, TwoLongResultsTakenOneAfterTheOtherAreBothValid) {
	String a(std::string(1999, 'a').c_str());
	String b(std::string(2500, 'b').c_str());
	for (int round = 0; round < 10; ++round) {
		const char* pa = a.c_str();
		const char* pb = b.c_str();
		EXPECT_EQ(std::string(1999, 'a'), pa) << round;
		EXPECT_EQ(std::string(1999, 'b'), pb) << round;
	}
}

TEST(CStr, TheDocumentedNumberOfRecentResultsStayValidWhateverTheirLengths) {
	std::mt19937 rng(7);
	std::uniform_int_distribution<int> len(0, 2600);
	std::vector<std::string> texts;
	std::vector<String> strings;
	for (int i = 0; i < 64; ++i) {
		const int n = i % 5 == 0 ? 1999 : len(rng);
		texts.push_back(std::string((size_t)n, (char)('a' + i % 26)));
		strings.emplace_back(texts.back().c_str());
	}
	std::vector<const char*> recent;
	std::vector<int> which;
	for (int step = 0; step < 5000; ++step) {
		const int k = (int)(rng() % strings.size());
		recent.push_back(strings[k].c_str());
		which.push_back(k);
		const int first = (int)recent.size() - String::C_STR_RECENT;
		for (int j = first < 0 ? 0 : first; j < (int)recent.size(); ++j)
			ASSERT_EQ(texts[which[j]].substr(0, 1999), recent[j]) << "step " << step;
	}
}

TEST(CStr, ManyShortResultsStayValidTogether) {
	String a("alpha"), b("beta"), c("gamma");
	const char* pa = a.c_str();
	const char* pb = b.c_str();
	const char* pc = c.c_str();
	const char* pn = String().c_str();
	EXPECT_STREQ("alpha", pa);
	EXPECT_STREQ("beta", pb);
	EXPECT_STREQ("gamma", pc);
	EXPECT_STREQ("", pn);
}

} // namespace
