// The data archive's entries: which are extracted, where to, and the
// failures of the walk.

#include "ImportFixture.h"

#include "import/DataArchive.h"
#include "support/GameDataWriter.h"

using lumaroll::ImportResult;
using test::gnuLongName;
using test::tarArchive;
using test::tarDir;
using test::TarEntry;
using test::tarFile;

namespace {
const char kNotGame[] = "The package does not look like Plimbo Voyage (game data missing).";
}

TEST_F(ImportTest, ExtractsGameFilesFromPlainAndGzipArchives) {
	for (bool plain : {true, false}) {
		SCOPED_TRACE(plain ? "data.tar" : "data.tar.gz");
		test::removeTree(dest);
		progress.clear();
		const std::string tar = tarArchive(withMarkers(
			{tarDir("./opt/plimbo/data/"), tarFile("./opt/plimbo/data/sounds/ball.wav", std::string(1000, 'w'))}));
		const ImportResult r = importTar(tar, plain);
		ASSERT_TRUE(r.ok) << r.error;
		EXPECT_EQ(r.error, "");
		EXPECT_EQ(r.files, 4);
		EXPECT_EQ(r.bytes, 1000 + 5 + 4 + 4);
		EXPECT_EQ(destFile("data/sounds/ball.wav"), std::string(1000, 'w'));
		EXPECT_EQ(destFile("data/bundles/original/level01.hgr"), "level");
		EXPECT_TRUE(lumaroll::hasGameData(dest));
	}
}

TEST_F(ImportTest, ProgressSeesDataPathsAndRunningCount) {
	const std::string tar = tarArchive(withMarkers({tarDir("opt/plimbo/data/x/"), tarFile("usr/share/doc/README", "d"),
													tarFile("././opt/plimbo/data/x/a.txt", "a")}));
	ASSERT_TRUE(importTar(tar).ok);
	const std::vector<std::pair<std::string, int>> expected{{"data/x/a.txt", 1},
															{"data/bundles/original/level01.hgr", 2},
															{"data/resources/models/plimbo.hgr", 3},
															{"data/resources/images/MENU.dat", 4}};
	EXPECT_EQ(progress, expected);
}

// Which entry names are extracted, and to where below the destination.
TEST(GameFileRelativePath, Table) {
	struct Case {
		const char* name;
		const char* rel;
	} cases[] = {
		{"opt/plimbo/data/a.txt", "data/a.txt"},
		{"./opt/plimbo/data/a.txt", "data/a.txt"},
		{"./././opt/plimbo/data/a.txt", "data/a.txt"},
		{"opt/plimbo/data", "data"},
		{"opt/plimbo/data/", "data/"},
		{"usr/share/doc/plimbo/copyright", ""},
		{"opt/plimbo/readme", ""},
		{".opt/plimbo/data/a", ""},
		{"/opt/plimbo/data/a.txt", ""},				 // absolute
		{"opt/plimbo/data/../../../etc/passwd", ""}, // climbs out
		{"opt/plimbo/data/sub/..", ""},
		{"opt/plimbo/data/file..name.txt", ""}, // two dots anywhere
		{"opt/plimbo/database/a.txt", ""},		// prefix not followed by '/'
		{"opt/plimbo/data2/a.txt", ""},
		{"opt/plimbo/data.txt", ""},
		{"", ""},
	};
	for (const Case& c : cases)
		EXPECT_EQ(lumaroll::gameFileRelativePath(c.name), c.rel) << c.name;
}

TEST_F(ImportTest, EntriesOutsideTheDataFolderAreNotWritten) {
	const std::string tar = tarArchive(withMarkers({
		tarFile("opt/plimbo/data/../../escaped.txt", "x"),
		tarFile("/tmp/absolute.txt", "x"),
		tarFile("opt/plimbo/database.txt", "x"),
		tarFile("opt/plimbo/data2/beside.txt", "x"),
	}));
	const ImportResult r = importTar(tar);
	ASSERT_TRUE(r.ok) << r.error;
	EXPECT_EQ(r.files, 3);
	EXPECT_FALSE(test::fileExists(tmp / "escaped.txt"));
	EXPECT_FALSE(destHas("database.txt"));
	EXPECT_FALSE(destHas("data2"));
	EXPECT_FALSE(test::fileExists("/tmp/absolute.txt") && test::readFile("/tmp/absolute.txt") == "x");
}

TEST_F(ImportTest, LinksAndOtherTypesAreSteppedOver) {
	TarEntry symlink = tarFile("opt/plimbo/data/link", "");
	symlink.type = '2';
	symlink.linkName = "/etc/passwd";
	TarEntry hardlink = tarFile("opt/plimbo/data/hard", "");
	hardlink.type = '1';
	hardlink.linkName = "opt/plimbo/data/bundles/original/level01.hgr";
	TarEntry paxHeader = tarFile("./PaxHeaders/x", "30 path=opt/plimbo/data/pax.txt\n");
	paxHeader.type = 'x';
	TarEntry oldStyle = tarFile("opt/plimbo/data/old.txt", "nul type");
	oldStyle.type = '\0';
	const ImportResult r = importTar(tarArchive(withMarkers({symlink, hardlink, paxHeader, oldStyle})));
	ASSERT_TRUE(r.ok) << r.error;
	EXPECT_EQ(r.files, 4);
	EXPECT_FALSE(destHas("data/link"));
	EXPECT_FALSE(destHas("data/hard"));
	EXPECT_FALSE(destHas("data/pax.txt"));
	EXPECT_EQ(destFile("data/old.txt"), "nul type");
}

