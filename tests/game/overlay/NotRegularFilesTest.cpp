// The overlay's files (language files and their index, the text font, the
// icon fonts and other assets) with a named pipe or a folder in a file's
// place: each is passed over at once, as a missing file is.
#include "overlay/AssetFiles.h"
#include "overlay/FontFiles.h"
#include "overlay/Translations.h"
#include "support/Files.h"
#include "support/NamedPipe.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace lumaroll;

namespace {

class NotRegularFilesTest : public testing::TestWithParam<test::FileStandIn> {
protected:
	void SetUp() override {
		env.set("XDG_CONFIG_HOME", (dir / "config").c_str());
		setAssetDirs({dir / "first", dir / "second"});
	}
	void TearDown() override {
		// Gone before the language is set back, which reads the language folders.
		for (const std::string& path : standIns)
			test::removeTree(path);
		setAssetDirs({});
		Translations::instance().setLanguage("en");
		Translations::instance().releaseReplaced();
	}

	// Puts this run's stand-in at path.
	void standIn(const std::string& path) {
		EXPECT_TRUE(test::makeStandIn(GetParam(), path)) << path;
		standIns.push_back(path);
	}
	std::string userLang(const std::string& name) const { return dir / ("config/lumaroll/lang/" + name); }
	std::string shippedLang(const std::string& name) const { return dir / ("second/lang/" + name); }

	test::TempDir dir;
	test::ScopedEnv env;
	std::vector<std::string> standIns;
};

std::string name(const testing::TestParamInfo<test::FileStandIn>& info) {
	return info.param == test::FileStandIn::NamedPipe ? "NamedPipe" : "Folder";
}

TEST_P(NotRegularFilesTest, LanguageFilesAndTheirIndex) {
	ASSERT_TRUE(test::writeFile(shippedLang("en.lang"), "a = shipped a\nlanguage.name = English\n"));
	ASSERT_TRUE(test::writeFile(shippedLang("languages"), "en\nxx\n"));
	standIn(userLang("en.lang"));
	standIn(userLang("languages"));
	standIn(userLang("xx.lang"));

	std::string a, language, allTexts, whole = "old";
	std::vector<std::string> codes;
	std::vector<std::pair<std::string, std::string>> languages;
	bool xxLoaded = true;
	TranslationTable xx;
	test::runWithoutWaiting(standIns, [&] {
		Translations::instance().setLanguage("en");
		a = Translations::instance().get("a");
		codes = listLanguageCodes();
		languages = listLanguages();
		xxLoaded = loadLanguageFile("xx", xx);
		Translations::instance().setLanguage("xx");
		language = Translations::instance().language;
		// Every language file of the folders, as the menu's font gathers its letters.
		allTexts = allLanguageTexts();
		whole = readWholeFile(userLang("en.lang").c_str());
	});
	EXPECT_EQ(a, "shipped a");
	EXPECT_EQ(codes, (std::vector<std::string>{"en", "xx"}));
	EXPECT_EQ(languages, (std::vector<std::pair<std::string, std::string>>{{"en", "English"}}));
	EXPECT_FALSE(xxLoaded);
	EXPECT_TRUE(xx.empty());
	EXPECT_EQ(language, "en");
	EXPECT_EQ(allTexts, "shipped aEnglish");
	EXPECT_EQ(whole, "");
}

TEST_P(NotRegularFilesTest, AssetsComeFromTheNextFolder) {
	ASSERT_TRUE(test::writeFile(dir / "second/fonts/icons-solid.ttf", "the second folder's"));
	standIn(dir / "first/fonts/icons-solid.ttf");
	standIn(dir / "first/title/title.png");
	std::vector<unsigned char> icons, title = {1};
	test::runWithoutWaiting(standIns, [&] {
		icons = readAssetFile("fonts/icons-solid.ttf");
		title = readAssetFile("title/title.png");
	});
	EXPECT_EQ(std::string(icons.begin(), icons.end()), "the second folder's");
	EXPECT_TRUE(title.empty());
}

TEST_P(NotRegularFilesTest, TextFontNamedByTheEnvironment) {
	const std::string path = dir / "font.ttf";
	standIn(path);
	env.set("LUMAROLL_FONT", path.c_str());
	std::vector<unsigned char> bytes = {1};
	TextFontChoice choice;
	test::runWithoutWaiting(standIns, [&] {
		bytes = readUsableFont(path);
		choice = chooseTextFont();
	});
	EXPECT_TRUE(bytes.empty());
	EXPECT_EQ(choice.path, path);
	EXPECT_TRUE(choice.bytes.empty());
	EXPECT_TRUE(choice.fromEnvironment);
}

INSTANTIATE_TEST_SUITE_P(Kinds, NotRegularFilesTest,
						 testing::Values(test::FileStandIn::NamedPipe, test::FileStandIn::Folder), name);

} // namespace
