#include "store/Scores.h"

#include "files/AtomicFile.h"
#include "files/Paths.h"
#include "files/RegularFile.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace lumaroll {

const std::vector<int>& defaultScores()
{
    static const std::vector<int> scores = {3500, 2000, 1000};
    return scores;
}

std::string scoresPath()
{
    return dataDir() + "/level2.scores";
}

// Reads one integer the way fscanf's "%d" does (white space, optional sign,
// digits), but a value that does not fit an int is a failed read instead of an
// overflow.
static bool scanInt(FILE* f, int& value)
{
    int c;
    while ((c = std::fgetc(f)) != EOF && std::isspace(c))
        ;
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = std::fgetc(f);
    }
    if (c == EOF || !std::isdigit(c))
        return false;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    bool tooLarge = false;
    for (; c != EOF && std::isdigit(c); c = std::fgetc(f)) {
        if (!tooLarge) {
            magnitude = magnitude * 10 + (c - '0');
            tooLarge = magnitude > limit;
        }
    }
    if (c != EOF)
        std::ungetc(c, f);
    if (tooLarge)
        return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

std::vector<int> readScores(const std::string& file)
{
    // A missing file, a folder or a named pipe in its place reads as the default list.
    FILE* f = openRegularFileStream(file);
    if (!f)
        return defaultScores();
    std::vector<int> scores;
    int value;
    while (scores.size() < 3 && scanInt(f, value))
        scores.push_back(value);
    std::fclose(f);
    return scores.empty() ? defaultScores() : scores;
}

std::vector<int> readScores()
{
    return readScores(scoresPath());
}

bool scoresAreDefault()
{
    return readScores() == defaultScores();
}

bool clearScores(const std::string& file, std::string* why)
{
    // unlink, unlike remove, never takes an empty folder in the file's place.
    if (::unlink(file.c_str()) == 0 || errno == ENOENT || errno == ENOTDIR)
        return true;
    const std::string reason = std::strerror(errno);
    std::fprintf(stderr, "scores: could not remove %s: %s\n", file.c_str(), reason.c_str());
    if (why)
        *why = reason;
    return false;
}

bool clearScores(std::string* why)
{
    return clearScores(scoresPath(), why);
}

int addHighScore(const std::string& file, int score, std::vector<int>& list, bool& saved)
{
    list = readScores(file);
    int place = -1;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] < score) {
            list.insert(list.begin() + static_cast<long>(i), score);
            place = static_cast<int>(i);
            break;
        }
    }
    if (place < 0 && list.size() < 3) {
        place = static_cast<int>(list.size());
        list.push_back(score);
    }
    if (list.size() > 3)
        list.resize(3);

    // Written even when the score did not enter, so a first run leaves the default list.
    makeDirs(dirName(file));
    std::string text;
    for (int value : list)
        text += std::to_string(value) + "\n";
    saved = replaceFileContents(file, text);
    return place;
}

int addHighScore(int score, std::vector<int>& list, bool& saved)
{
    return addHighScore(scoresPath(), score, list, saved);
}

} // namespace lumaroll
