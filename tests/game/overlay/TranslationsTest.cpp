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
		int numbers; // "%d" the caller fills
	} keys[] = {
		{"language.name", 0, 0},
		{"button.continue", 0, 0},
		{"button.quit_game", 0, 0},
		{"button.quit", 0, 0},
		{"notice.input_keyboard", 0, 0},
		{"notice.input_mouse", 0, 0},
		{"notice.input_controller", 0, 0},
		{"notice.input_touch", 0, 0},
		{"notice.input_tilt", 0, 0},
		{"notice.update_available", 1, 0},
		{"notice.records_cleared", 0, 0},
		{"notice.screenshot", 0, 0},
		// The menu's tabs.
		{"tab.game", 0, 0},
		{"tab.controls", 0, 0},
		{"tab.graphics", 0, 0},
		{"tab.audio", 0, 0},
		{"tab.improvements", 0, 0},
		{"tab.about", 0, 0},
		// The game tab, the welcome page and the import button.
		{"game.welcome", 0, 0},
		{"game.choose_deb", 0, 0},
		{"game.import_another", 0, 0},
		{"game.picker_title", 0, 0},
		{"game.no_picker", 0, 0},
		{"game.imported", 0, 1},
		{"game.restart_needed", 0, 0},
		{"game.unknown_version", 1, 0},
		{"game.import_failed", 2, 0},
		{"game.section_data", 0, 0},
		{"game.status", 0, 0},
		{"game.data_ok", 0, 0},
		{"game.data_missing", 0, 0},
		{"game.folder", 0, 0},
		{"game.section_updates", 0, 0},
		{"game.check_updates", 0, 0},
		{"game.update_status", 0, 0},
		{"game.update_disabled", 0, 0},
		{"game.update_checking", 0, 0},
		{"game.update_latest", 0, 0},
		{"game.update_failed", 0, 0},
		{"game.update_available", 1, 0},
		{"game.update_download", 0, 0},
		{"game.section_records", 0, 0},
		{"game.records_clear", 0, 0},
		{"game.records_confirm", 0, 0},
		{"game.section_language", 0, 0},
		{"game.language", 0, 0},
		{"game.language_auto", 0, 0},
		// The controls tab.
		{"controls.section_camera", 0, 0},
		{"controls.camera_sensitivity", 0, 0},
		{"controls.invert_y", 0, 0},
		{"controls.section_controllers", 0, 0},
		{"controls.deadzone", 0, 0},
		{"controls.vibration", 0, 0},
		{"controls.connected", 0, 0},
		{"controls.none_connected", 0, 0},
		{"controls.section_touch", 0, 0},
		{"controls.touch", 0, 0},
		{"controls.touch_modern", 0, 0},
		{"controls.touch_classic", 0, 0},
		{"controls.touch_accelerometer", 0, 0},
		{"controls.tilt_sensitivity", 0, 0},
		{"controls.tilt_invert_x", 0, 0},
		{"controls.tilt_invert_y", 0, 0},
		{"controls.tilt_camera", 0, 0},
		{"controls.tilt_camera_follow", 0, 0},
		{"controls.tilt_camera_fixed", 0, 0},
		{"controls.calibrate", 0, 0},
		{"controls.calibrated", 0, 0},
		// The graphics, audio, improvements and about tabs.
		{"graphics.section_display", 0, 0},
		{"graphics.fullscreen", 0, 0},
		{"graphics.vsync", 0, 0},
		{"graphics.resolution", 0, 0},
		{"graphics.section_performance", 0, 0},
		{"graphics.render_scale", 0, 0},
		{"graphics.fps_limit", 0, 0},
		{"graphics.fps_unlimited", 0, 0},
		{"graphics.show_fps", 0, 0},
		{"audio.section", 0, 0},
		{"audio.section_music", 0, 0},
		{"audio.section_sounds", 0, 0},
		{"audio.mute", 0, 0},
		{"audio.volume", 0, 0},
		{"improvements.section", 0, 0},
		{"improvements.visible_sections", 0, 0},
		{"about.version", 1, 0},
		{"about.by", 0, 0},
		{"about.section_community", 0, 0},
		{"about.section_original", 0, 0},
		{"about.original", 0, 0},
		{"about.not_affiliated", 0, 0},
		{"about.libraries", 0, 0},
		{"about.license", 0, 0},
	};
	for (const Key& k : keys) {
		auto it = en.find(k.key);
		ASSERT_NE(it, en.end()) << k.key;
		int percents = 0, strings = 0, numbers = 0;
		for (std::size_t i = 0; i < it->second.size(); ++i) {
			if (it->second[i] == '%') {
				++percents;
				if (it->second.compare(i, 2, "%s") == 0)
					++strings;
				if (it->second.compare(i, 2, "%d") == 0)
					++numbers;
			}
		}
		EXPECT_EQ(strings, k.strings) << k.key;
		EXPECT_EQ(numbers, k.numbers) << k.key;
		EXPECT_EQ(percents, k.strings + k.numbers) << k.key << ": no other '%' sequences";
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
