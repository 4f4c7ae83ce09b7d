// The fixed texts of the about tab: the community links and the credits of
// what the program links or ships.
#pragma once

#include <vector>

namespace lumaroll {

struct CommunityLink {
    const char* name;
    const char* icon; // one icon code point as UTF-8
    const char* address;
};

struct Credit {
    const char* component;
    const char* licence;
};

// Community chat, code host, video channel, donation page, in button order.
const std::vector<CommunityLink>& communityLinks();

// One row per component the program links or ships, the engine first.
const std::vector<Credit>& credits();

} // namespace lumaroll
