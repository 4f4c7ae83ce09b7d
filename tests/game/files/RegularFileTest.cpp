// Files the program reads are opened only when they are regular files: a
// named pipe or a folder in a file's place is refused at once, without
// waiting for a writer.
#include "files/RegularFile.h"

#include "support/Files.h"
#include "support/NamedPipe.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <unistd.h>

using namespace lumaroll;

namespace {

struct KindCase {
	const char* name;
	std::function<void(const test::TempDir& dir, const std::string& path)> make; // the entry at path
	bool regular;
	const char* why;  // the reason given for a refused entry
	const char* text; // what a regular one holds
};

const KindCase kKinds[] = {
	{"a regular file",
	 [](const test::TempDir&, const std::string& path) { EXPECT_TRUE(test::writeFile(path, "key=value\n")); }, true, "",
	 "key=value\n"},
	{"an empty regular file",
	 [](const test::TempDir&, const std::string& path) { EXPECT_TRUE(test::writeFile(path, "")); }, true, "", ""},
	{"a link to a regular file",
	 [](const test::TempDir& dir, const std::string& path) {
		 EXPECT_TRUE(test::writeFile(dir / "target", "linked"));
		 EXPECT_EQ(symlink((dir / "target").c_str(), path.c_str()), 0);
	 },
	 true, "", "linked"},
	{"nothing", [](const test::TempDir&, const std::string&) {}, false, "No such file or directory", ""},
	{"a folder", [](const test::TempDir&, const std::string& path) { EXPECT_TRUE(test::makeDirs(path)); }, false,
	 "not a regular file", ""},
	{"a named pipe",
	 [](const test::TempDir&, const std::string& path) {
		 EXPECT_TRUE(test::makeStandIn(test::FileStandIn::NamedPipe, path));
	 },
	 false, "not a regular file", ""},
	{"a link to a named pipe",
	 [](const test::TempDir& dir, const std::string& path) {
		 EXPECT_TRUE(test::makeStandIn(test::FileStandIn::NamedPipe, dir / "pipe"));
		 EXPECT_EQ(symlink((dir / "pipe").c_str(), path.c_str()), 0);
	 },
	 false, "not a regular file", ""},
	{"a link to a device that never ends",
	 [](const test::TempDir&, const std::string& path) { EXPECT_EQ(symlink("/dev/zero", path.c_str()), 0); }, false,
	 "not a regular file", ""},
};

TEST(RegularFileTest, OnlyRegularFilesAreOpened) {
	for (const KindCase& c : kKinds) {
		SCOPED_TRACE(c.name);
		test::TempDir dir;
		const std::string path = dir / "file";
		c.make(dir, path);

		int fd = -1;
		std::string why = "untouched", text = "old", streamText;
		bool textRead = false, bytesRead = false;
		std::vector<unsigned char> bytes = {1, 2};
		std::FILE* stream = nullptr;
		test::runWithoutWaiting({path, dir / "pipe"}, [&] {
			fd = openRegularFile(path, &why);
			textRead = readRegularFile(path, text);
			bytesRead = readRegularFile(path, bytes);
			stream = openRegularFileStream(path);
			if (stream) {
				for (int ch; (ch = std::fgetc(stream)) != EOF;)
					streamText += char(ch);
				std::fclose(stream);
			}
		});

		EXPECT_EQ(fd >= 0, c.regular);
		if (fd >= 0) {
			EXPECT_EQ(why, "untouched");
			// Reads wait for their bytes again, as any other open file's do.
			EXPECT_EQ(fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
			EXPECT_NE(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
			close(fd);
		} else {
			EXPECT_EQ(why, c.why);
		}
		EXPECT_EQ(textRead, c.regular);
		EXPECT_EQ(text, c.text);
		EXPECT_EQ(bytesRead, c.regular);
		EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.text);
		EXPECT_EQ(stream != nullptr, c.regular);
		EXPECT_EQ(streamText, c.text);
	}
}

TEST(RegularFileTest, AFileLargerThanAllowedIsNotRead) {
	test::TempDir dir;
	const std::string path = dir / "file";
	const std::string content(40000, 'x'); // more than one piece of a read
	ASSERT_TRUE(test::writeFile(path, content));
	std::string text;
	EXPECT_FALSE(readRegularFile(path, text, content.size() - 1));
	EXPECT_TRUE(text.empty());
	EXPECT_TRUE(readRegularFile(path, text, content.size()));
	EXPECT_EQ(text, content);
}

} // namespace
