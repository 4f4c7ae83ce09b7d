// Translations from language folders made in a temporary folder: parsing,
// overriding, the index, the system language, and the shipped English file.
#include "OverlayFixture.h"
#include "overlay/AssetFiles.h"
#include "overlay/SafeFormat.h"
#include "overlay/Translations.h"
#include "support/Files.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace lumaroll;

namespace {

class TranslationsTest : public testing::Test {
protected:
	void SetUp() override {
		env.set("XDG_CONFIG_HOME", (dir / "config").c_str());
		setAssetDirs({dir / "assets"});
	}
	void TearDown() override {
		setAssetDirs({});
		Translations::instance().setLanguage("en");
		Translations::instance().releaseReplaced();
	}

	void shipped(const std::string& name, const std::string& text) {
		test::writeFile(dir / ("assets/lang/" + name), text);
	}
	void user(const std::string& name, const std::string& text) {
		test::writeFile(dir / ("config/lumaroll/lang/" + name), text);
	}

	test::TempDir dir;
	test::ScopedEnv env;
};

TEST_F(TranslationsTest, WithoutFilesEveryKeyReadsAsItself) {
	Translations::instance().setLanguage("auto");
	EXPECT_STREQ(Translations::instance().get("button.continue"), "button.continue");
	EXPECT_EQ(Translations::instance().language, "en");
	EXPECT_EQ(listLanguageCodes(), std::vector<std::string>{"en"});
}

TEST_F(TranslationsTest, LinesOfALanguageFile) {
	struct Case {
		const char* name;
		const char* text;
		TranslationTable expected;
	} cases[] = {
		{"blanks around key, equals sign and end; backslash-n", "  a.b  =  x\\ny  ", {{"a.b", "x\ny"}}},
		{"only the first equals sign splits", "a=b=c", {{"a", "b=c"}}},
		{"blanks before a hash make a comment", "   # x = y", {}},
		{"a line without equals sign", "just text", {}},
		{"the last of a repeated key", "k=1\nk=2", {{"k", "2"}}},
		{"a lone backslash stays", "k=a\\b\\", {{"k", "a\\b\\"}}},
		{"carriage returns of CRLF files", "k=v\r\nm=w\r\n", {{"k", "v"}, {"m", "w"}}},
		{"tabs are blanks", "\tk\t=\tv\t", {{"k", "v"}}},
	};
	for (const Case& c : cases) {
		TranslationTable table;
		parseLanguageText(c.text, table);
		EXPECT_EQ(table, c.expected) << c.name;
	}
}

TEST_F(TranslationsTest, TheConfigurationFolderOverridesSingleKeys) {
	shipped("en.lang", "a = shipped a\nb = shipped b\n");
	user("en.lang", "b = user b\n");
	Translations::instance().setLanguage("en");
	EXPECT_STREQ(Translations::instance().get("a"), "shipped a");
	EXPECT_STREQ(Translations::instance().get("b"), "user b");
}

TEST_F(TranslationsTest, AChosenLanguageFallsBackToEnglishKeyByKey) {
	shipped("en.lang", "a = A\nb = B\n");
	shipped("de.lang", "a = Ä\n");
	Translations::instance().setLanguage("de");
	EXPECT_EQ(Translations::instance().language, "de");
	EXPECT_STREQ(Translations::instance().get("a"), "Ä");
	EXPECT_STREQ(Translations::instance().get("b"), "B");
	Translations::instance().setLanguage("xx");
	EXPECT_EQ(Translations::instance().language, "en") << "a code without files ends as English";
	Translations::instance().setLanguage("../lang/en");
	EXPECT_EQ(Translations::instance().language, "en") << "a code never names a path";
}

TEST_F(TranslationsTest, TheIndexListsEachCodeOnceAndOnlyLoadableLanguages) {
	user("languages", "fr\nde\n");
	shipped("languages", "# chooser order\nfr\n  it \r\n\nde\n");
	shipped("fr.lang", "language.name = Français\n");
	shipped("de.lang", "x = y\n");
	EXPECT_EQ(listLanguageCodes(), (std::vector<std::string>{"fr", "de", "it"}));
	const std::vector<std::pair<std::string, std::string>> expected{{"fr", "Français"}, {"de", "de"}};
	EXPECT_EQ(listLanguages(), expected) << "it has no file; de has no display name";
}

TEST_F(TranslationsTest, AutoTakesTheLanguageOfTheFirstPreferredLocale) {
	env.set("LANGUAGE", nullptr);
	env.set("LC_ALL", nullptr);
	env.set("LC_MESSAGES", nullptr);
	env.set("LANG", "fr_CA.UTF-8");
	Translations::instance().setLanguage("auto");
	EXPECT_EQ(Translations::instance().language, "en") << "no French files yet";
	shipped("fr.lang", "button.continue = Continuer\n");
	Translations::instance().setLanguage("auto");
	EXPECT_EQ(Translations::instance().language, "fr");
	EXPECT_STREQ(Translations::instance().get("button.continue"), "Continuer");
}

TEST_F(TranslationsTest, TextsTakenBeforeALanguageChangeStayValidUntilReleased) {
	shipped("en.lang", "k = English text that is long enough to live on the heap\n");
	shipped("de.lang", "k = Deutscher Text, lang genug für den Heap\n");
	Translations::instance().setLanguage("en");
	const char* label = Translations::instance().get("k");
	Translations::instance().setLanguage("de");
	// Read under AddressSanitizer: a freed table would stop the test here.
	EXPECT_STREQ(label, "English text that is long enough to live on the heap");
	EXPECT_STREQ(Translations::instance().get("k"), "Deutscher Text, lang genug für den Heap");
	Translations::instance().releaseReplaced();
}

// Every key the program passes exists in the shipped English file, and each
// text has exactly the placeholders its caller fills.
TEST_F(TranslationsTest, ShippedEnglishHoldsEveryKeyWithItsPlaceholders) {
	TranslationTable en;
	parseLanguageText(test::readFile(overlaytest::sourceAssets() + "/lang/en.lang"), en);
	struct Key {
		const char* key;
		int strings; // "%s" the caller fills
	} keys[] = {
		{"language.name", 0},         {"button.continue", 0},        {"button.quit_game", 0},
		{"button.quit", 0},           {"notice.input_keyboard", 0},  {"notice.input_mouse", 0},
		{"notice.input_controller", 0}, {"notice.input_touch", 0},   {"notice.input_tilt", 0},
		{"notice.update_available", 1}, {"notice.records_cleared", 0}, {"notice.screenshot", 0},
		{"controls.calibrated", 0},
	};
	for (const Key& k : keys) {
		auto it = en.find(k.key);
		ASSERT_NE(it, en.end()) << k.key;
		int percents = 0, strings = 0;
		for (std::size_t i = 0; i < it->second.size(); ++i) {
			if (it->second[i] == '%') {
				++percents;
				if (it->second.compare(i, 2, "%s") == 0)
					++strings;
			}
		}
		EXPECT_EQ(strings, k.strings) << k.key;
		EXPECT_EQ(percents, k.strings) << k.key << ": no other '%' sequences";
	}
}

TEST(SafeFormatTest, OnlyStringNumberAndPercentPlaceholdersAreFilled) {
	struct Case {
		const char* name;
		const char* pattern;
		std::string expected;
	} cases[] = {
		{"in order", "%s is available (running %d)", "v1.3 is available (running 7)"},
		{"a percent sign", "100%% sure, %s", "100% sure, v1.3"},
		{"%n stays text", "%n%s", "%nv1.3"},
		{"a stray percent at the end", "done %", "done %"},
		{"other conversions stay text", "%x %p %08d %.*s", "%x %p %08d %.*s"},
		{"more placeholders than values", "%s %d %s %s", "v1.3 7 %s %s"},
		{"a number where text was meant", "%d", "v1.3"},
		{"no placeholders", "plain", "plain"},
	};
	for (const Case& c : cases)
		EXPECT_EQ(formatText(c.pattern, {"v1.3", 7}), c.expected) << c.name;
}

TEST(SafeFormatTest, LongResultsAreCutAtACharacterBoundary) {
	const std::string ae = "\xC3\xA4"; // two bytes
	std::string value;
	for (int i = 0; i < 600; ++i)
		value += ae;
	const std::string out = formatText("xy%s", {value});
	EXPECT_EQ(out.size(), kMaxFormattedBytes - 1) << "2 + 510 whole characters";
	EXPECT_EQ(out.substr(out.size() - 2), ae);
}

} // namespace
