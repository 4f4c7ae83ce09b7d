#ifndef IO_REGULARFILE_H
#define IO_REGULARFILE_H

namespace io {

/**
 * Opens path for reading only when it is a regular file (a link to one
 * included). A named pipe in a file's place would block the open until some
 * other program writes to it, a device may never end and a folder opens but
 * does not read; so the path is opened without waiting, the descriptor itself
 * is checked (an entry swapped after a check by name cannot slip through) and
 * only then set back to blocking reads.
 *
 * Returns the descriptor (close-on-exec, blocking reads), or -1 when the path
 * cannot be opened or is no regular file; why, when given, then points to the
 * reason: the system's text for a failed open, else "not a regular file".
 */
int openRegularFile(const char* path, const char** why = nullptr);

} // namespace io

#endif
