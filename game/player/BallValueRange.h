// The one range check of the ball's values and of the rail speed limit:
// every writer (the form record, the world's variables, the world's
// requests, the ride, a set-up that places the ball by hand) goes through
// takeValue, so that a value that is not finite or is out of its range never
// reaches the ball's motion.
#pragma once

#include <limits>
#include <string_view>

namespace lumaroll {

// The range a value is taken in: finite, not above largest, and not below
// smallest (above it when smallestAllowed is false).
struct ValueRange {
    const char* name; // as the lines name it: "max speed", "rail speed limit"
    float smallest;
    bool smallestAllowed;
    float largest;
};

// Above this no ball value makes sense (forces and speeds run to thousands),
// and below it no product the ball's motion forms can overflow a float.
constexpr float kLargestBallValue = 1e6f;

// The ride sets the ball's max speed to this many times the rail speed limit
// (1.1 times its target, 1.15 times the limit).
constexpr float kRideMaxSpeedFactor = 1.1f * 1.15f;

// The player lowers the radius's largest to the grid's contact reach.
inline constexpr ValueRange kRadiusRange{"radius", 0.f, false, kLargestBallValue};
inline constexpr ValueRange kMassRange{"mass", 0.f, false, kLargestBallValue};
inline constexpr ValueRange kForceRange{"force", 0.f, true, kLargestBallValue};
inline constexpr ValueRange kJumpRange{"jump", 0.f, true, kLargestBallValue};
inline constexpr ValueRange kFrictionRange{"friction", 0.f, true, kLargestBallValue};
inline constexpr ValueRange kFrictionSlideRange{"friction slide", 0.f, true, kLargestBallValue};
inline constexpr ValueRange kMaxSpeedRange{"max speed", 0.f, true, kLargestBallValue};
inline constexpr ValueRange kReboundRange{"rebound", 0.f, true, kLargestBallValue};
inline constexpr ValueRange kGravityRange{"gravity", 0.f, true, kLargestBallValue};
// The max speed's range, lowered so that the max speed the ride makes of it
// (kRideMaxSpeedFactor times) stays within that range.
inline constexpr ValueRange kRailSpeedLimitRange{"rail speed limit", 0.f, true, 7.9e5f};
static_assert(7.9e5f * kRideMaxSpeedFactor < kLargestBallValue, "the ride's max speed in range");
// Every finite factor: zero stops the ball, a negative one turns it round.
inline constexpr ValueRange kSpeedFactorRange{"speed factor", -std::numeric_limits<float>::max(), true,
                                              std::numeric_limits<float>::max()};

// Whether value is finite and within range.
bool inRange(const ValueRange& range, float value);

// "ball: <name> '<shown>' <origin> ignored" on stderr, for example
// "ball: rail speed limit '-5' from maxspeed ignored".
void reportIgnored(const ValueRange& range, std::string_view shown, std::string_view origin);
// The same with value shown as printf's %g.
void reportIgnored(const ValueRange& range, float value, std::string_view origin);

// Stores value in target and returns true when it is in range; otherwise
// target keeps the value before, the line of reportIgnored is printed with
// value as printf's %g and the result is false.
bool takeValue(const ValueRange& range, float value, float& target, std::string_view origin);
// The same, the line showing the text the value was read from.
bool takeValue(const ValueRange& range, float value, float& target, std::string_view origin,
               std::string_view shown);

} // namespace lumaroll
