// Stands in for libFuzzer where it is not linked (the gcc test build): runs
// a fuzz target's entry function once over every file in the folders and
// files named on the command line, so that the committed seeds are replayed
// under the sanitizers of the build. Exits 1 when it finds no file to replay;
// a seed that trips the target or a sanitizer ends the program on the spot,
// after its name was printed.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size);
// Optional in a target, as with libFuzzer.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

bool readAll(const std::string& path, std::vector<std::uint8_t>& bytes) {
	std::FILE* f = std::fopen(path.c_str(), "rb");
	if (!f)
		return false;
	bytes.clear();
	std::uint8_t buffer[65536];
	size_t n;
	while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
		bytes.insert(bytes.end(), buffer, buffer + n);
	const bool ok = !std::ferror(f);
	std::fclose(f);
	return ok;
}

// The regular files of a folder, in name order; the path itself for a file.
std::vector<std::string> inputsOf(const std::string& path) {
	struct stat st;
	if (::stat(path.c_str(), &st) != 0)
		return {};
	if (!S_ISDIR(st.st_mode))
		return {path};
	std::vector<std::string> files;
	dirent** entries = nullptr;
	const int count = ::scandir(path.c_str(), &entries, nullptr, alphasort);
	for (int i = 0; i < count; ++i) {
		const std::string file = path + "/" + entries[i]->d_name;
		if (entries[i]->d_name[0] != '.' && ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode))
			files.push_back(file);
		std::free(entries[i]);
	}
	std::free(entries);
	return files;
}

} // namespace

int main(int argc, char** argv) {
	if (LLVMFuzzerInitialize && LLVMFuzzerInitialize(&argc, &argv) != 0) {
		std::fprintf(stderr, "the target's initialisation failed\n");
		return 1;
	}
	int replayed = 0;
	std::vector<std::uint8_t> bytes;
	for (int i = 1; i < argc; ++i) {
		for (const std::string& file : inputsOf(argv[i])) {
			if (!readAll(file, bytes)) {
				std::fprintf(stderr, "cannot read %s\n", file.c_str());
				return 1;
			}
			std::fprintf(stderr, "replaying %s (%zu bytes)\n", file.c_str(), bytes.size());
			// A copy of exactly the file's size, so that reads past the end are caught.
			std::vector<std::uint8_t> input(bytes);
			LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
			++replayed;
		}
	}
	if (replayed == 0) {
		std::fprintf(stderr, "no seed files to replay\n");
		return 1;
	}
	std::fprintf(stderr, "replayed %d seed files\n", replayed);
	return 0;
}