TEST_F(ImportTest, GnuLongNamesAndUstarPrefix) {
	const std::string longPath = "opt/plimbo/data/" + std::string(120, 'd') + "/file-with-a-long-name.bin";
	TarEntry prefixed = tarFile("prefixed.txt", "p");
	prefixed.prefix = "opt/plimbo/data/" + std::string(90, 'p');
	TarEntry longNameWithPrefix = tarFile("short", "l");
	longNameWithPrefix.prefix = "opt/plimbo/data/wrong";
	const ImportResult r = importTar(tarArchive(withMarkers({
		gnuLongName(longPath),
		tarFile(longPath.substr(0, 99), "long"),
		prefixed,
		gnuLongName("./opt/plimbo/data/replaced.txt"),
		longNameWithPrefix,
	})));
	ASSERT_TRUE(r.ok) << r.error;
	EXPECT_EQ(destFile(longPath.substr(11)), "long");
	EXPECT_EQ(destFile("data/" + std::string(90, 'p') + "/prefixed.txt"), "p");
	EXPECT_EQ(destFile("data/replaced.txt"), "l");
	EXPECT_FALSE(destHas("data/wrong"));
}

TEST_F(ImportTest, PrefixIgnoredWithoutUstarMagic) {
	TarEntry e = tarFile("x.txt", "x");
	e.ustar = false;
	std::string tar = tarArchive(withMarkers({e}));
	// Put a prefix in place although the magic is missing.
	const std::string prefix = "opt/plimbo/data";
	tar.replace(345, prefix.size(), prefix);
	const ImportResult r = importTar(tar);
	ASSERT_TRUE(r.ok) << r.error;
	EXPECT_EQ(r.files, 3);
}

TEST_F(ImportTest, EntryPastTheEndOfTheArchive) {
	// Not extracted, yet still checked: a doc file whose size runs past the end.
	TarEntry doc = tarFile("usr/share/doc/plimbo/changelog", "short");
	doc.size = 100000;
	for (const TarEntry& last : {doc, gnuLongName(std::string(600, 'n'))}) {
		SCOPED_TRACE(last.type == 'L' ? "a long name" : "a file");
		std::vector<TarEntry> entries = test::markerEntries();
		std::string tar = tarArchive(entries, false);
		TarEntry cut = last;
		cut.size = 100000;
		tar += tarArchive({cut}, false);
		const ImportResult r = importTar(tar);
		EXPECT_EQ(r.error, "The package data is incomplete.");
		EXPECT_EQ(r.files, 3) << "files written before the failure are counted";
	}
}

// The last entry's padding may be missing; the walk then simply ends.
TEST_F(ImportTest, ArchiveEndingWithoutPaddingOrEndBlocks) {
	std::string tar = tarArchive(withMarkers({tarFile("opt/plimbo/data/tail.txt", "tail")}), false);
	tar.resize(tar.size() - 508);
	const ImportResult r = importTar(tar);
	ASSERT_TRUE(r.ok) << r.error;
	EXPECT_EQ(destFile("data/tail.txt"), "tail");
}

TEST_F(ImportTest, EmptyDataArchiveNeedsEarlierGameData) {
	EXPECT_EQ(importTar("", true).error, kNotGame);
	EXPECT_EQ(importTar(std::string(511, '\0'), true).error, kNotGame);

	ASSERT_TRUE(importTar(tarArchive(test::markerEntries())).ok);
	const ImportResult again = importTar("", true);
	EXPECT_TRUE(again.ok) << again.error;
	EXPECT_EQ(again.files, 0);
}

// The markers a package holds are never put in place when one is missing.
TEST_F(ImportTest, MissingMarkerFails) {
	std::vector<TarEntry> entries = test::markerEntries();
	entries.pop_back();
	entries.push_back(tarFile("opt/plimbo/data/other.txt", "o"));
	const ImportResult r = importTar(tarArchive(entries));
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, kNotGame);
	EXPECT_EQ(r.files, 3);
	EXPECT_EQ(destFile("data/other.txt"), "o") << "other files are not rolled back";
	EXPECT_FALSE(destHas("data/bundles/original/level01.hgr"));
	EXPECT_FALSE(destHas("data/bundles/original/level01.hgr.import-part"));
}

