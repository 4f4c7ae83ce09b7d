// Choosing and importing the data package from the menu: the file dialogs as
// fake programs (which one runs, with which arguments, what their answers
// mean), arguments that no shell ever reads, a long path, and the text shown
// under the import button, with translations that try printf's conversions.
#include "OverlayFixture.h"
#include "PackageFixture.h"

#include "overlay/ImportPage.h"
#include "overlay/MenuContext.h"
#include "overlay/Notices.h"
#include "overlay/PackagePicker.h"
#include "overlay/SafeFormat.h"
#include "overlay/Translations.h"
#include "support/FakeCommand.h"
#include "support/Files.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace lumaroll;

namespace {

class PickerTest : public testing::Test {
protected:
	void SetUp() override {
		env.set("HOME", (dir / "home").c_str());
		env.set("PATH", fakes.pathFirst().c_str());
	}

	test::TempDir dir;
	test::ScopedEnv env;
	test::FakeCommands fakes;
};

TEST_F(PickerTest, WhichDialogRunsAndWhatItsAnswerMeans) {
	struct Case {
		const char* name;
		bool zenityInstalled;
		int zenityCode;
		std::string zenityOut;
		bool kdialogInstalled;
		std::string chosen;
		int kdialogCalls;
	} cases[] = {
		{"zenity answers a path with CRLF", true, 0, "/t/ok.deb\r\n", true, "/t/ok.deb", 0},
		{"zenity cancelled (exit 1)", true, 1, "", true, "", 0},
		{"zenity ended well without a path", true, 0, "", true, "", 0},
		{"zenity broken (exit 5): kdialog asks", true, 5, "", true, "/k/pick.deb", 1},
		{"zenity missing: kdialog asks", false, 0, "", true, "/k/pick.deb", 1},
		{"no dialog at all", false, 0, "", false, "", 0},
	};
	for (const Case& c : cases) {
		test::FakeCommands tools;
		if (c.zenityInstalled)
			tools.add({"zenity", c.zenityCode, c.zenityOut, "", 0});
		if (c.kdialogInstalled)
			tools.add({"kdialog", 0, "/k/pick.deb\n", "", 0});
		// Alone on PATH: a zenity or kdialog of the machine must not answer.
		env.set("PATH", tools.dir().c_str());
		EXPECT_EQ(choosePackageFile("Pick"), c.chosen) << c.name;
		EXPECT_EQ(tools.calls("kdialog"), c.kdialogCalls) << c.name;
		if (c.kdialogCalls > 0) {
			EXPECT_EQ(tools.arguments("kdialog"),
					  (std::vector<std::string>{"--getopenfilename", dir / "home", "*.deb"}))
				<< c.name;
		}
	}
}

TEST_F(PickerTest, TheTitleIsOneArgumentThatNoShellReads) {
	fakes.add({"zenity", 1, "", "", 0});
	test::ScopedCwd cwd;
	ASSERT_EQ(chdir(dir.path().c_str()), 0);
	const std::string title = "Choisir l'archive $(touch x) `touch y` ; touch z";
	EXPECT_EQ(choosePackageFile(title), "");
	EXPECT_EQ(fakes.arguments("zenity"),
			  (std::vector<std::string>{"--file-selection", "--title=" + title, "--file-filter=*.deb"}));
	for (const char* made : {"x", "y", "z"}) {
		EXPECT_FALSE(test::fileExists(dir / made)) << made;
		EXPECT_FALSE(test::fileExists(fakes.dir() + "/" + made)) << made;
	}
}

TEST_F(PickerTest, APathLongerThanAnyLineBufferArrivesWhole) {
	const std::string path = "/" + std::string(2999, 'p');
	fakes.add({"zenity", 0, path + "\nsecond line\n", "", 0});
	EXPECT_EQ(choosePackageFile("Pick"), path);
}

// The text under the import button after an import from the menu.
class ImportMessageTest : public testing::Test {
protected:
	void SetUp() override {
		if (!test::haveDpkgDeb())
			GTEST_SKIP() << "dpkg-deb is not installed";
		env.set("XDG_DATA_HOME", (dir / "data").c_str());
		env.set("XDG_CONFIG_HOME", (dir / "config").c_str());
		setAssetDirs({overlaytest::sourceAssets()});
		Translations::instance().setLanguage("en");
		std::string log;
		ASSERT_TRUE(overlaytest::writeGamePackage(dir / "work", package, false, &log)) << log;
		digest = test::sha256sumOf(package);
		ASSERT_EQ(digest.size(), 64u);
	}
	void TearDown() override {
		setAssetDirs({});
		Translations::instance().setLanguage("en");
		Translations::instance().releaseReplaced();
	}
	static std::string tr(const char* key) { return Translations::instance().get(key); }

