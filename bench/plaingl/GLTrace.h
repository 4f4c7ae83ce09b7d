#ifndef BENCH_PLAINGL_GLTRACE_H
#define BENCH_PLAINGL_GLTRACE_H

// The GL work of a level session as a plain list of GL calls: recorded
// through gr::gl while the session loads and runs (with copies of every
// buffer, texture, shader source, uniform and client-side array the calls
// pass), and replayed by calling the GL library directly, with no engine or
// game code in between. The replay is the plain GL program the frame
// benchmark compares the game with: the same triangles with the same
// textures, shaders and states, drawn by a loop over the calls.
//
// Queries (glGet*, glIsEnabled, glCheckFramebufferStatus, glReadPixels) are
// not replayed. Object names, uniform and attribute locations are replayed
// as recorded: a new context handed the same calls hands out the same ones,
// which the replay checks for every name it creates.

#include <gr/gles2/GLES2_Dispatch.h>

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

class GLTrace {
public:
	struct Call {
		std::uint16_t function = 0; // index in the dispatch table's function list
		std::uint8_t argCount = 0;
		std::int64_t args[10] = {};		   // integers as they are, floats as their double's bits
		std::uint32_t data = 0, bytes = 0; // copied bytes in the blob, for the pointer argument
	};

	// Puts recording wrappers into gr::gl (forwarding to the table in place);
	// the calls before the first frame mark are the set-up.
	void start();
	// Ends a frame: the calls since the last mark are one frame.
	void markFrame();
	// Puts the earlier table back.
	void stop();

	int frames() const { return int(frameStarts.size()); }
	// Replays the set-up; false with a message when the context hands out
	// other names than the recorded ones.
	bool replaySetup(std::string* error) const;
	// Replays frame i (0 is the first after the set-up).
	void replayFrame(int i) const;

	bool save(const std::string& path) const;
	bool load(const std::string& path);

	// Called by the recording wrappers.
	void record(const Call& call, const void* data = nullptr, std::size_t bytes = 0);
	std::vector<Call> calls;
	std::vector<std::uint8_t> blob;

private:
	void replay(size_t from, size_t to, std::string* error) const;
	std::vector<std::uint32_t> frameStarts;
	gr::GLES2_Dispatch saved{};
};

} // namespace bench

#endif
