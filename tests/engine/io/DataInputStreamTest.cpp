#include <io/DataInputStream.h>
#include <io/FileInputStream.h>
#include <lang/Ptr.h>
#include "IoTest.h"
#include "support/BinaryWriter.h"
#include "support/NamedPipe.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <cstring>

using test::BinaryWriter;
using test::ioMessage;
using test::str;

namespace {

/** A file holding the writer's bytes, opened as a data stream. */
struct DataFile {
	explicit DataFile(const BinaryWriter& w, const std::string& name = "data.bin") : path(test::tempPath(name)) {
		EXPECT_TRUE(w.writeFile(path));
		file = new io::FileInputStream(path.c_str());
		in = new io::DataInputStream(file);
	}
	std::string path;
	lang::Ptr<io::FileInputStream> file;
	lang::Ptr<io::DataInputStream> in;
};

TEST(DataInputStream, TypedReadsAreBigEndian) {
	BinaryWriter w;
	w.bytes({0xFF, 0xFE});			   // short -2
	w.bytes({0x00, 0x00, 0x01, 0x00}); // int 256
	w.bytes({0x3F, 0x80, 0x00, 0x00}); // float 1.0
	w.float64(-2.5);
	w.bytes({0x00, 0x07, 0xFF, 'A', 0xE9}); // booleans, byte, chars
	w.int32(-2147483647 - 1);
	w.int16(32767);
	DataFile f(w);
	EXPECT_EQ(f.in->readShort(), -2);
	EXPECT_EQ(f.in->readInt(), 256);
	EXPECT_EQ(f.in->readFloat(), 1.0f);
	EXPECT_EQ(f.in->readDouble(), -2.5);
	EXPECT_FALSE(f.in->readBoolean());
	EXPECT_TRUE(f.in->readBoolean());
	EXPECT_EQ(f.in->readByte(), 255);
	EXPECT_EQ(f.in->readChar(), 'A');
	EXPECT_EQ(static_cast<unsigned char>(f.in->readChar()), 0xE9);
	EXPECT_EQ(f.in->readInt(), -2147483647 - 1);
	EXPECT_EQ(f.in->readShort(), 32767);
	EXPECT_EQ(f.in->available(), 0);
}

TEST(DataInputStream, ReadPastEndNamesTheFile) {
	BinaryWriter w;
	for (int i = 0; i < 10; ++i)
		w.byte(uint8_t(i));
	DataFile f(w, "ten.bin");
	f.in->readInt();
	f.in->readInt();
	EXPECT_EQ(ioMessage([&] { f.in->readInt(); }), "Unexpected end of file in " + f.path + ".");
}

TEST(DataInputStream, ReadUTF) {
	struct Case {
		const char* name;
		std::vector<uint8_t> bytes;
		std::string expected;
		int left; // bytes left after the read
	};
	const Case cases[] = {
		{"empty string is null", {0x00, 0x00, 0x41}, "", 1},
		{"plain", {0x00, 0x02, 'h', 'i'}, "hi", 0},
		{"bad byte dropped", {0x00, 0x03, 0x61, 0xFF, 0x62}, "ab", 0},
		{"multibyte", {0x00, 0x05, 0xC3, 0xA9, 0xE2, 0x82, 0xAC}, "\xC3\xA9\xE2\x82\xAC", 0},
		{"bad continuation dropped", {0x00, 0x03, 0xE2, 0x41, 0x42}, "AB", 0},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		BinaryWriter w;
		w.bytes(c.bytes.data(), c.bytes.size());
		DataFile f(w);
		lang::String s = f.in->readUTF();
		EXPECT_EQ(str(s), c.expected);
		EXPECT_EQ(s.isNull(), c.expected.empty());
		EXPECT_EQ(f.in->available(), c.left);
	}
}

TEST(DataInputStream, NegativeUTFLengthIsInvalidData) {
	BinaryWriter w;
	w.bytes({0x80, 0x00, 0x41});
	DataFile f(w);
	EXPECT_EQ(ioMessage([&] { f.in->readUTF(); }), "Invalid UTF-8 data in " + f.path + ".");
	char buf[8];
	BinaryWriter w2;
	w2.bytes({0xFF, 0xFF});
	DataFile f2(w2);
	EXPECT_EQ(ioMessage([&] { f2.in->readUTF(buf, sizeof buf); }), "Invalid UTF-8 data in " + f2.path + ".");
}

TEST(DataInputStream, ReadUTFIntoBuffer) {
	BinaryWriter w;
	w.utf("abc").utf("abcd");
	DataFile f(w);
	char buf[4];
	std::memset(buf, 'x', sizeof buf);
	f.in->readUTF(buf, 4);
	EXPECT_STREQ(buf, "abc");
	EXPECT_EQ(ioMessage([&] { f.in->readUTF(buf, 4); }), "Too small buffer (4) for UTF-8 data in " + f.path + ".");
}

TEST(DataInputStream, ReadUTFCharsKeepsRawBytes) {
	BinaryWriter w;
	w.bytes({0x00, 0x03, 'a', 0xFF, 'b'}).utf("");
	DataFile f(w);
	lang::Array<char> out;
	f.in->readUTFChars(out);
	ASSERT_EQ(out.size(), 4);
	EXPECT_STREQ(out.begin(),
				 "a\xFF"
				 "b");
	f.in->readUTFChars(out);
	ASSERT_EQ(out.size(), 1);
	EXPECT_EQ(out[0], 0);
}

TEST(DataInputStream, ReadCharsInChunks) {
	// A zero byte ends the text of its 249-byte chunk; the next chunk goes on.
	BinaryWriter w;
	w.bytes({'a', 'b', 'c', 0, 'd'});
	for (int i = 5; i < 249; ++i)
		w.byte('-');
	for (int i = 0; i < 51; ++i)
		w.byte('x');
	DataFile f(w);
	EXPECT_EQ(str(f.in->readChars(300)), "abc" + std::string(51, 'x'));
	EXPECT_TRUE(f.in->readChars(0).isNull());
}

TEST(DataInputStream, ReadCharsLongRun) {
	BinaryWriter w;
	std::string text;
	for (int i = 0; i < 600; ++i)
		text += char('a' + i % 26);
	w.bytes(text.data(), text.size());
	DataFile f(w);
	EXPECT_EQ(str(f.in->readChars(600)), text);
}

TEST(FileInputStream, MissingFileNamesIt) {
	std::string name = test::tempPath("no-such-file");
	EXPECT_EQ(ioMessage([&] { io::FileInputStream f(name.c_str()); }), "Failed to open " + name);
}

TEST(FileInputStream, LongMissingNameShowsItsEnd) {
	std::string name = test::tempPath(std::string(200 - test::tempPath("").size(), 'n'));
	ASSERT_EQ(name.size(), 200u);
	EXPECT_EQ(ioMessage([&] { io::FileInputStream f(name.c_str()); }), "Failed to open ... " + name.substr(200 - 124));
}

TEST(FileInputStream, TooLongNameIsNotCut) {
	// An existing file whose name is exactly the longest that can be opened;
	// a longer name starting with it must not open it.
	std::string dir = test::tempPath("long");
	mkdir(dir.c_str(), 0755);
	while (dir.size() < 999 - 220) {
		dir += "/" + std::string(200, 'd');
		ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
	}
	std::string name = dir + "/" + std::string(999 - dir.size() - 1, 'f');
	ASSERT_EQ(name.size(), 999u);
	BinaryWriter w;
	w.int32(7);
	ASSERT_TRUE(w.writeFile(name));

	io::FileInputStream ok(name.c_str());
	EXPECT_EQ(ok.available(), 4);

	std::string longer = name + "g";
	EXPECT_EQ(ioMessage([&] { io::FileInputStream f(longer.c_str()); }),
			  "Failed to open ... " + longer.substr(longer.size() - 124));
}

TEST(FileInputStream, ReadErrorIsReported) {
	// A regular file whose first bytes cannot be read: the process's own
	// memory at address 0.
	io::FileInputStream f("/proc/self/mem");
	char buf[4];
	EXPECT_EQ(ioMessage([&] { f.read(buf, 4); }), "Failed to read 4 bytes from /proc/self/mem");
}

TEST(FileInputStream, OnlyRegularFilesAreOpened) {
	// A folder opens but does not read, a device may never end and a named
	// pipe would wait for a writer: none is opened.
	const std::string folder = test::tempPath("a-folder");
	const std::string pipe = test::tempPath("a-pipe");
	ASSERT_TRUE(test::makeStandIn(test::FileStandIn::Folder, folder));
	ASSERT_TRUE(test::makeStandIn(test::FileStandIn::NamedPipe, pipe));
	for (const std::string& name : {folder, pipe, std::string("/dev/zero")}) {
		std::string message;
		test::runWithoutWaiting({pipe}, [&] { message = ioMessage([&] { io::FileInputStream f(name.c_str()); }); });
		EXPECT_EQ(message, "Failed to open " + name);
	}
}

TEST(FileInputStream, SkipAvailableAndShortReads) {
	BinaryWriter w;
	for (int i = 0; i < 700; ++i)
		w.byte(uint8_t(i));
	std::string path = test::tempPath("skip.bin");
	ASSERT_TRUE(w.writeFile(path));
	io::FileInputStream f(path.c_str());
	EXPECT_EQ(f.available(), 700);
	EXPECT_EQ(f.skip(600), 600);
	EXPECT_EQ(f.available(), 100);
	unsigned char b;
	EXPECT_EQ(f.read(&b, 1), 1);
	EXPECT_EQ(b, 600 % 256);
	EXPECT_EQ(f.skip(-5), 0);
	EXPECT_EQ(f.read(&b, 0), 0);
	EXPECT_EQ(f.skip(1000), 99);
	EXPECT_EQ(f.read(&b, 1), 0);
	EXPECT_EQ(f.available(), 0);
}

TEST(FilterInputStream, NamesTheInnermostStream) {
	BinaryWriter w;
	w.int16(5);
	std::string path = test::tempPath("inner.bin");
	ASSERT_TRUE(w.writeFile(path));
	io::FileInputStream file(path.c_str());
	io::FilterInputStream filter(&file);
	io::DataInputStream data(&filter);
	EXPECT_EQ(str(data.toString()), path);
	EXPECT_EQ(data.available(), 2);
	io::DataInput& in = data;
	EXPECT_EQ(in.readShort(), 5);
}

TEST(IOException, AnnouncesItself) {
	testing::internal::CaptureStdout();
	ioMessage([] { io::FileInputStream f("/nonexistent/x"); });
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "Created Throwable( \"Failed to open /nonexistent/x\" )\n");
}

} // namespace
