// Library objects: placeholders of a writer-made level replaced by the
// writer-made models "box", "props" and "panel" of the data folder.
#include "SetupTestHelpers.h"
#include "app/LibraryObjects.h"

#include <hgr/Scene.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using lumaroll::LibraryTrigger;
using setuptest::matrixNear;
using setuptest::nodeName;
using setuptest::toMatrix;
using test::SceneWriter;

namespace {

class LibraryObjectsTest : public setuptest::SetupSceneTest {
protected:
	// Loads the level, then its library objects from dataDir; out and err
	// hold what the loader printed.
	int load(const SceneWriter& level, const std::string& dataDir) {
		scene = loadScene(level);
		records.clear();
		testing::internal::CaptureStdout();
		testing::internal::CaptureStderr();
		const int loaded = lumaroll::loadLibraryObjects(scene, context, resources, dataDir, records);
		err = testing::internal::GetCapturedStderr();
		out = testing::internal::GetCapturedStdout();
		return loaded;
	}
	int load(const SceneWriter& level) { return load(level, data); }

	hgr::Node* node(const char* name) const { return scene->findNode(name); }

	lang::Ptr<hgr::Scene> scene;
	std::vector<LibraryTrigger> records;
	std::string out, err;
};

const SceneWriter::Matrix kSwitchTransform = SceneWriter::rotationZ(0.2f, 10.f, 20.f, 30.f);

// A level whose placeholder "switch" (a dummy, below the dummy "holder" when
// parented) has the given property text.
SceneWriter switchLevel(const std::string& text, bool parented = false) {
	SceneWriter w;
	w.dummy("holder").position(0.f, 0.f, 300.f);
	SceneWriter::Node& placeholder = w.dummy("switch").transform(kSwitchTransform);
	if (parented)
		placeholder.parent("holder");
	w.userProperty("switch", text);
	return w;
}

// The names of parent's children, sorted.
std::vector<std::string> childNames(const hgr::Node* parent) {
	std::vector<std::string> names;
	for (hgr::Node* child = parent->getFirstChild(); child; child = child->getNextSibling())
		names.push_back(nodeName(child));
	std::sort(names.begin(), names.end());
	return names;
}

TEST_F(LibraryObjectsTest, WholeModelGoesBelowThePlaceholderWithAllItsTopNodes) {
	for (const char* value : {"box", "box.hgr"}) {
		SCOPED_TRACE(value);
		SceneWriter level;
		level.dummy("crate").position(5.f, 6.f, 7.f);
		level.userProperty("crate", std::string("load=") + value);
		EXPECT_EQ(load(level), 1);
		EXPECT_EQ(out, "library objects: 1 of 1 loaded\n");
		EXPECT_EQ(err, "");
		EXPECT_TRUE(records.empty());

		// Moving the top nodes while walking them would lose some.
		hgr::Node* crate = node("crate");
		ASSERT_NE(crate, nullptr);
		EXPECT_EQ(childNames(crate), (std::vector<std::string>{"box_a", "box_b", "box_c"}));
		EXPECT_TRUE(matrixNear(node("box_a")->getTransform(), toMatrix(SceneWriter::translation(-60.f, 0.f, 0.f))));
		EXPECT_TRUE(matrixNear(node("box_c")->getTransform(), toMatrix(SceneWriter::rotationZ(0.3f, 60.f, 0.f, 0.f))));
		EXPECT_FLOAT_EQ(crate->getTransform().m[2][3], 7.f);
	}
}

TEST_F(LibraryObjectsTest, SubnodeTakesThePlaceholdersNamePlaceAndParent) {
	for (bool parented : {false, true}) {
		SCOPED_TRACE(parented ? "below holder" : "below the scene");
		EXPECT_EQ(load(switchLevel("load=props,lever\na01=show,this", parented)), 1);
		EXPECT_EQ(out, "library objects: 1 of 1 loaded\n");

		hgr::Node* object = node("switch");
		ASSERT_NE(object, nullptr);
		EXPECT_EQ(object->getClassId(), hgr::Node::NODE_MESH);
		EXPECT_EQ(node("Lever_Shadow")->getParent(), object); // the model's lever, with its child
		EXPECT_EQ(node("lever"), nullptr);
		EXPECT_EQ(object->getParent(), parented ? node("holder") : static_cast<hgr::Node*>(scene));
		EXPECT_TRUE(matrixNear(object->getTransform(), toMatrix(kSwitchTransform)));

		hgr::Node* placeholder = node("T_switch");
		ASSERT_NE(placeholder, nullptr);
		EXPECT_EQ(placeholder->getClassId(), hgr::Node::NODE_DUMMY);
		EXPECT_EQ(placeholder->getParent(), object->getParent());

		ASSERT_EQ(records.size(), 1u);
		EXPECT_EQ(records[0].name, "switch");
		EXPECT_EQ(records[0].node.ptr(), object);
		EXPECT_EQ(records[0].text, "load=props,lever\na01=show,this\na01=add,lever_used,1");
		EXPECT_EQ(records[0].trigger, "T_switch");
	}
}

TEST_F(LibraryObjectsTest, TriggerNameAndTextOfTheRecord) {
	struct Case {
		const char* name;
		const char* text;
		const char* trigger;
		const char* recordText; // exact, or empty to check the pieces below
		std::vector<const char*> pieces;
	};
	const Case cases[] = {
		{"action line in the placeholder",
		 "load=box,box_a\na01=show,this",
		 "T_switch",
		 "load=box,box_a\na01=show,this",
		 {}},
		{"action line in the subnode's entry",
		 "load=props,lever",
		 "T_switch",
		 "load=props,lever\na01=add,lever_used,1",
		 {}},
		{"action line only in another entry",
		 "load=panel,panel",
		 "panel_script_switch",
		 "",
		 {"load=panel,panel\n", "\ncolor=1", "\na01=add,pressed,1"}},
		{"no action line anywhere", "load=box,box_b", "T_switch", "load=box,box_b", {}},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		EXPECT_EQ(load(switchLevel(c.text)), 1);
		ASSERT_EQ(records.size(), 1u);
		EXPECT_EQ(records[0].trigger, c.trigger);
		if (*c.recordText) {
			EXPECT_EQ(records[0].text, c.recordText);
		}
		for (const char* piece : c.pieces)
			EXPECT_NE(records[0].text.find(piece), std::string::npos) << records[0].text;
	}
}

TEST_F(LibraryObjectsTest, ShadowMeshesOfTheModelFollowTheObject) {
	// Where the model keeps "lever_shadow" relative to "lever".
	const math::Matrix3x4 relative = toMatrix(SceneWriter::translation(100.f, 0.f, 0.f)).inverse() *
									 toMatrix(SceneWriter::rotationZ(0.5f, 30.f, -20.f, 10.f));

	// Both shadow meshes beside the object are gathered; the walk must not
	// wander off into the moved subtrees.
	EXPECT_EQ(load(switchLevel("load=props,lever")), 1);
	hgr::Node* object = node("switch");
	ASSERT_NE(object, nullptr);
	EXPECT_EQ(node("lever_shadow")->getParent(), object);
	EXPECT_EQ(node("base_shadow")->getParent(), object);
	EXPECT_EQ(node("knob")->getParent(), node("base_shadow"));
	EXPECT_EQ(node("Lever_Shadow")->getParent(), object);
	EXPECT_TRUE(matrixNear(node("lever_shadow")->getTransform(), relative));
	EXPECT_TRUE(
		matrixNear(object->getWorldTransform().inverse() * node("lever_shadow")->getWorldTransform(), relative));
	for (const char* name : {"lever_shadow", "base_shadow", "Lever_Shadow"})
		EXPECT_TRUE(node(name)->isEnabled()) << name;

	// "shadow=0": nothing is gathered and the object's own shadows go dark.
	EXPECT_EQ(load(switchLevel("load=props,lever\nshadow=0")), 1);
	EXPECT_EQ(node("lever_shadow"), nullptr);
	EXPECT_EQ(node("base_shadow"), nullptr);
	ASSERT_NE(node("Lever_Shadow"), nullptr);
	EXPECT_FALSE(node("Lever_Shadow")->isEnabled());
	EXPECT_TRUE(node("switch")->isEnabled());

	// A shadow mesh that holds the object stays in the model: the object
	// still loads, with the other shadows.
	EXPECT_EQ(load(switchLevel("load=props,knob")), 1);
	EXPECT_EQ(out, "library objects: 1 of 1 loaded\n");
	EXPECT_EQ(err, "");
	ASSERT_NE(node("switch"), nullptr);
	EXPECT_EQ(nodeName(node("switch")->getParent()), nodeName(scene));
	EXPECT_EQ(node("base_shadow"), nullptr);
	EXPECT_EQ(node("lever_shadow")->getParent(), node("switch"));
	ASSERT_EQ(records.size(), 1u);
	EXPECT_EQ(records[0].text, "load=props,knob\na01=add,knob_used,1");
}

TEST_F(LibraryObjectsTest, FailedModelIsReportedAndTheOthersLoad) {
	SceneWriter level;
	level.dummy("a");
	level.dummy("b");
	level.dummy("c");
	level.userProperty("a", "load=box");
	level.userProperty("b", "load=nothere");
	level.userProperty("c", "load=props,nosuch");
	EXPECT_EQ(load(level), 2);
	EXPECT_NE(out.find("library objects: 2 of 3 loaded\n"), std::string::npos) << out;
	const std::string path = data + "/resources/models/nothere.hgr";
	EXPECT_EQ(err, "library object 'b' (" + path + "): Failed to open " + path + "\n");
	EXPECT_EQ(childNames(node("a")).size(), 3u);
	EXPECT_EQ(node("b")->getFirstChild(), nullptr);
	// A subnode the model lacks: the whole model.
	EXPECT_EQ(childNames(node("c")), (std::vector<std::string>{"base_shadow", "lever", "lever_shadow"}));
	EXPECT_TRUE(records.empty());
}

TEST_F(LibraryObjectsTest, RequestsThatCannotBeMetAreSkippedSilently) {
	{
		SCOPED_TRACE("no placeholder node");
		SceneWriter level;
		level.userProperty("ghost", "load=box");
		EXPECT_EQ(load(level), 0);
		EXPECT_EQ(out, "library objects: 0 of 1 loaded\n");
		EXPECT_EQ(err, "");
	}
	{
		SCOPED_TRACE("no models folder");
		SceneWriter level;
		level.dummy("crate");
		level.userProperty("crate", "load=box");
		EXPECT_EQ(load(level, dir / "elsewhere"), 0);
		EXPECT_EQ(out, "library objects: 0 of 1 loaded\n");
		EXPECT_EQ(err, "");
		EXPECT_EQ(node("crate")->getFirstChild(), nullptr);
	}
	{
		SCOPED_TRACE("no data folder");
		SceneWriter level;
		level.dummy("crate");
		level.userProperty("crate", "load=box");
		EXPECT_EQ(load(level, ""), 0);
		EXPECT_EQ(out, "");
		EXPECT_EQ(err, "");
	}
}

TEST_F(LibraryObjectsTest, LongPropertyTextIsReadWhole) {
	// The engine's string copies stop at 2,000 bytes: a "load=" line after
	// them and a script line after that must still be read.
	std::string text;
	while (text.size() < 2100)
		text += "comment=a line the loader does not read\n";
	SceneWriter level = switchLevel(text + "load=props,lever\na99=nop");
	EXPECT_EQ(load(level), 1);
	ASSERT_EQ(records.size(), 1u);
	const std::string tail = "\nload=props,lever\na99=nop\na01=add,lever_used,1";
	ASSERT_GT(records[0].text.size(), tail.size());
	EXPECT_EQ(records[0].text.substr(records[0].text.size() - tail.size()), tail);
}

TEST_F(LibraryObjectsTest, TraceNamesEveryRequest) {
	test::ScopedEnv env{{"LUMAROLL_TRACE", "1"}};
	SceneWriter level = switchLevel("load=props,lever");
	level.userProperty("ghost", "load=box");
	EXPECT_EQ(load(level), 1);
	EXPECT_NE(out.find("library objects: 1 of 2 loaded\n"), std::string::npos) << out;
	EXPECT_NE(out.find("[trace] library object switch -> props,lever\n"), std::string::npos) << out;
	EXPECT_NE(out.find("[trace] library object ghost -> box\n"), std::string::npos) << out;
}

} // namespace
