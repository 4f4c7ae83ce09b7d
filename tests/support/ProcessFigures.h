#ifndef SUPPORT_PROCESSFIGURES_H
#define SUPPORT_PROCESSFIGURES_H

// What the running test or benchmark process holds right now, read from
// /proc/self and the allocator, for checks that these stay flat over a long
// run.

namespace test {

// VmRSS in kB; 0 when /proc/self/status cannot be read.
long residentKb();
// Open file descriptors (entries of /proc/self/fd, the one used to list them
// not counted); -1 when the folder cannot be read.
int openFileDescriptors();
// Threads of the process (entries of /proc/self/task); -1 when unreadable.
int threadCount();
// Heap bytes in use: AddressSanitizer's count of allocated bytes in a
// sanitized build (freed memory in its quarantine not included), else the
// C library's in-use bytes.
long heapBytes();

} // namespace test

#endif
