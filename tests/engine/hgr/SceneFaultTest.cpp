// Malformed files: wrong check ids, files cut at every byte, counts that lie
// about what follows. Each must end in an exception naming the file, without
// a crash and without allocating for what is not there (the sanitizers abort
// on allocations beyond their limit).

#include "SceneFixtures.h"

#include <functional>

using namespace scenetest;
using test::SceneWriter;

namespace {

// A file using every section and record kind of its version.
SceneWriter fullFile(int version) {
	SceneWriter w(version);
	w.platform(1).fog(1, 1.f, 2.f, 0.1f, 0.2f, 0.3f);
	const int t = w.texture("a.pvr");
	w.texture("sky.pvr", 1);
	w.material("m", "lit.fx").texture("BASEMAP", t).vector("V", 1, 2, 3, 4).scalar("F", 5);
	w.primitive(0)
		.component(SceneWriter::DT_NORMAL, SceneWriter::V3_16, {0, 1, 0, 0, 1, 0, 0, 1, 0})
		.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0, 0, 0, 1, 0, 0, 0, 1, 0})
		.component(SceneWriter::DT_TEX0, SceneWriter::V2_16, {0, 0, 1, 0, 0, 1})
		.indices({0, 1, 2})
		.usedBones({0});
	w.mesh("mesh").primitives({0}).bone("bone");
	w.camera("cam").planes(1, 100).fov(1);
	w.light("light").cones(0.1f, 0.2f);
	w.dummy("dummy").box({0, 0, 0}, {1, 1, 1}).parent("mesh");
	w.lines("lines").line({0, 0, 0}, {1, 1, 1}).path(0, 0);
	w.node("bone").parent("dummy");
	if (version > 191)
		w.animation("lines")
			.timedPositions({{0, 0, 0, 0}, {1, 0, 0, 1}, {2, 0, 0, 2}})
			.rotationKeys({{0, 0, 0, 1}, {0, 0, 1, 0}, {0, 1, 0, 0}});
	else
		w.animation("lines").positionKeys({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}).rotationKeys({{0, 0, 0, 1}});
	w.animationsForAllNodes();
	w.userProperty("mesh", "group=1\ntime=1");
	return w;
}

TEST_F(SceneFixture, WrongCheckIdNamesTheValueAndTheExpectedOne) {
	for (int s = 0; s < SceneWriter::SECTION_COUNT; ++s) {
		SceneWriter w = fullFile(193);
		w.checkId(SceneWriter::Section(s), 0x12345699);
		char expected[120];
		std::snprintf(expected, sizeof(expected), "check id was 12345699 but should be %x", 0x12345600 + s);
		EXPECT_EQ("Failed to load scene file \"{file}\", " + std::string(expected), loadError(w)) << s;
	}
}

TEST_F(SceneFixture, TheWholeFileLoads) {
	for (int version : {185, 190, 191, 192, 193}) {
		lang::Ptr<hgr::Scene> scene = load(fullFile(version));
		EXPECT_EQ(6, scene->getAnimations()->size()) << version;
	}
}

class SceneTruncation : public SceneFixture, public ::testing::WithParamInterface<int> {};

TEST_P(SceneTruncation, EveryCutFailsInTheStreamOrAtACount) {
	const SceneWriter w = fullFile(GetParam());
	const std::vector<uint8_t> bytes = w.bytes();
	const std::string path = test::tempPath("cut.hgr");
	for (size_t n = 0; n < bytes.size(); ++n) {
		test::BinaryWriter cut;
		cut.bytes(bytes.data(), n);
		ASSERT_TRUE(cut.writeFile(path));
		const std::string message = errorOf([&] { loadPath(path); });
		// Every message names the file.
		EXPECT_NE(std::string::npos, message.find(path)) << "cut at " << n << ": " << message;
	}
}

INSTANTIATE_TEST_SUITE_P(Versions, SceneTruncation, ::testing::Values(185, 190, 191, 192, 193));

// Counts that claim more than the file holds.
struct LieCase {
	const char* name;
	std::function<void(SceneWriter&)> lie;
};

class SceneLyingCounts : public SceneFixture, public ::testing::WithParamInterface<LieCase> {};

TEST_P(SceneLyingCounts, FailCleanlyBeforeAllocating) {
	SceneWriter w = fullFile(193);
	GetParam().lie(w);
	const std::string path = file(w, "lie.hgr");
	const std::string message = errorOf([&] { loadPath(path); });
	EXPECT_NE(std::string::npos, message.find(path)) << GetParam().name << ": " << message;
}

std::function<void(SceneWriter&)> sectionCount(SceneWriter::Section s, int32_t count) {
	return [s, count](SceneWriter& w) { w.countField(s, count); };
}

