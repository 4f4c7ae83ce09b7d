// Reading trigger scripts: keys and values, the two action lists, warnings,
// and the "this" operand of library-object scripts.
#include "logic/ScriptText.h"
#include "logic/Trigger.h"
#include "support/TriggerScript.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using lumaroll::Trigger;
using test::TriggerScript;

std::vector<std::string> actionNames(const std::vector<std::unique_ptr<lumaroll::Action>>& list) {
	std::vector<std::string> names;
	for (const auto& a : list)
		names.push_back(a->name);
	return names;
}

struct ReadCase {
	const char* name;
	std::string text;
	std::vector<std::string> main;
	std::vector<std::string> end;
	std::vector<std::string> warnings;
	int state;
	int executeType;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
	*os << c.name;
}

class ScriptReading : public testing::TestWithParam<ReadCase> {};

TEST_P(ScriptReading, GivesListsStateAndWarnings) {
	const ReadCase& c = GetParam();
	Trigger t("T_x");
	const std::vector<std::string> warnings = t.load(c.text);
	EXPECT_EQ(actionNames(t.mainActions()), c.main);
	EXPECT_EQ(actionNames(t.endActions()), c.end);
	EXPECT_EQ(warnings, c.warnings);
	EXPECT_EQ(t.getState(), c.state);
	EXPECT_EQ(t.getExecuteType(), c.executeType);
}

INSTANTIATE_TEST_SUITE_P(
	Scripts, ScriptReading,
	testing::Values(
		ReadCase{"NoStateKeyIsArmedAndRearming", TriggerScript().a("nop"), {"nop"}, {}, {}, 1, 1},
		ReadCase{"GapEndsTheList", TriggerScript().key("a01", "nop").key("a03", "delay,1"), {"nop"}, {}, {}, 1, 1},
		ReadCase{"NoFirstActionNoList", TriggerScript().key("a02", "nop").key("e01", "delay"), {}, {"delay"}, {}, 1, 1},
		ReadCase{"HundredFollowsNinetyNine",
				 [] {
					 TriggerScript s;
					 for (int i = 0; i < 99; ++i)
						 s.a("nop");
					 return s.key("a100", "delay").text();
				 }(),
				 [] {
					 std::vector<std::string> v(99, "nop");
					 v.push_back("delay");
					 return v;
				 }(),
				 {},
				 {},
				 1,
				 1},
		ReadCase{
			"ShortAndPaddedKeysAreNoActions", TriggerScript().key("a1", "nop").key("a001", "nop"), {}, {}, {}, 1, 1},
		ReadCase{"EmptyActionWarnsAndMovesTheNextUp",
				 TriggerScript().a("nop").a(" , ,\t").a("delay,2"),
				 {"nop", "delay"},
				 {},
				 {"T_x.a02: empty"},
				 1,
				 1},
		ReadCase{"UnknownKeywordBecomesNop",
				 TriggerScript().a("frobnicate,1").e("Delay"),
				 {"nop"},
				 {"nop"},
				 {"T_x.a01: unknown action 'frobnicate' (using nop)", "T_x.e01: unknown action 'Delay' (using nop)"},
				 1,
				 1},
		ReadCase{"KeywordCaseMatters",
				 TriggerScript().a("setLineSpeed").a("setlinespeed"),
				 {"setLineSpeed", "nop"},
				 {},
				 {"T_x.a02: unknown action 'setlinespeed' (using nop)"},
				 1,
				 1},
		ReadCase{
			"LaterKeyWinsAndBlanksAreTrimmed",
			TriggerScript().line(" a01 = delay ").line("a01=nop").line("\tstate\t=\t0x").line("=5").line("no equals"),
			{"nop"},
			{},
			{},
			0,
			1},
		ReadCase{"CarriageReturnLineEnds",
				 TriggerScript().state(0).executeType(0).a("delay,1").e("nop").crLineEnds(),
				 {"delay"},
				 {"nop"},
				 {},
				 0,
				 0},
		ReadCase{"ExecuteTypeNotANumberIsOneShot",
				 TriggerScript().key("executetype", "yes").a("nop"),
				 {"nop"},
				 {},
				 {},
				 1,
				 0},
		ReadCase{"OtherStatesStayAsWritten", TriggerScript().state(7).a("nop"), {"nop"}, {}, {}, 7, 1},
		ReadCase{"HugeNumbersSaturate",
				 TriggerScript().key("state", "99999999999").key("executetype", "-99999999999"),
				 {},
				 {},
				 {},
				 INT_MAX,
				 INT_MIN}),
	[](const testing::TestParamInfo<ReadCase>& i) { return std::string(i.param.name); });

TEST(ScriptReading, OperandsAreTrimmedAndEmptyFieldsDropped) {
	std::vector<std::string> fields;
	lumaroll::splitActionFields(" delay, ,2 ,\r", fields);
	EXPECT_EQ(fields, (std::vector<std::string>{"delay", "2"}));
	lumaroll::splitActionFields(",,", fields);
	EXPECT_TRUE(fields.empty());
}

struct ThisCase {
	const char* name;
	const char* script;
	const char* expected;
};

void PrintTo(const ThisCase& c, std::ostream* os) {
	*os << c.name;
}

class ThisOperand : public testing::TestWithParam<ThisCase> {};

TEST_P(ThisOperand, NamesTheLibraryObject) {
	EXPECT_EQ(lumaroll::nameThisOperands(GetParam().script, "T_door"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Scripts, ThisOperand,
						 testing::Values(ThisCase{"AtTheEnd", "a01=show,this", "a01=show,T_door"},
										 ThisCase{"BeforeAComma", "a01=link,this,a", "a01=link,T_door,a"},
										 ThisCase{"BeforeLineEnds", "a01=unlink,this\r\na02=unlink,this\n",
												  "a01=unlink,T_door\r\na02=unlink,T_door\n"},
										 ThisCase{"AfterABlank", "a01=unlink, this", "a01=unlink, T_door"},
										 ThisCase{"LongerWordStays", "a01=show,thisway", "a01=show,thisway"},
										 ThisCase{"KeywordStays", "a01=this,x", "a01=this,x"},
										 ThisCase{"EmptyScript", "", ""}),
						 [](const testing::TestParamInfo<ThisCase>& i) { return std::string(i.param.name); });

} // namespace