TEST_F(ImportTest, SecondImportReplacesFiles) {
	ASSERT_TRUE(importTar(tarArchive(withMarkers({tarFile("opt/plimbo/data/v.txt", "first version, longer")}))).ok);
	ASSERT_TRUE(importTar(tarArchive(withMarkers({tarFile("opt/plimbo/data/v.txt", "second")}))).ok);
	EXPECT_EQ(destFile("data/v.txt"), "second");
	EXPECT_FALSE(destHas("data/v.txt.import-part"));
}

// The earlier installation's markers that a second package lacks are put
// back with the new ones at its end: the folder as a whole counts.
TEST_F(ImportTest, SecondImportKeepsTheEarlierMarkersItLacks) {
	ASSERT_TRUE(importTar(tarArchive(test::markerEntries())).ok);
	const ImportResult r = importTar(tarArchive({tarFile("opt/plimbo/data/bundles/original/level01.hgr", "level two"),
												 tarFile("opt/plimbo/data/extra.txt", "x")}));
	ASSERT_TRUE(r.ok) << r.error;
	EXPECT_EQ(destFile("data/bundles/original/level01.hgr"), "level two");
	EXPECT_EQ(destFile("data/resources/models/plimbo.hgr"), "ball");
	EXPECT_EQ(destFile("data/resources/images/MENU.dat"), "menu");
	EXPECT_FALSE(destHas("data/resources/models/plimbo.hgr.import-part"));
}

// The markers are held back however the package spells their names, and
// nothing else may appear in a marker's place before the end: a first import
// that fails after them leaves the folder without any.
TEST_F(ImportTest, MarkersListedFirstAreAbsentAfterALaterFailure) {
	const std::vector<TarEntry> markers = test::markerEntries();
	const TarEntry taken = tarFile("opt/plimbo/data/taken", "a folder is in the way");
	const std::string menu = dest + "/data/resources/images/MENU.dat";
	const struct {
		const char* name;
		std::vector<TarEntry> entries;
		std::string error;
	} cases[] = {
		{"markers first, a later file fails",
		 {markers[0], markers[1], markers[2], taken},
		 "Could not write " + dest + "/data/taken."},
		{"marker names with ./ and doubled slashes",
		 {tarFile("./opt/plimbo/data/bundles//original/./level01.hgr", "l"),
		  tarFile("opt/plimbo/data//resources/models/plimbo.hgr", "b"),
		  tarFile("opt/plimbo/data/resources/./images/MENU.dat", "m"), taken},
		 "Could not write " + dest + "/data/taken."},
		{"a folder entry at a marker",
		 {markers[0], markers[1], tarDir("opt/plimbo/data/resources/images/MENU.dat/")},
		 "Could not write " + menu + "/."},
		{"a file below a marker",
		 {markers[0], markers[1], tarFile("opt/plimbo/data/resources/images/MENU.dat/x", "x")},
		 "Could not write " + menu + "/x."},
		{"a marker name ending in a slash",
		 {markers[0], markers[1], tarFile("opt/plimbo/data/resources/images/MENU.dat/", "m")},
		 "Could not write " + menu + "/."},
	};
	for (const auto& c : cases) {
		test::removeTree(dest);
		ASSERT_TRUE(test::makeDirs(dest + "/data/taken"));
		const ImportResult r = importTar(tarArchive(c.entries));
		EXPECT_EQ(r.error, c.error) << c.name;
		EXPECT_FALSE(lumaroll::hasGameData(dest)) << c.name;
		for (const TarEntry& marker : markers) {
			const std::string rel = marker.name.substr(11);
			EXPECT_FALSE(destHas(rel)) << c.name << ": " << rel;
			EXPECT_FALSE(destHas(rel + ".import-part")) << c.name << ": " << rel;
		}
	}
}

// Names that are empty once "./" is removed are passed over. (A header whose
// name is empty from the start is an end-of-archive block.)
TEST_F(ImportTest, EmptyNamesAndZeroSizedFiles) {
	const ImportResult r = importTar(tarArchive(
		withMarkers({tarFile("./", "dot"), tarFile("././", "dots"), tarFile("opt/plimbo/data/empty.txt", "")})));
	ASSERT_TRUE(r.ok) << r.error;
	EXPECT_EQ(r.files, 4);
	EXPECT_TRUE(destHas("data/empty.txt"));
	EXPECT_EQ(destFile("data/empty.txt"), "");
}

TEST(HasGameData, NeedsAllThreeMarkers) {
	test::TempDir tmp;
	const std::vector<test::GameDataMarker>& markers = test::gameDataMarkers();
	for (size_t missing = 0; missing < markers.size(); ++missing) {
		test::removeTree(tmp / "data");
		for (size_t i = 0; i < markers.size(); ++i) {
			if (i != missing) {
				ASSERT_TRUE(test::writeFile(tmp / markers[i].path, ""));
			}
		}
		EXPECT_FALSE(lumaroll::hasGameData(tmp.path())) << markers[missing].path;
	}
	// Only existence counts: a directory in place of a marker will do.
	ASSERT_TRUE(test::makeDirs(tmp / markers.back().path));
	EXPECT_TRUE(lumaroll::hasGameData(tmp.path()));
}
