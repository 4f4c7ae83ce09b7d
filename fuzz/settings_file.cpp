// "config.ini" of any content, loaded as at start-up (with the migration of
// old keys, which may write the file back). Whatever was loaded must come
// back unchanged from a saved copy, and every value must read as a flag and
// as a number that is no NaN or infinity.
#include "store/Settings.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
	static const std::string file = test::tempPath("config.ini");
	static const std::string copy = test::tempPath("saved.ini");
	if (!test::writeFile(file, data, size))
		return 0;
	lumaroll::Settings loaded;
	loaded.loadFrom(file);
	for (const auto& entry : loaded.values()) {
		if (!std::isfinite(loaded.getFloat(entry.first, 0.f)))
			__builtin_trap();
		loaded.getBool(entry.first, false);
	}
	if (!loaded.saveTo(copy))
		__builtin_trap();
	lumaroll::Settings reloaded;
	reloaded.loadFrom(copy);
	if (reloaded.values() != loaded.values())
		__builtin_trap();
	return 0;
}
