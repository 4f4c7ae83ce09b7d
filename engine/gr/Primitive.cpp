#include <gr/Primitive.h>

namespace gr {

void Primitive::prepare(int) {}

void Primitive::finish() {}

} // gr
