#ifndef LANG_EXCEPTION_H
#define LANG_EXCEPTION_H

#include <lang/Throwable.h>

namespace lang {

/** Base of the engine's recoverable failures. */
class Exception : public Throwable {
public:
	Exception() {}
	explicit Exception(const Format& message) : Throwable(message) {}
};

} // namespace lang

#endif
