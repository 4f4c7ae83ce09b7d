// Capture of everything the process prints into "lumaroll.log" in the data
// directory; the previous run's log is kept as "lumaroll.previous.log".
//
// Descriptors 1 and 2 become two local datagram sockets that send to one
// receiving socket, so the system queues every write of either stream, of
// any thread or library or child process, in the order the writes happened,
// and tells which stream each came from. A log thread gathers each stream's
// bytes into lines and copies every complete line, in the order its newline
// was written, to the log file and to the terminal's own standard output or
// standard error, whichever the line was written to. A line is never mixed
// with one of the other stream, even when it was written in pieces. A single
// write can be at most as large as the system's socket send buffer (some
// hundreds of kilobytes at the least); lines are far shorter.
#pragma once

#include <string>

namespace lumaroll {

// Starts the capture and prints the start line and the log path. Returns the
// log file's path, or an empty string when the log file or the sockets could
// not be made; then nothing is redirected.
std::string startLog();

// Ends the capture: flushes both streams, gives descriptors 1 and 2 back to
// the terminal, lets the log thread copy every line still queued (a last line
// without its newline included) and waits for it. Safe to call when
// nothing was started and more than once; also registered to run at exit.
void stopLog();

} // namespace lumaroll
