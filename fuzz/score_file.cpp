// "level2.scores" of any content: read, then a score added as at the end of
// a level. The list holds one to three scores, the new score sits at the
// place reported, and the file, reported saved, reads back as the list
// handed back.
#include "store/Scores.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
	static const std::string file = test::tempPath("level2.scores");
	if (!test::writeFile(file, data, size))
		return 0;
	const std::vector<int> read = lumaroll::readScores(file);
	if (read.empty() || read.size() > 3)
		__builtin_trap();
	const int score = size > 0 && data[0] & 1 ? INT_MAX : read.back();
	std::vector<int> list;
	bool saved = false;
	const int place = lumaroll::addHighScore(file, score, list, saved);
	if (list.empty() || list.size() > 3 || place < -1 || place >= int(list.size()) ||
		(place >= 0 && list[size_t(place)] != score))
		__builtin_trap();
	if (!saved || lumaroll::readScores(file) != list)
		__builtin_trap();
	return 0;
}
