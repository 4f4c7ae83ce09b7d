#pragma once
// The files of a game data folder as tar entries of a data package, for
// packages made by hand around a whole game (the synthetic package's files
// with a damaged or clashing entry added).

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "files/DataLayout.h"
#include "support/DebWriter.h"
#include "support/Files.h"

namespace importtest {

// Every file below dataDir (the folder holding "bundles" and "resources"),
// named as the package keeps it ("opt/plimbo/data/..."): the three markers
// first, then the others in name order.
inline std::vector<test::TarEntry> gameDataEntries(const std::string& dataDir) {
	namespace fs = std::filesystem;
	std::vector<std::string> rels;
	for (const fs::directory_entry& e : fs::recursive_directory_iterator(dataDir))
		if (e.is_regular_file())
			rels.push_back("data/" + fs::relative(e.path(), dataDir).string());
	const auto isMarker = [](const std::string& rel) {
		for (const char* marker : lumaroll::kInstalledMarkers)
			if (rel == marker)
				return true;
		return false;
	};
	std::sort(rels.begin(), rels.end(), [&](const std::string& a, const std::string& b) {
		return isMarker(a) != isMarker(b) ? isMarker(a) : a < b;
	});
	std::vector<test::TarEntry> entries;
	for (const std::string& rel : rels)
		entries.push_back(test::tarFile("opt/plimbo/" + rel, test::readFile(dataDir + rel.substr(4))));
	return entries;
}

} // namespace importtest
