// What the game asks of the desktop besides its window: opening a web address
// in the user's browser. SDL's (which starts xdg-open) unless a test hands another.
#pragma once

#include <string>

namespace lumaroll {

class Desktop {
public:
    virtual ~Desktop() = default;
    // Hands the address to the desktop's browser and returns at once;
    // failures are not reported.
    virtual void openAddress(const std::string& address) = 0;
};

// SDL_OpenURL, which starts xdg-open.
class SdlDesktop : public Desktop {
public:
    void openAddress(const std::string& address) override;
    static SdlDesktop& instance();
};

} // namespace lumaroll
