#include "support/GameDataWriter.h"

#include "support/Files.h"

namespace test {

const std::vector<GameDataMarker>& gameDataMarkers() {
	static const std::vector<GameDataMarker> markers = {
		{"data/bundles/original/level01.hgr", "level"},
		{"data/resources/models/plimbo.hgr", "ball"},
		{"data/resources/images/MENU.dat", "menu"},
	};
	return markers;
}

bool installGameData(const std::string& gameDir) {
	bool ok = true;
	for (const GameDataMarker& m : gameDataMarkers())
		ok = writeFile(gameDir + "/" + m.path, m.text) && ok;
	return ok;
}

} // namespace test
