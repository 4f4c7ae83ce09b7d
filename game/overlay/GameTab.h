// The game tab: the data folder and whether game data is installed there,
// the import of another package (the import page's button), the update
// check with its box, its state and the download button, the best distances
// with their two-press clear, and the language row.
#pragma once

#include "overlay/MenuTab.h"

namespace lumaroll {

class ImportPage;
class MenuContext;
class Notices;
class UpdateCheck;

class GameTab : public MenuTab {
public:
    // All four are the overlay's and outlive the tab.
    GameTab(MenuContext& context, Notices& notices, UpdateCheck& updates, ImportPage& importPage);

    // Ticking the update box starts the check when it never ran (turning it
    // off stops nothing); the download button opens the release page; the
    // clear button asks once, then removes the scores and confirms with a
    // notice, or tells with one why they could not be removed (the list then
    // shows the file as it is). The clear button is shown only while the
    // scores differ from the default ones.
    void draw() override;

    // The clear-records button waits for its confirming second press; false
    // again once the scores are the default ones.
    bool clearPending() const { return recordsConfirm; }

private:
    void drawUpdates();
    void drawRecords();

    MenuContext& context;
    Notices& notices;
    UpdateCheck& updates;
    ImportPage& importPage;
    bool recordsConfirm = false;
};

} // namespace lumaroll
