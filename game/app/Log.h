// Capture of everything the process prints into "lumaroll.log" in the data
// directory; the previous run's log is kept as "lumaroll.previous.log".
// Descriptors 1 and 2 are redirected into pipes; a log thread copies each
// complete line to the log file and to the terminal's own standard output or
// standard error, whichever the line was written to.
#pragma once

#include <string>

namespace lumaroll {

// Starts the capture and prints the start line and the log path. Returns the
// log file's path, or an empty string when the log file or the pipes could not
// be made; then nothing is redirected.
std::string startLog();

// Ends the capture: flushes both streams, gives descriptors 1 and 2 back to
// the terminal, lets the log thread copy every line still in the pipes (a
// last line without its newline included) and waits for it. Safe to call when
// nothing was started and more than once; also registered to run at exit.
void stopLog();

} // namespace lumaroll
