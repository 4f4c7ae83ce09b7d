#include "overlay/MenuFiles.h"

#include "overlay/Translations.h"
#include "store/Scores.h"

namespace lumaroll {

void MenuFiles::expire()
{
    fresh = false;
}

const std::vector<int>& MenuFiles::scores()
{
    readUnlessFresh();
    return bestScores;
}

const std::vector<std::pair<std::string, std::string>>& MenuFiles::languages()
{
    readUnlessFresh();
    return installedLanguages;
}

void MenuFiles::rereadScores()
{
    bestScores = readScores();
}

void MenuFiles::readUnlessFresh()
{
    if (fresh)
        return;
    bestScores = readScores();
    installedLanguages = listLanguages();
    fresh = true;
}

} // namespace lumaroll
