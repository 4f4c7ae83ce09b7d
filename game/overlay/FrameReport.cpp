#include "overlay/FrameReport.h"

namespace lumaroll {

const FrameReport::Item* FrameReport::find(const std::string& name) const
{
    for (const Item& item : items) {
        if (item.name == name)
            return &item;
    }
    return nullptr;
}

} // namespace lumaroll
