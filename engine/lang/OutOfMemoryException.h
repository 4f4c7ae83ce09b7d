#ifndef LANG_OUTOFMEMORYEXCEPTION_H
#define LANG_OUTOFMEMORYEXCEPTION_H

#include <lang/Exception.h>

namespace lang {

/** A memory request that cannot be met (the message is empty). */
class OutOfMemoryException : public Exception {
public:
	/** Logs an empty message like any other engine exception. */
	OutOfMemoryException();
};

} // namespace lang

#endif
