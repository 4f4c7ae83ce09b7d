#include <lang/Throwable.h>
#include <lang/Exception.h>
#include <lang/FormatException.h>
#include <lang/OutOfMemoryException.h>
#include <lang/Debug.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <string>

using lang::Format;
using lang::String;

namespace {

std::string captured(const std::function<void()>& run) {
	testing::internal::CaptureStdout();
	run();
	std::fflush(stdout);
	return testing::internal::GetCapturedStdout();
}

TEST(Throwable, ConstructionWritesOneCreatedLine) {
	const std::string out = captured([] {
		lang::Exception e(Format("Failed to open {0}", "data/x.hgr"));
		(void)e;
	});
	EXPECT_EQ("Created Throwable( \"Failed to open data/x.hgr\" )\n", out);
}

TEST(Throwable, EveryKindWritesTheLine) {
	EXPECT_EQ("Created Throwable( \"t\" )\n", captured([] { lang::Throwable t{Format("t")}; }));
	EXPECT_EQ("Created Throwable( \"f 1\" )\n", captured([] { lang::FormatException f(Format("f {0}", 1)); }));
	EXPECT_EQ("Created Throwable( \"\" )\n", captured([] { lang::OutOfMemoryException o; }));
}

TEST(Throwable, CopiesWriteNothingAndKeepTheMessage) {
	lang::Exception original(Format("copy {0}", 7));
	std::string out = captured([&] {
		try {
			throw original;
		} catch (const lang::Throwable& t) {
			lang::Throwable copy = t;
			EXPECT_EQ(0, String(copy.getMessage()).compareTo("copy 7"));
		}
	});
	EXPECT_EQ("", out);
}

TEST(Throwable, TheLogLineHoldsAtMost255Characters) {
	const std::string text(400, 'w');
	const std::string out = captured([&] { lang::Exception e(Format("{0}", text.c_str())); });
	EXPECT_EQ("Created Throwable( \"" + std::string(255, 'w') + "\" )\n", out);
}

TEST(Throwable, ABadMessageFormatPropagatesAFormatException) {
	std::string out;
	testing::internal::CaptureStdout();
	EXPECT_THROW(lang::Exception e(Format("{x}", 1)), lang::FormatException);
	out = testing::internal::GetCapturedStdout();
	EXPECT_EQ("Created Throwable( \"Failed to format \"{x}\", digit expected at 1\" )\n", out);
}

TEST(DebugPrintf, WritesTheFinishedTextUnchanged) {
	EXPECT_EQ("50% of a%b\n", captured([] { lang::debugPrintf("%d%% of %s\n", 50, "a%b"); }));
}

TEST(DebugPrintf, LongTextsAreWrittenWhole) {
	const std::string text(5000, 'L');
	EXPECT_EQ(text + "!", captured([&] { EXPECT_EQ(5001, lang::debugPrintf("%s!", text.c_str())); }));
}

} // namespace
