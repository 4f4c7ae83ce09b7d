// The high-score list: the three best scores in "level2.scores" in the data
// directory, best first. Every call reads the file again.
#pragma once

#include <string>
#include <vector>

namespace lumaroll {

// {3500, 2000, 1000}: stands in for a missing or empty file.
const std::vector<int>& defaultScores();

// dataDir() + "/level2.scores".
std::string scoresPath();

// The first three integers of the file, in file order; the default list when
// the file is missing, is no regular file (a folder, a named pipe, which is
// never waited for) or holds no number first.
std::vector<int> readScores();
std::vector<int> readScores(const std::string& file);

// True when readScores() equals the default list.
bool scoresAreDefault();

// Removes what stands at the file's path, unless it is a folder: a file, a
// named pipe, a symbolic link (the link, never what it points to); the
// default list applies again. True when it is gone or there was none. A
// folder in its place is kept, and so is anything the system refuses to
// remove: false, "scores: could not remove <path>: <reason>" is
// printed (a line of the log) and why, when given, receives the system's
// reason ("Is a directory").
bool clearScores(std::string* why = nullptr);
bool clearScores(const std::string& file, std::string* why);

// Inserts score into the stored list (below equal scores), keeps the best three,
// writes the file and hands the list back. Returns the new place 0 to 2, or -1
// when the score did not enter the list. The file is flushed to the disk
// (replaceFileContents). saved tells whether the file was written and
// flushed: when it cannot be, the result and list are the same, the old file
// is kept intact (unless only the flush of its folder failed) and saved is
// false, so that the caller can say the entry will be gone at the next start.
int addHighScore(int score, std::vector<int>& list, bool& saved);
int addHighScore(const std::string& file, int score, std::vector<int>& list, bool& saved);

} // namespace lumaroll
