#pragma once
// Shared set-up of the importer tests: a scratch folder with a package path
// and a destination folder, and a recording progress callback.

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "import/Import.h"
#include "support/DebWriter.h"
#include "support/Files.h"
#include "support/TempDir.h"

class ImportTest : public ::testing::Test {
protected:
	test::TempDir tmp;
	std::string deb = tmp / "package.deb";
	std::string dest = tmp / "dest";
	std::vector<std::pair<std::string, int>> progress;

	lumaroll::ImportProgress recorder() {
		return [this](const std::string& path, int count) { progress.emplace_back(path, count); };
	}

	// Writes a package whose data member is the given tar archive, gzip-compressed
	// unless plain is set, and imports it.
	lumaroll::ImportResult importTar(const std::string& tar, bool plain = false) {
		const std::string member = plain ? tar : test::gzip(tar);
		test::writeFile(deb, test::debPackage(plain ? "data.tar" : "data.tar.gz", member));
		return lumaroll::importDebPackage(deb, dest, recorder());
	}

	lumaroll::ImportResult importBytes(const std::string& bytes) {
		test::writeFile(deb, bytes);
		return lumaroll::importDebPackage(deb, dest, recorder());
	}

	std::string destFile(const std::string& rel) const { return test::readFile(dest + "/" + rel); }
	bool destHas(const std::string& rel) const { return test::fileExists(dest + "/" + rel); }
};

inline std::vector<test::TarEntry> withMarkers(std::vector<test::TarEntry> entries) {
	for (auto& e : test::markerEntries())
		entries.push_back(e);
	return entries;
}
