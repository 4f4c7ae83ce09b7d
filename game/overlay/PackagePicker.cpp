#include "overlay/PackagePicker.h"

#include "files/Paths.h"
#include "overlay/ChildProcess.h"

#include <vector>

namespace lumaroll {

namespace {

// A path longer than this is no answer of a file dialog.
const std::size_t kMaxAnswerBytes = 1 << 20;

} // namespace

std::string choosePackageFile(const std::string& title)
{
    std::string home = getEnvString("HOME");
    if (home.empty())
        home = "/";
    const std::vector<std::vector<std::string>> dialogs = {
        {"zenity", "--file-selection", "--title=" + title, "--file-filter=*.deb"},
        {"kdialog", "--getopenfilename", home, "*.deb"},
    };
    const std::vector<std::string> environment = currentEnvironment();
    for (const std::vector<std::string>& dialog : dialogs) {
        const ProgramRun run = runProgram(dialog, CapturedStream::Output, kMaxAnswerBytes, environment);
        if (!run.started || run.exitCode < 0 || run.exitCode >= 2)
            continue; // missing or broken: the next tool
        const std::string path = firstLine(run.text);
        if (run.exitCode == 0 && !path.empty())
            return path;
        return std::string(); // cancelled
    }
    return std::string();
}

} // namespace lumaroll
