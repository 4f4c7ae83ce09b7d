#ifndef SUPPORT_ENDURANCERUN_H
#define SUPPORT_ENDURANCERUN_H

// A long run of the synthetic package's levels in one process: the level
// loop of the program with one level session after another on the given
// window, each ended by the in-game menu's commands (play level01, play
// level02, back to the menu level, and so on; quit after the last change),
// the keyboard scripted (Up held, jumps, some steering) and the clock moved
// 17 ms a frame. Between sessions it takes the figures that must stay flat:
// resident size, heap in use, live GL objects (counted through gr::gl), open
// file descriptors and threads. The endurance test and `scripts/bench
// endurance` share it; programs that use it link test_allocation_counter.

#include "platform/Window.h"

#include <cstddef>
#include <string>
#include <vector>

namespace test {

struct EnduranceOptions {
	std::string dataDir;				// the package's data folder (holding "bundles", "resources", "shaders")
	std::string userDir;				// XDG_DATA_HOME, XDG_CONFIG_HOME and XDG_PICTURES_DIR are set below it
	lumaroll::Window* window = nullptr; // whose GL context is current
	int width = 800, height = 480;		// its drawable size
	int frames = 1000;					// frames over the whole run
	int levelChanges = 10;
};

struct EnduranceSample {
	long residentKb = 0;
	// All heap in use, the GL driver's included: llvmpipe's own caches fill
	// over the first few dozen levels and then stay within a band, so this is
	// shown but not bounded.
	long heapBytes = 0;
	// Bytes held through operator new: the engine's and the game's objects
	// (the driver is C and allocates with malloc).
	long objectBytes = 0;
	long glObjects = 0; // created minus deleted since the run began
	int fileDescriptors = 0;
	int threads = 0;
};

struct EnduranceRun {
	// Before the first session, then after each session has been destroyed:
	// samples[i] for i >= 1 is taken at the i-th level change (the last one
	// after the quit).
	std::vector<EnduranceSample> samples;
	int sessions = 0;
	int frames = 0;
	int exitCode = -1; // the level loop's
	std::string log;   // standard output and error of the run
};

// Runs the levels as described above. The level loop's exit code and the
// log tell how it ended; an engine failure shows there as "ERROR: ...".
EnduranceRun runEndurance(const EnduranceOptions& options);

// How far the figures may move. GL objects, descriptors and threads must
// come back to exactly the figures of the first level change. The bytes held
// through operator new are compared with the sample at memoryReference: by
// default the third change, after each of the three levels has run once,
// because the GL driver builds its caches for a level's shaders the first
// time the level runs. The resident size is compared with the sample at
// residentReference, by default the same: llvmpipe with several rasteriser
// threads keeps growing its own heap over the first ten or so changes
// before it levels off (with LP_NUM_THREADS=1 it is level from the third).
struct EnduranceBounds {
	size_t memoryReference = 3;
	size_t residentReference = 3;
	long residentKb = 0;  // growth over the figure at residentReference
	long objectBytes = 0; // growth over the figure at memoryReference
};

// "" when every sample after the first level change stays within the
// bounds; otherwise one line per figure that moved.
std::string enduranceFaults(const EnduranceRun& run, const EnduranceBounds& bounds);

// The line of the log that repeats most often, with the digits in it masked
// (so "level loaded in 12 ms" and "... 13 ms" count as one); *count gets how
// often it appears. "" for an empty log.
std::string mostRepeatedLine(const std::string& log, int* count);

} // namespace test

#endif
