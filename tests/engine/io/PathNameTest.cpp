#include <io/PathName.h>
#include "IoTest.h"

#include <gtest/gtest.h>
#include <string>

using test::ioMessage;

namespace {

struct Split {
	const char* path;
	const char* drive;
	const char* directory;
	const char* baseName;
	const char* extension;
};

void expectSplit(const io::PathName& p, const Split& s) {
	EXPECT_STREQ(p.path(), s.path);
	EXPECT_STREQ(p.drive(), s.drive);
	EXPECT_STREQ(p.directory(), s.directory);
	EXPECT_STREQ(p.baseName(), s.baseName);
	EXPECT_STREQ(p.extension(), s.extension);
}

TEST(PathName, BuildAndSplit) {
	struct Case {
		const char* directory;
		const char* fileName;
		Split split;
	};
	const Case cases[] = {
		{"data/levels", "/level1.hgr", {"data/levels/level1.hgr", "", "data/levels/", "level1", ".hgr"}},
		{"D:\\a\\b.c.txt", nullptr, {"D:/a/b.c.txt", "D:", "/a/", "b.c", ".txt"}},
		{"a\\", "x", {"a/x", "", "a/", "x", ""}},
		{"a/", "\\x.y", {"a/x.y", "", "a/", "x", ".y"}},
		{"", "x", {"x", "", "", "x", ""}},
		{"dir/", nullptr, {"dir/", "", "dir/", "", ""}},
		{"", nullptr, {"", "", "", "", ""}},
		{"c:file", nullptr, {"c:file", "c:", "", "file", ""}},
		{"a.b/c", nullptr, {"a.b/c", "", "a.b/", "c", ""}},
		{"x/.hidden", nullptr, {"x/.hidden", "", "x/", "", ".hidden"}},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.split.path);
		io::PathName p(c.directory, c.fileName);
		expectSplit(p, c.split);
	}
}

TEST(PathName, CopyKeepsItsOwnTexts) {
	io::PathName a("data/levels", "level1.hgr");
	io::PathName b(a);
	a.join("other/x.y");
	expectSplit(b, {"data/levels/level1.hgr", "", "data/levels/", "level1", ".hgr"});
	b = a;
	expectSplit(b, {"other/x.y", "", "other/", "x", ".y"});
}

TEST(PathName, DirectoryOf) {
	struct Case {
		const char* path;
		const char* parent;
	};
	const Case cases[] = {
		{"data/levels/", "data"}, {"data/levels/a.hgr", "data/levels"}, {"a.hgr", ""}, {"/a.hgr", ""}, {"", ""},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.path);
		io::PathName other(c.path);
		io::PathName p;
		p.directoryOf(other);
		EXPECT_STREQ(p.path(), c.parent);
		other.directoryOf(other);
		EXPECT_STREQ(other.path(), c.parent);
	}
}

TEST(PathName, JoinOne) {
	io::PathName p;
	p.join("textures\\wall.pvr");
	expectSplit(p, {"textures/wall.pvr", "", "textures/", "wall", ".pvr"});

	std::string longest(240, 'a');
	p.join(longest.c_str());
	EXPECT_EQ(std::string(p.path()), longest);

	std::string tooLong(250, 'b');
	EXPECT_EQ(ioMessage([&] { p.join(tooLong.c_str()); }), "Too long path name: \"" + tooLong + "\"");
}

TEST(PathName, JoinTwoIsBoundedByTheSharedBuffer) {
	// Directory, its terminator, file name and its terminator share 250 bytes;
	// the longest pairs that fit give paths of 249 characters, all parts kept.
	std::string dir(200, 'd');
	io::PathName p;
	p.join(dir.c_str(), std::string(48, 'f').c_str());
	EXPECT_EQ(std::string(p.path()), dir + "/" + std::string(48, 'f'));
	p.join("c:", (std::string(200, 'd') + "/" + std::string(41, 'f') + ".ext").c_str());
	EXPECT_EQ(std::string(p.extension()), ".ext");
	EXPECT_EQ(std::string(p.path()).size(), 249u);

	for (int fileLength : {49, 53, 100}) {
		std::string file(fileLength, 'f');
		EXPECT_EQ(ioMessage([&] { p.join(dir.c_str(), file.c_str()); }),
				  "Too long path name: \"" + dir + "\" and \"" + file + "\"");
	}
	std::string longDir(250, 'd');
	EXPECT_EQ(ioMessage([&] { p.join(longDir.c_str(), "x"); }), "Too long path name: \"" + longDir + "\" and \"x\"");

	p.join("shaders", "/fx/water.fx");
	expectSplit(p, {"shaders/fx/water.fx", "", "shaders/fx/", "water", ".fx"});
}

TEST(PathName, OverflowOfTheTextBuffer) {
	// The path and each of its parts are stored in one buffer inside the object.
	std::string dir(150, 'd');
	std::string file = std::string(100, 'f') + ".ext";
	EXPECT_EQ(ioMessage([&] { io::PathName p(dir.c_str(), file.c_str()); }),
			  "Path name buffer overflow, 515 bytes. Initial path name was \"" + dir + "/" + file + "\".");
	EXPECT_EQ(ioMessage([&] { io::PathName p(std::string(600, 'x').c_str()); }),
			  "Path name buffer overflow, 603 bytes. Initial path name was \"\".");
}

} // namespace
