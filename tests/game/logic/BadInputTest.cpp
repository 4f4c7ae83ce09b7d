// Scripts as hostile as text can be: every keyword with absent, non-finite,
// out-of-range and missing-name operands, malformed lines, long lists and
// many triggers. The world must neither throw nor hang, and the sanitizers
// stay quiet.
#include "LogicTestHelpers.h"
#include "logic/Action.h"
#include "support/TriggerScript.h"

#include <gtest/gtest.h>

namespace {

using test::TriggerScript;

const char* const kOperandSets[] = {
	"",
	",nan",
	",inf,1e39,-1e39,nan,inf,-inf,nan",
	",this,this,nan,inf,1e39,nan,1",
	",ghost,ghost2,-2147483648,3000000000,0,-1",
	",box,box,1e30,-1e30,1e30,1e-30,1",
	",anim,anim,anim,-5,1e9",
	",scene,box,lid,scene",
	",lid,box",
	",G_ballforms,,,",
	", , ,\t,\r",
};

test::SceneWriter hostileScene() {
	test::SceneWriter w;
	w.material("m", "water.fx");
	w.primitive(0)
		.component(test::SceneWriter::DT_POSITION, test::SceneWriter::V3_32, {0, 0, 0, 1, 0, 0, 0, 1, 0})
		.indices({0, 1, 2});
	w.node("box");
	w.node("lid").parent("box");
	w.mesh("water").primitives({0}).parent("lid");
	w.node("anim");
	w.node("");
	w.animation("anim").timedPositions({{0, 0, 0, 0}, {1, 1, 1, 1}}).length(1.f);
	w.animationsForAllNodes();
	// One trigger per keyword and operand set, all running from the start,
	// each ending by activating the next trigger.
	const std::vector<std::string>& keywords = lumaroll::ActionRegistry::keywords();
	int n = 0;
	for (const std::string& keyword : keywords) {
		for (const char* operands : kOperandSets) {
			const std::string name = "T_" + std::to_string(n++);
			w.node(name).parent(n % 2 ? "box" : "anim");
			w.userProperty(name, TriggerScript()
									 .state(2)
									 .executeType(n % 3)
									 .a(keyword + operands)
									 .a(keyword + operands)
									 .a("activatetrigger,T_" + std::to_string(n))
									 .e(keyword + operands));
		}
	}
	w.node("T_long");
	TriggerScript longList;
	longList.state(2);
	for (int i = 0; i < 998; ++i)
		longList.a(i % 2 ? "add,n,1" : "jumptoaction,999");
	longList.a("jumptoaction,1");
	w.userProperty("T_long", longList);
	return w;
}

TEST(BadInput, HostileScriptsNeitherThrowNorHang) {
	logictest::LoadedWorld l;
	const logictest::Output o = logictest::captured([&] {
		l = logictest::loadWorld(hostileScene());
		EXPECT_GT(l.world->triggerCount(), 900);
		// Lines the scene reader would refuse still reach the world through
		// library objects.
		l.world->addTrigger("T_junk",
							"a01\n=\na01==\nstate=nan\nexecutetype=\na02=,,,\n\r\na03=delay,\x01\xff,\nx=y=z\ne01");
		l.world->activateTrigger("T_junk");
		l.world->particleEffectCallback = [](const std::string&, hgr::Node*) {};
		l.world->pressureCallback = [](float) {};
		l.world->playSoundCallback = [](const std::string&, bool) {};
		l.world->stopSoundCallback = [](const std::string&) {};
		for (int frame = 0; frame < 30; ++frame) {
			l.world->pressedKeys = {frame % 2 ? "lmouse" : "x"};
			EXPECT_NO_THROW(l.world->update(frame % 5 ? 0.05f : 0.f));
		}
		for (int n = 0; n < l.world->triggerCount(); n += 7)
			EXPECT_NO_THROW(l.world->activateTrigger("T_" + std::to_string(n)));
		EXPECT_NO_THROW(l.world->update(1e30f));
		EXPECT_NO_THROW(l.world->update(0.05f));
	});
	EXPECT_FALSE(o.out.empty());
	EXPECT_EQ(l.world->findNode(""), nullptr);
	int unnamedInScene = 0;
	for (hgr::Node* n = l.level.scene; n; n = n->next(l.level.scene))
		unnamedInScene += n->getName().length() == 0 && n != l.level.scene.ptr();
	EXPECT_EQ(unnamedInScene, 1) << "no script reaches the unnamed node";
}

} // namespace