	test::TempDir dir;
	test::ScopedEnv env;
	std::string package = dir / "game.deb";
	std::string digest;
	Notices notices;
	MenuContext context{notices};
	ImportPage page{context};
};

TEST_F(ImportMessageTest, SummaryRestartNoteAndDigestLine) {
	const std::vector<std::string> other{std::string(64, '0')};
	const std::vector<std::string> thisOne{digest};
	struct Case {
		const char* name;
		bool importScreen;
		bool digestKnown;
		std::string expected;
	} cases[] = {
		{"from the game tab, unknown package", false, false,
		 formatText(tr("game.imported"), {3}) + " " + tr("game.restart_needed") + "\n" +
			 formatText(tr("game.unknown_version"), {digest})},
		{"from the game tab, known package", false, true,
		 formatText(tr("game.imported"), {3}) + " " + tr("game.restart_needed")},
		{"on the import screen", true, false,
		 formatText(tr("game.imported"), {3}) + "\n" + formatText(tr("game.unknown_version"), {digest})},
	};
	for (const Case& c : cases) {
		context.setImportScreen(c.importScreen);
		page.options().knownDigests = c.digestKnown ? &thisOne : &other;
		page.importPackage(package);
		EXPECT_EQ(page.message(), c.expected) << c.name;
		EXPECT_TRUE(hasGameData(gameDataDir())) << c.name;
	}
}

TEST_F(ImportMessageTest, AFailureNamesThePathAndTheImportersError) {
	const std::string small = dir / "small.deb";
	test::writeFile(small, "1234567");
	page.importPackage(small);
	EXPECT_EQ(page.message(), formatText(tr("game.import_failed"), {small, "The file is not a .deb package."}));
	EXPECT_NE(page.message().find(small), std::string::npos);
	EXPECT_FALSE(hasGameData(gameDataDir()));
}

// A failed import over an installation, from the game tab, behaves as the
// command-line one: the files it wrote stay, the markers come back, and the
// data still counts as installed, so no import screen follows.
TEST_F(ImportMessageTest, AFailedReimportKeepsTheInstallation) {
	page.importPackage(package);
	ASSERT_TRUE(hasGameData(gameDataDir())) << page.message();
	const std::vector<test::TarEntry> clash{test::tarFile("opt/plimbo/data/written.txt", "written"),
											test::tarFile("opt/plimbo/data/fd", "a file"),
											test::tarFile("opt/plimbo/data/fd/x", "then a folder")};
	const struct {
		const char* name;
		std::vector<test::TarEntry> entries;
	} cases[] = {{"with markers first", test::markerEntries()}, {"without markers", {}}};
	for (const auto& c : cases) {
		std::vector<test::TarEntry> entries = c.entries;
		entries.insert(entries.end(), clash.begin(), clash.end());
		const std::string failing = dir / "failing.deb";
		ASSERT_TRUE(test::writeFile(failing, test::debPackage("data.tar.gz", test::gzip(test::tarArchive(entries)))));
		page.importPackage(failing);
		EXPECT_EQ(page.message(),
				  formatText(tr("game.import_failed"), {failing, "Could not write " + gameDataDir() + "/data/fd/x."}))
			<< c.name;
		EXPECT_TRUE(hasGameData(gameDataDir())) << c.name;
		EXPECT_EQ(test::readFile(gameDataDir() + "/data/written.txt"), "written") << c.name;
		EXPECT_EQ(test::readFile(gameDataDir() + "/data/fd"), "a file") << c.name;
		test::removeTree(gameDataDir() + "/data/fd");
	}
}

// A user's .lang file may hold any text: printf conversions stay text.
TEST_F(ImportMessageTest, TranslationsAreNeverPrintfFormats) {
	test::writeFile(dir / "config/lumaroll/lang/en.lang",
					"game.imported = %n files %s%s %\n"
					"game.restart_needed = 100% %x\n"
					"game.unknown_version = digest %s%s%n\n"
					"game.import_failed = %n%s|%s|%s %\n");
	Translations::instance().setLanguage("en");
	page.importPackage(package);
	EXPECT_EQ(page.message(), "%n files 3%s % 100% %x\ndigest " + digest + "%s%n");
	const std::string small = dir / "small.deb";
	test::writeFile(small, "1234567");
	page.importPackage(small);
	EXPECT_EQ(page.message(), "%n" + small + "|The file is not a .deb package.|%s %");
}

} // namespace
