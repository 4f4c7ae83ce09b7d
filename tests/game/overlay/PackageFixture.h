#ifndef TESTS_GAME_OVERLAY_PACKAGEFIXTURE_H
#define TESTS_GAME_OVERLAY_PACKAGEFIXTURE_H

// Data packages built by dpkg-deb from a tree written here: the three files
// that make installed game data, the first of them either a few bytes or the
// writer-made test level (with its shaders and texture), so that the program
// can play what it imported.

#include "support/DebWriter.h"
#include "support/Files.h"
#include "support/GameDataWriter.h"

#include <string>

namespace overlaytest {

// Writes the package to path, building it in work; false (with dpkg-deb's
// output in *log) when it could not be built. extraBytes adds a file of that
// many bytes of noise (for a large package).
inline bool writeGamePackage(const std::string& work, const std::string& path, bool playableLevel,
							 std::string* log = nullptr, size_t extraBytes = 0) {
	const std::string root = work + "/tree";
	if (!test::writeControlFile(root))
		return false;
	const std::string game = root + "/opt/plimbo";
	if (!(playableLevel ? test::installGameDataWithLevel(game) : test::installGameData(game)))
		return false;
	if (extraBytes > 0) {
		std::string noise(extraBytes, '\0');
		unsigned state = 12345u;
		for (char& c : noise) {
			state = state * 1103515245u + 12345u;
			c = char(state >> 24);
		}
		test::writeFile(game + "/data/resources/sounds/noise.wav", noise);
	}
	return test::buildDebFromTree(root, "gzip", path, log);
}

} // namespace overlaytest

#endif
