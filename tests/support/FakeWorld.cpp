#include "support/FakeWorld.h"

#include <cstdio>

namespace test {

namespace {

std::string number(float value) {
	char text[32];
	std::snprintf(text, sizeof text, "%g", double(value));
	return text;
}

std::string joined(const std::vector<std::string>& words) {
	std::string out;
	for (const std::string& w : words)
		out += (out.empty() ? "" : " ") + w;
	return out;
}

} // namespace

std::vector<std::string> FakeWorld::callsStartingWith(const std::string& prefix) const {
	std::vector<std::string> found;
	for (const std::string& c : calls)
		if (c.compare(0, prefix.size(), prefix) == 0)
			found.push_back(c);
	return found;
}

float FakeWorld::getVariable(const std::string& name) {
	calls.push_back("getVariable " + name);
	auto it = variables.find(name);
	return it == variables.end() ? 0.f : it->second;
}

void FakeWorld::setVariable(const std::string& name, float value) {
	calls.push_back("setVariable " + name + " " + number(value));
	variables[name] = value;
}

void FakeWorld::setPersistentVariable(const std::string& name, float value) {
	calls.push_back("setPersistentVariable " + name + " " + number(value));
	variables[name] = value;
}

void FakeWorld::setTriggerEnabled(const std::string& name, bool enabled) {
	calls.push_back("setTriggerEnabled " + name + (enabled ? " 1" : " 0"));
}

void FakeWorld::activateTrigger(const std::string& name) {
	calls.push_back("activateTrigger " + name);
}

void FakeWorld::link(const std::string& parent, const std::vector<std::string>& children) {
	calls.push_back("link " + parent + ":" + (children.empty() ? "" : " " + joined(children)));
}

void FakeWorld::unlink(const std::vector<std::string>& names) {
	calls.push_back("unlink" + (names.empty() ? std::string() : " " + joined(names)));
}

int FakeWorld::playAnimation(const std::string& node, const std::string& animation, bool loop, float start, float end) {
	calls.push_back("playAnimation " + node + " " + animation + " " + (loop ? "1 " : "0 ") + number(start) + " " +
					number(end));
	return refuseJobs ? -1 : nextJob++;
}

bool FakeWorld::isAnimationDone(int id) {
	calls.push_back("isAnimationDone " + std::to_string(id));
	return animationsDone.count(id) != 0;
}

int FakeWorld::startTransform(lumaroll::TransformKind kind, const std::string& object, const std::string& subnode,
							  float x, float y, float z, float duration) {
	calls.push_back("startTransform " + std::to_string(static_cast<int>(kind)) + " " + object + " " + subnode + " " +
					number(x) + " " + number(y) + " " + number(z) + " " + number(duration));
	return refuseJobs ? -1 : nextJob++;
}

bool FakeWorld::isTransformDone(int id) {
	calls.push_back("isTransformDone " + std::to_string(id));
	return transformsDone.count(id) != 0;
}

void FakeWorld::setFade(int target, float amount) {
	calls.push_back("setFade " + std::to_string(target) + " " + number(amount));
}

bool FakeWorld::isKeyPressed(const std::string& name) {
	calls.push_back("isKeyPressed " + name);
	return pressedKeys.count(name) != 0;
}

bool FakeWorld::runCommand(const std::string& keyword, const std::vector<std::string>& args) {
	calls.push_back("runCommand " + keyword + (args.empty() ? "" : " " + joined(args)));
	return true;
}

} // namespace test
