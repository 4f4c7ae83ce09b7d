#include "support/EnduranceRun.h"

#include "app/LevelLoop.h"
#include "app/LevelSession.h"
#include "support/AllocationCounter.h"
#include "support/GLObjectCounter.h"
#include "support/ScriptedPlatform.h"
#include "support/ProcessFigures.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>

namespace test {

namespace {

// The in-game menu's commands, in the order the run gives them: play level01,
// play level02, the menu level; the last session quits.
const lumaroll::MenuAction kChangeCycle[] = {lumaroll::MenuAction::PlayLevel1, lumaroll::MenuAction::PlayLevel2,
											 lumaroll::MenuAction::MenuLevel};
const lumaroll::MenuAction kQuit = lumaroll::MenuAction::Quit;

EnduranceSample sample(const GLObjectCounter& gl) {
	// The driver frees what the level deleted once its queued work is done.
	glFinish();
	EnduranceSample s;
	s.residentKb = residentKb();
	s.heapBytes = heapBytes();
	s.objectBytes = allocatedBytes();
	s.glObjects = gl.live();
	s.fileDescriptors = openFileDescriptors();
	s.threads = threadCount();
	return s;
}

// The keys of frame f of a session: Up held throughout, Space for three
// frames out of 45 (the ball jumps now and then), Left for a third of a
// second every two seconds.
void scriptKeys(FakeKeys& keys, int f) {
	keys.state[SDL_SCANCODE_UP] = 1;
	keys.state[SDL_SCANCODE_SPACE] = f % 45 < 3;
	keys.state[SDL_SCANCODE_LEFT] = f % 120 >= 60 && f % 120 < 80;
}

} // namespace

EnduranceRun runEndurance(const EnduranceOptions& options) {
	setenv("XDG_DATA_HOME", (options.userDir + "/data").c_str(), 1);
	setenv("XDG_CONFIG_HOME", (options.userDir + "/config").c_str(), 1);
	setenv("XDG_PICTURES_DIR", (options.userDir + "/pictures").c_str(), 1);

	ScriptedPlatform platform(options.window, options.width, options.height);

	EnduranceRun run;
	GLObjectCounter gl;
	lumaroll::LaunchOptions launch;
	launch.dataDir = options.dataDir;
	launch.level = options.dataDir + "/bundles/original/level01.hgr";
	launch.menu = true;
	launch.width = options.width;
	launch.height = options.height;
	const int sessions = options.levelChanges + 1;

	testing::internal::CaptureStdout();
	testing::internal::CaptureStderr();
	run.samples.push_back(sample(gl));
	run.exitCode = lumaroll::runLevelLoop(launch, [&](const lumaroll::LaunchOptions& current) {
		if (run.sessions > 0)
			run.samples.push_back(sample(gl));
		const int index = run.sessions++;
		const bool last = index + 1 == sessions;
		const int frames = options.frames / sessions + (last ? options.frames % sessions : 0);
		const lumaroll::MenuAction command = last ? kQuit : kChangeCycle[index % 3];

		lumaroll::LevelSession session(platform.app, current);
		session.start();
		for (int f = 0;; ++f) {
			if (f == frames)
				session.events().onMenuAction(command);
			scriptKeys(platform.keys, f);
			if (!platform.frame(session))
				break;
			++run.frames;
		}
		return session.finish();
	});
	run.samples.push_back(sample(gl));
	run.log = testing::internal::GetCapturedStdout();
	run.log += testing::internal::GetCapturedStderr();
	return run;
}

std::string enduranceFaults(const EnduranceRun& run, const EnduranceBounds& bounds) {
	if (run.samples.size() <= std::max(bounds.memoryReference, bounds.residentReference) + 1 || run.samples.size() < 3)
		return "too few level changes to compare\n";
	std::ostringstream out;
	const EnduranceSample& first = run.samples[1];
	const EnduranceSample& reference = run.samples[bounds.memoryReference];
	const EnduranceSample& residentReference = run.samples[bounds.residentReference];
	long residentMost = residentReference.residentKb, objectsMost = reference.objectBytes;
	for (size_t i = 2; i < run.samples.size(); ++i) {
		const EnduranceSample& s = run.samples[i];
		if (i > bounds.residentReference)
			residentMost = std::max(residentMost, s.residentKb);
		if (i > bounds.memoryReference)
			objectsMost = std::max(objectsMost, s.objectBytes);
		if (s.glObjects != first.glObjects)
			out << "change " << i << ": live GL objects " << s.glObjects << " instead of " << first.glObjects << "\n";
		if (s.fileDescriptors != first.fileDescriptors)
			out << "change " << i << ": " << s.fileDescriptors << " open file descriptors instead of "
				<< first.fileDescriptors << "\n";
		if (s.threads != first.threads)
			out << "change " << i << ": " << s.threads << " threads instead of " << first.threads << "\n";
	}
	if (residentMost - residentReference.residentKb > bounds.residentKb)
		out << "resident size grew from " << residentReference.residentKb << " kB at change "
			<< bounds.residentReference << " to " << residentMost << " kB\n";
	if (objectsMost - reference.objectBytes > bounds.objectBytes)
		out << "bytes held through operator new grew from " << reference.objectBytes << " to " << objectsMost << "\n";
	return out.str();
}

std::string mostRepeatedLine(const std::string& log, int* count) {
	std::map<std::string, int> lines;
	std::istringstream in(log);
	std::string line;
	while (std::getline(in, line)) {
		for (char& c : line)
			if (std::isdigit(static_cast<unsigned char>(c)))
				c = '#';
		++lines[line];
	}
	std::string most;
	int n = 0;
	for (const auto& entry : lines)
		if (entry.second > n) {
			most = entry.first;
			n = entry.second;
		}
	if (count)
		*count = n;
	return most;
}

} // namespace test
