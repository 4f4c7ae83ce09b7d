#include "overlay/SliderDrag.h"

namespace lumaroll {

void SliderDrag::activated(const char* key, float valueBefore)
{
    activeKey = key;
    valueBeforeDrag = valueBefore;
}

void SliderDrag::becameScroll()
{
    if (!activeKey.empty())
        revertKey = activeKey;
}

void SliderDrag::released()
{
    activeKey.clear();
}

bool SliderDrag::takeRevert(const char* key, float& value)
{
    if (revertKey.empty() || revertKey != key)
        return false;
    revertKey.clear();
    value = valueBeforeDrag;
    return true;
}

} // namespace lumaroll