INSTANTIATE_TEST_SUITE_P(
	Sections, SceneLyingCounts,
	::testing::Values(LieCase{"textures", sectionCount(SceneWriter::TEXTURES, 0x7fffffff)},
					  LieCase{"textures+1", sectionCount(SceneWriter::TEXTURES, 3)},
					  LieCase{"materials", [](SceneWriter& w) { w.materialCountField(0x7fffffff); }},
					  LieCase{"primitives", sectionCount(SceneWriter::PRIMITIVES, 0x7fffffff)},
					  LieCase{"primitives+1", sectionCount(SceneWriter::PRIMITIVES, 2)},
					  LieCase{"meshes", sectionCount(SceneWriter::MESHES, 0x7fffffff)},
					  LieCase{"cameras", sectionCount(SceneWriter::CAMERAS, 0x3fffffff)},
					  LieCase{"lights", sectionCount(SceneWriter::LIGHTS, 0x7fffffff)},
					  LieCase{"dummies", sectionCount(SceneWriter::DUMMIES, 0x7fffffff)},
					  LieCase{"line sets", sectionCount(SceneWriter::LINES, 0x7fffffff)},
					  LieCase{"nodes", sectionCount(SceneWriter::NODES, 0x7fffffff)},
					  LieCase{"animations", sectionCount(SceneWriter::ANIMATIONS, 0x7fffffff)},
					  LieCase{"user properties", sectionCount(SceneWriter::USER_PROPERTIES, 999999)}),
	[](const ::testing::TestParamInfo<LieCase>& info) {
		std::string name;
		for (const char* p = info.param.name; *p; ++p)
			name += std::isalnum((unsigned char)*p) ? *p : '_';
		return name;
	});

TEST_F(SceneFixture, InnerCountsThatLieAreRefused) {
	struct Case {
		std::function<void(SceneWriter&)> build;
		std::string message;
	};
	const Case cases[] = {
		{[](SceneWriter& w) {
			 w.material("m", "lit.fx");
			 w.primitive(0).component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0, 0, 0}).vertexCountField(60000);
		 },
		 "Failed to load scene \"{file}\". Invalid vertex count (60000)."},
		{[](SceneWriter& w) {
			 w.material("m", "lit.fx");
			 w.primitive(0)
				 .component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0, 0, 0})
				 .indices({0})
				 .indexCountField(60000);
		 },
		 "Failed to load scene \"{file}\". Invalid face index count (60000)."},
		{[](SceneWriter& w) {
			 w.lines("l").line({0, 0, 0}, {1, 1, 1}).lineCounts(90000, 0);
		 },
		 "Failed to load scene \"{file}\". Invalid line/path count (90000/0)"},
		{[](SceneWriter& w) {
			 w.animation("a").positionKeys({{0, 0, 0}}).keyCountField(SceneWriter::Animation::POSITION, 0x7fffffff);
		 },
		 "Failed to load scene \"{file}\". Invalid key count (2.14748e+09)."},
		{[](SceneWriter& w) {
			 w.animation("a").timedPositions({{0, 0, 0, 0}}).keyCountField(SceneWriter::Animation::POSITION, 50000000);
		 },
		 "Failed to load scene \"{file}\". Invalid key count (5e+07)."},
		{[](SceneWriter& w) { w.countField(SceneWriter::ANIMATIONS, 0x10000000); },
		 "Failed to load scene \"{file}\". Invalid transform animation count (2.68435e+08)."},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.message);
		SceneWriter w;
		c.build(w);
		EXPECT_EQ(c.message, loadError(w));
	}
}

TEST_F(SceneFixture, MeshAndBoneCountsAreBoundedByTheFile) {
	// Patch the primitive-index and bone counts of a mesh record in place.
	SceneWriter w = writerWithTriangle();
	w.mesh("m").primitives({0});
	std::vector<uint8_t> bytes = w.bytes();
	const size_t meshes = w.sectionOffsets()[SceneWriter::MESHES];
	// check id, count, name "m" (2 + 1), 12 floats, flags, id, parent: then the primitive count.
	const size_t primitiveCount = meshes + 4 + 4 + 3 + 48 + 4 + 4 + 4;
	const size_t boneCount = primitiveCount + 4 + 4;
	const std::string path = test::tempPath("patched.hgr");
	for (size_t at : {primitiveCount, boneCount}) {
		for (uint32_t value : {0x7fffffffu, 0x80000000u, 0xffffffffu}) {
			SCOPED_TRACE(::testing::Message() << (at == primitiveCount ? "primitive" : "bone") << " count " << value);
			std::vector<uint8_t> patched = bytes;
			for (int i = 0; i < 4; ++i)
				patched[at + i] = uint8_t(value >> (24 - 8 * i));
			test::BinaryWriter out;
			out.bytes(patched.data(), patched.size());
			ASSERT_TRUE(out.writeFile(path));
			const std::string message = errorOf([&] { loadPath(path); });
			EXPECT_NE(std::string::npos, message.find("count")) << message;
		}
	}
}

} // namespace
