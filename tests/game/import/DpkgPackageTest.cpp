// Packages built by dpkg-deb, the way real data packages are made.

#include <map>

#include "ImportFixture.h"

using lumaroll::ImportResult;

namespace {

std::map<std::string, std::string> gameTree() {
	std::map<std::string, std::string> files{
		{"opt/plimbo/data/bundles/original/level01.hgr", "level one"},
		{"opt/plimbo/data/resources/models/plimbo.hgr", "ball model"},
		{"opt/plimbo/data/resources/images/MENU.dat", std::string(70000, 'm')},
		{"opt/plimbo/data/sounds/odd-size.wav", std::string(513, 's')},
		{"opt/plimbo/plimbo.desktop", "not game data"},
		{"usr/share/doc/plimbo/copyright", "doc"},
	};
	// Longer than the 100 bytes of a tar name field: dpkg-deb writes a GNU long name.
	files["opt/plimbo/data/" + std::string(60, 'a') + "/" + std::string(60, 'b') + "/deep.txt"] = "deep";
	return files;
}

} // namespace

class DpkgPackageTest : public ImportTest, public ::testing::WithParamInterface<const char*> {
protected:
	void SetUp() override {
		if (!test::haveDpkgDeb())
			GTEST_SKIP() << "dpkg-deb is not installed";
	}
};

TEST_P(DpkgPackageTest, ImportsEveryGameFile) {
	const auto files = gameTree();
	std::string log;
	ASSERT_TRUE(test::buildDebWithDpkg(tmp.path(), files, GetParam(), deb, &log)) << log;
	const ImportResult r = lumaroll::importDebPackage(deb, dest, recorder());
	ASSERT_TRUE(r.ok) << r.error;
	EXPECT_EQ(r.sha256, test::sha256sumOf(deb));
	EXPECT_FALSE(r.digestKnown);

	int expectedFiles = 0;
	std::int64_t expectedBytes = 0;
	for (const auto& f : files) {
		const bool game = f.first.compare(0, 16, "opt/plimbo/data/") == 0;
		EXPECT_EQ(test::fileExists(dest + "/" + f.first.substr(11)), game) << f.first;
		if (game) {
			EXPECT_EQ(destFile(f.first.substr(11)), f.second) << f.first;
			++expectedFiles;
			expectedBytes += static_cast<std::int64_t>(f.second.size());
		}
	}
	EXPECT_EQ(r.files, expectedFiles);
	EXPECT_EQ(r.bytes, expectedBytes);
	ASSERT_EQ(progress.size(), static_cast<size_t>(expectedFiles));
	for (size_t i = 0; i < progress.size(); ++i) {
		EXPECT_EQ(progress[i].first.compare(0, 5, "data/"), 0) << progress[i].first;
		EXPECT_EQ(progress[i].second, static_cast<int>(i + 1));
	}
}

INSTANTIATE_TEST_SUITE_P(Compression, DpkgPackageTest, ::testing::Values("gzip", "none"));

TEST_F(ImportTest, DpkgXzPackageNamesItsCompression) {
	if (!test::haveDpkgDeb())
		GTEST_SKIP() << "dpkg-deb is not installed";
	std::string log;
	ASSERT_TRUE(test::buildDebWithDpkg(tmp.path(), gameTree(), "xz", deb, &log)) << log;
	const ImportResult r = lumaroll::importDebPackage(deb, dest, nullptr);
	EXPECT_EQ(r.error, "Unsupported compression (data.tar.xz); expected data.tar.gz.");
	EXPECT_EQ(r.sha256, test::sha256sumOf(deb));
	EXPECT_FALSE(test::fileExists(dest));
}
