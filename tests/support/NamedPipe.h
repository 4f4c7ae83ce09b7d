#ifndef SUPPORT_NAMEDPIPE_H
#define SUPPORT_NAMEDPIPE_H

// Named pipes and folders put where the program expects a file it reads, for
// the tests of code that must pass over them without waiting.

#include <functional>
#include <string>
#include <vector>

namespace test {

// What stands where a file is expected.
enum class FileStandIn { NamedPipe, Folder };

// "named pipe" or "folder", for the tests' messages.
const char* standInName(FileStandIn kind);

// Makes the stand-in at path (the missing parent folders first): a named pipe
// that nothing writes to, or an empty folder. False when it cannot be made.
bool makeStandIn(FileStandIn kind, const std::string& path);

// How long body of runWithoutWaiting may take before it counts as waiting on
// a pipe: far longer than any of the calls tested this way takes on a busy
// machine. It bounds a hang only; a call that does not wait returns long before.
const int kPipeWaitBoundMs = 30000;

// Runs body on a thread of its own and waits for it to return. When it has
// not returned within kPipeWaitBoundMs it is taken as waiting on one of the
// named pipes: the running test fails, and each pipe is opened for writing
// and closed again (over and over until body returns), which lets a reader
// that waits on it go on and see the end of the data, so that the test
// program still ends. A path of pipes that is no named pipe is left alone.
void runWithoutWaiting(const std::vector<std::string>& pipes, const std::function<void()>& body);

} // namespace test

#endif
