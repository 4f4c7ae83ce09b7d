// Effect files of any content with their stage sources and included files,
// read as the GL back end reads them before any GL call: the effect's
// preprocessing and parse, then the assembly of every stage its passes name.
// Each failure must come back as false with a message, each success whole.
//
// The input holds up to five files separated by zero bytes: the effect
// "effect.fx", the stages "stage.vsh" and "stage.fsh", and "common.inc" and
// "more.inc" for includes. A file the input leaves out does not exist.
#include <gr/gles2/EffectDescription.h>
#include <gr/gles2/ShaderStage.h>

#include "support/Files.h"
#include "support/TempDir.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const kFiles[] = {"effect.fx", "stage.vsh", "stage.fsh", "common.inc", "more.inc"};
const size_t kFileCount = sizeof kFiles / sizeof kFiles[0];

// Stage assemblies tried per input: enough for every pass of a plain effect,
// few enough that an effect of many passes stays quick.
const int kMaxStages = 8;

void checkStage(const std::string& path, const std::vector<std::string>& defines, bool fragment) {
	std::string out, error;
	const bool ok = gr::buildShaderStageSource(path, defines, fragment, out, error);
	if (ok ? !error.empty() || out.compare(0, 13, "#version 100\n") != 0 : error.empty() || !out.empty())
		__builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
	static const std::string dir = test::tempPath("effect") + "/";
	const char* text = reinterpret_cast<const char*>(data);
	size_t start = 0; // where the next file's text begins; past size when the input has no more files
	for (size_t i = 0; i < kFileCount; ++i) {
		const std::string path = dir + kFiles[i];
		if (start > size) {
			std::remove(path.c_str());
			continue;
		}
		size_t stop = start;
		while (stop < size && text[stop] != 0)
			++stop;
		if (!test::writeFile(path, text + start, stop - start))
			return 0;
		start = stop + 1;
	}

	gr::EffectDescription effect;
	const bool ok = gr::parseEffect(dir + "effect.fx", effect);
	if (ok != effect.error.empty() || (ok && effect.techniques.empty()))
		__builtin_trap();
	int stages = 0;
	for (const gr::EffectDescription::Technique& technique : effect.techniques) {
		for (const gr::EffectDescription::Pass& pass : technique.passes) {
			if (!pass.vertexShader.empty() && stages++ < kMaxStages)
				checkStage(pass.vertexShader, effect.defines, false);
			if (!pass.fragmentShader.empty() && stages++ < kMaxStages)
				checkStage(pass.fragmentShader, effect.defines, true);
		}
	}
	return 0;
}
