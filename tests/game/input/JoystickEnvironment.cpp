// SDL's game controller subsystem (joysticks and events with it) for the
// whole program; virtual pads are attached to it.
#include <SDL.h>
#include <gtest/gtest.h>

namespace {

class JoystickEnvironment : public testing::Environment {
public:
	void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError(); }
	void TearDown() override { SDL_Quit(); }
};

testing::Environment* const environment = testing::AddGlobalTestEnvironment(new JoystickEnvironment);

} // namespace
