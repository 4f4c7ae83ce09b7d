// Fuzzes the package importer: the input is written as a package file and
// imported into a scratch folder, which is emptied after every run.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "import/Gunzip.h"
#include "import/Import.h"
#include "support/Files.h"
#include "support/TempDir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
	static const std::string deb = test::tempPath("package.deb");
	static const std::string dest = test::tempPath("dest");
	if (!test::writeFile(deb, data, size))
		return 0;

	lumaroll::ImportOptions options;
	options.maxDataSize = 64 << 20;
	// Flushing the scratch folder to the disk on every run would only slow
	// the fuzzing down.
	options.flushData = [](const std::string&) { return true; };
	int calls = 0;
	const lumaroll::ImportResult r = lumaroll::importDebPackage(
		deb, dest,
		[&](const std::string& path, int count) {
			if (path.compare(0, 4, "data") != 0 || count != ++calls)
				std::abort();
		},
		options);
	if (r.ok != r.error.empty() || r.files != calls)
		std::abort();
	test::removeTree(dest);

	std::vector<char> out;
	std::string error;
	lumaroll::gunzip(data, static_cast<int>(size), out, error, 64 << 20);
	return 0;
}
