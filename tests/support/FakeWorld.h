#ifndef SUPPORT_FAKEWORLD_H
#define SUPPORT_FAKEWORLD_H

#include "logic/World.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace test {

/**
 * A level world without a scene, for testing actions alone: it records every
 * call as one line of text and answers from scripted values.
 *
 *   "setVariable v 1.5", "activateTrigger T_a", "setTriggerEnabled T_a 0",
 *   "link p: a b", "unlink a b", "playAnimation door open 0 0.5 1.5",
 *   "startTransform 0 box sub 1 2 3 0.5", "setFade 1 0.25",
 *   "runCommand addscore 5", "isAnimationDone 3", "isKeyPressed lmouse", ...
 *
 * Reads (getVariable, isKeyPressed, the done tests) are recorded too.
 * Numbers are written with %g.
 */
class FakeWorld : public lumaroll::World {
public:
	std::vector<std::string> calls;

	// Scripted answers.
	std::map<std::string, float> variables; // getVariable; written by both setters
	std::set<std::string> pressedKeys;		// isKeyPressed
	std::set<int> animationsDone;			// isAnimationDone ids answering true
	std::set<int> transformsDone;			// isTransformDone ids answering true
	int nextJob = 0;						// next id playAnimation / startTransform return
	bool refuseJobs = false;				// playAnimation / startTransform return -1

	// The calls whose text begins with prefix.
	std::vector<std::string> callsStartingWith(const std::string& prefix) const;

	float getVariable(const std::string& name) override;
	void setVariable(const std::string& name, float value) override;
	void setPersistentVariable(const std::string& name, float value) override;
	void setTriggerEnabled(const std::string& name, bool enabled) override;
	void activateTrigger(const std::string& name) override;
	void link(const std::string& parent, const std::vector<std::string>& children) override;
	void unlink(const std::vector<std::string>& names) override;
	int playAnimation(const std::string& node, const std::string& animation, bool loop, float start,
					  float end) override;
	bool isAnimationDone(int id) override;
	int startTransform(lumaroll::TransformKind kind, const std::string& object, const std::string& subnode, float x,
					   float y, float z, float duration) override;
	bool isTransformDone(int id) override;
	void setFade(int target, float amount) override;
	bool isKeyPressed(const std::string& name) override;
	bool runCommand(const std::string& keyword, const std::vector<std::string>& args) override;
};

} // namespace test

#endif
