// Fuzzes the package importer: the input is written as a package file and
// imported into a scratch folder, which is emptied after every run.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <ftw.h>
#include <unistd.h>

#include "import/Gunzip.h"
#include "import/Import.h"

namespace {

int removeEntry(const char* path, const struct stat*, int, struct FTW*) {
    ::remove(path);
    return 0;
}

struct Scratch {
    std::string dir, deb, dest;
    Scratch() {
        char templ[] = "/tmp/lumaroll-fuzz-import-XXXXXX";
        if (::mkdtemp(templ))
            dir = templ;
        deb = dir + "/package.deb";
        dest = dir + "/dest";
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static Scratch scratch;
    if (scratch.dir.empty())
        return 0;
    std::FILE* f = std::fopen(scratch.deb.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    lumaroll::ImportOptions options;
    options.maxDataSize = 64 << 20;
    // Flushing the scratch folder to the disk on every run would only slow
    // the fuzzing down.
    options.flushData = [](const std::string&) { return true; };
    int calls = 0;
    const lumaroll::ImportResult r = lumaroll::importDebPackage(
        scratch.deb, scratch.dest, [&](const std::string& path, int count) {
            if (path.compare(0, 4, "data") != 0 || count != ++calls)
                std::abort();
        },
        options);
    if (r.ok != r.error.empty() || r.files != calls)
        std::abort();
    ::nftw(scratch.dest.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);

    std::vector<char> out;
    std::string error;
    lumaroll::gunzip(data, static_cast<int>(size), out, error, 64 << 20);
    return 0;
}
