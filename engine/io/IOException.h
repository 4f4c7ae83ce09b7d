#ifndef IO_IOEXCEPTION_H
#define IO_IOEXCEPTION_H

#include <lang/Exception.h>

namespace io {

/** Failure of an input stream, a path name or a property text. */
class IOException : public lang::Exception {
public:
	explicit IOException(const lang::Format& msg) : lang::Exception(msg) {}
};

} // namespace io

#endif
