// lumaroll_testdata OUT.deb: writes the synthetic game data package
// (support/GamePackage.h) so that anyone can try the program without the
// game's own package. scripts/testdata builds and runs it.
#include "support/GamePackage.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
	if (argc != 2) {
		std::fprintf(stderr, "usage: %s OUT.deb\n", argc > 0 ? argv[0] : "lumaroll_testdata");
		return 2;
	}
	std::string log;
	if (!test::writeGamePackage(argv[1], &log)) {
		std::fprintf(stderr, "could not write the package %s: %s\n", argv[1], log.c_str());
		return 1;
	}
	std::printf("wrote %s\n", argv[1]);
	return 0;
}
