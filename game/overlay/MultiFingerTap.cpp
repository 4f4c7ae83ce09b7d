#include "overlay/MultiFingerTap.h"

#include <algorithm>

namespace lumaroll {

MultiFingerTap::Step MultiFingerTap::handle(const SDL_Event& event)
{
    if (event.type != SDL_FINGERDOWN && event.type != SDL_FINGERUP)
        return Step::None;
    const std::pair<SDL_TouchID, SDL_FingerID> finger(event.tfinger.touchId, event.tfinger.fingerId);
    const auto listed = std::find(fingersDown.begin(), fingersDown.end(), finger);
    if (event.type == SDL_FINGERUP) {
        if (listed != fingersDown.end())
            fingersDown.erase(listed);
        if (fingersDown.empty())
            armed = true;
        return Step::None;
    }
    if (listed == fingersDown.end())
        fingersDown.push_back(finger);
    const auto onScreen = std::count_if(fingersDown.begin(), fingersDown.end(),
                                        [&](const auto& f) { return f.first == finger.first; });
    if (onScreen <= 2)
        return Step::None;
    const Step step = armed ? Step::Toggle : Step::Kept;
    armed = false;
    return step;
}

} // namespace lumaroll
