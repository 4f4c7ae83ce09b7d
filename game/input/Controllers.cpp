#include "input/Controllers.h"

namespace lumaroll {

Controllers& Controllers::instance()
{
    static Controllers controllers;
    return controllers;
}

} // namespace lumaroll
