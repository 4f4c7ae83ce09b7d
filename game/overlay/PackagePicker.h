// The desktop's file dialog for choosing the game's data package: zenity,
// else kdialog, each started without a shell.
#pragma once

#include <string>

namespace lumaroll {

// Asks the user for a ".deb" file. zenity gets "--file-selection",
// "--title=<title>" and "--file-filter=*.deb"; kdialog "--getopenfilename",
// $HOME and "*.deb". A tool that cannot start or ends with code 2 or more
// hands over to the next; one that ends with 0 and prints a line gives that
// line (the whole line, without its CR/LF); one that ends with 0 and prints
// nothing, or ends with 1 (the user cancelled), ends the choice. Returns the
// chosen path, or empty when nothing was chosen or no dialog could run.
std::string choosePackageFile(const std::string& title);

} // namespace lumaroll
