#ifndef GR_GRAPHICSEXCEPTION_H
#define GR_GRAPHICSEXCEPTION_H

#include <lang/Exception.h>

namespace gr {

/** Failure of the graphics layer; carries a formatted message. */
class GraphicsException : public lang::Exception {
public:
	explicit GraphicsException(const lang::Format& message) : lang::Exception(message) {}
};

} // gr

#endif
