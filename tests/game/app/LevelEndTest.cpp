// When a completed level counts as over: real time after the world says it
// is complete, at once on a rail, never without the menu images.
#include "app/LevelEnd.h"

#include <gtest/gtest.h>

namespace {

struct Frame {
	bool complete, onRail, uiLoaded;
	float dt;
	bool becomesOver; // what update returns
	bool over;		  // over() afterwards
};

TEST(LevelEnd, OverAfterOneAndAHalfSecondsOfACompleteLevel) {
	struct Case {
		const char* name;
		std::vector<Frame> frames;
	};
	const Case cases[] = {
		{"incomplete frames count nothing",
		 {{false, false, true, 5.f, false, false},
		  {true, false, true, 1.f, false, false},
		  {true, false, true, 0.5f, true, true}}},
		{"exactly 1.5 s", {{true, false, true, 0.75f, false, false}, {true, false, true, 0.75f, true, true}}},
		{"on a rail at once", {{true, true, true, 0.f, true, true}}},
		{"a rail reached later ends it then",
		 {{true, false, true, 0.1f, false, false}, {true, true, true, 0.f, true, true}}},
		{"never without the menu images",
		 {{true, false, false, 2.f, false, false}, {true, true, false, 2.f, false, false}}},
		{"once over it stays over and says so once",
		 {{true, true, true, 0.f, true, true},
		  {false, false, false, 0.f, false, true},
		  {true, true, true, 1.f, false, true}}},
	};
	for (const Case& c : cases) {
		lumaroll::LevelEnd end;
		for (size_t i = 0; i < c.frames.size(); ++i) {
			const Frame& f = c.frames[i];
			EXPECT_EQ(end.update(f.complete, f.onRail, f.uiLoaded, f.dt), f.becomesOver) << c.name << ", frame " << i;
			EXPECT_EQ(end.over(), f.over) << c.name << ", frame " << i;
		}
	}
}

} // namespace
