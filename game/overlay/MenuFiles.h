// What the game tab and the welcome page show from disk: the best distances
// and the installed languages, read once each time the menu opens (reading
// every language file each frame doubled the cost of a game-tab frame).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace lumaroll {

class MenuFiles {
public:
    // The next read goes to the disk again; the overlay calls it whenever the
    // menu opens.
    void expire();

    // The best distances (store/Scores.h readScores); both lists are read
    // first unless they are fresh.
    const std::vector<int>& scores();
    // The installed languages as (code, name) pairs (Translations.h
    // listLanguages); both lists are read first unless they are fresh.
    const std::vector<std::pair<std::string, std::string>>& languages();

    // Reads the best distances again now (after they were cleared).
    void rereadScores();

private:
    void readUnlessFresh();

    bool fresh = false;
    std::vector<int> bestScores;
    std::vector<std::pair<std::string, std::string>> installedLanguages;
};

} // namespace lumaroll
