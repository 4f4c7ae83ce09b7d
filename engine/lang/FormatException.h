#ifndef LANG_FORMATEXCEPTION_H
#define LANG_FORMATEXCEPTION_H

#include <lang/Exception.h>

namespace lang {

/** A message format text that cannot be expanded. */
class FormatException : public Exception {
public:
	explicit FormatException(const Format& message) : Exception(message) {}
};

} // namespace lang

#endif
