#include "SceneFixtures.h"

#include <hgr/SceneInputStream.h>
#include <io/FileInputStream.h>

using scenetest::errorOf;
using scenetest::withFile;
using test::SceneWriter;

namespace {

struct HeaderCase {
	int version;
	int headerBytes; // tag, version, exporter word, flags, platform
	int platform;	 // as read back
	int exporter;	 // as read back
};

void PrintTo(const HeaderCase& c, std::ostream* os) {
	*os << "version " << c.version;
}

class SceneInputStreamVersions : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(SceneInputStreamVersions, ReadsTheFieldsOfItsVersion) {
	const HeaderCase c = GetParam();
	SceneWriter w(c.version);
	w.platform(4).exporterWord(777).headerFlags(0x0102);
	const std::string path = w.writeTemp("header.hgr");
	const int size = int(w.bytes().size());

	lang::Ptr<io::FileInputStream> file = new io::FileInputStream(path.c_str());
	hgr::SceneInputStream in(file);
	EXPECT_EQ(c.version, in.getVersion());
	EXPECT_EQ(c.platform, in.getPlatform());
	EXPECT_EQ(c.exporter, in.getExporterWord());
	EXPECT_EQ(0x0102, in.getFlags());
	EXPECT_TRUE(in.hasFlags(0x0100));
	EXPECT_FALSE(in.hasFlags(0x0001));
	EXPECT_EQ(size - c.headerBytes, in.available());
	EXPECT_EQ(0, in.readByte()); // the fog mode follows the header
	EXPECT_EQ(size - c.headerBytes - 1, in.available());
}

INSTANTIATE_TEST_SUITE_P(AllBranches, SceneInputStreamVersions,
						 ::testing::Values(HeaderCase{170, 8, 0, 133379}, HeaderCase{179, 8, 0, 133379},
										   HeaderCase{180, 10, 4, 133379}, HeaderCase{189, 10, 4, 133379},
										   HeaderCase{190, 10, 4, 133379}, HeaderCase{191, 14, 4, 777},
										   HeaderCase{192, 14, 4, 777}, HeaderCase{193, 14, 4, 777}));

std::string headerError(const SceneWriter& w, size_t limit = SIZE_MAX) {
	const std::string path = w.writeTemp("header.hgr", limit);
	lang::Ptr<io::FileInputStream> file = new io::FileInputStream(path.c_str());
	std::string message = errorOf([&] { hgr::SceneInputStream in(file); });
	const size_t at = message.find(path);
	if (at != std::string::npos)
		message.replace(at, path.size(), "{file}");
	return message;
}

TEST(SceneInputStream, RefusesVersionsOutsideTheReadRange) {
	EXPECT_EQ("Scene file \"{file}\" is version 1.69, should be 1.93", headerError(SceneWriter(169)));
	EXPECT_EQ("Scene file \"{file}\" is version 1.94, should be 1.93", headerError(SceneWriter(194)));
	EXPECT_EQ("Scene file \"{file}\" is version 2.0, should be 1.93", headerError(SceneWriter(200)));
}

TEST(SceneInputStream, RefusesAnotherTag) {
	const std::string expected = "Scene file \"{file}\" does not start with 'hgrf' tag";
	EXPECT_EQ(expected, headerError(SceneWriter().tag("hgrF")));
	EXPECT_EQ(expected, headerError(SceneWriter().tag("HGRF")));
	EXPECT_EQ(expected, headerError(SceneWriter(), 3));
	EXPECT_EQ(expected, headerError(SceneWriter(), 0));
}

TEST(SceneInputStream, FileEndingInsideTheHeaderFailsInTheStream) {
	for (size_t limit : {5u, 6u, 9u, 11u, 13u})
		EXPECT_EQ("Unexpected end of file in {file}.", headerError(SceneWriter(193), limit)) << limit;
}

TEST(SceneInputStream, CheckIdMismatchNamesBothInHex) {
	SceneWriter w;
	const std::string path = w.writeTemp("ids.hgr");
	lang::Ptr<io::FileInputStream> file = new io::FileInputStream(path.c_str());
	hgr::SceneInputStream in(file);
	in.skip(21); // fog block
	EXPECT_EQ(withFile("Failed to load scene file \"{file}\", check id was 12345600 but should be 12345602", path),
			  errorOf([&] { in.readCheckId(0x12345602); }));
}

} // namespace
