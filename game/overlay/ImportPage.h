// Importing the game's data package from the menu: the import button with
// the result of the last attempt below it (on the game tab and the welcome
// page), the desktop's file dialog it asks (PackagePicker.h), the import
// itself, and the welcome page that the menu shows in import-screen mode.
#pragma once

#include "import/Import.h"

#include <string>

namespace lumaroll {

class MenuContext;

class ImportPage {
public:
    // The context is the overlay's and outlives the page.
    explicit ImportPage(MenuContext& context);

    // The import screen's content: title, welcome text, the import button and
    // the language row.
    void drawWelcomePage();

    // The import button, with message() below it once there is one; present
    // says whether game data is installed (the label offers another package
    // then). A press asks the file dialog titled "game.picker_title" and
    // imports the chosen package; a cancelled or missing dialog leaves the
    // message "game.no_picker".
    void drawImportButton(bool present);

    // Imports the package into gameDataDir() with options(), at once, and
    // sets message() to the translated summary (with a restart note outside
    // the import screen, and the package's digest when it is not a known
    // version) or to the failure naming path and the importer's error.
    void importPackage(const std::string& path);

    // The result text of the last import or dialog; empty before the first.
    const std::string& message() const { return importMessage; }

    // Limits and known digests of menu imports; the production values unless
    // a test changes them.
    ImportOptions& options() { return importOptions; }

private:
    MenuContext& context;
    std::string importMessage;
    ImportOptions importOptions;
};

} // namespace lumaroll
