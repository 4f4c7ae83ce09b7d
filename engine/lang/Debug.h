#ifndef LANG_DEBUG_H
#define LANG_DEBUG_H

namespace lang {

/**
 * The engine's debug log: formats printf-style and writes the finished text
 * to standard output unchanged. Long texts are written whole. Returns the
 * number of characters written, or -1 when the format cannot be expanded.
 */
int debugPrintf(const char* fmt, ...)
#if defined(__GNUC__)
	__attribute__((format(printf, 1, 2)))
#endif
	;

} // namespace lang

#endif
