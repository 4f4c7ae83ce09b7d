// The frames that a level session presents are not queued without bound: on
// SDL's offscreen driver a swap flushes nothing, and without the flush in the
// present step llvmpipe kept the commands of every frame, so the process grew
// frame after frame.
#include "SessionFixture.h"
#include "app/LevelSession.h"
#include "platform/SdlWindow.h"
#include "support/Files.h"
#include "support/ParticleDescriptionWriter.h"
#include "support/ProcessFigures.h"
#include "support/ProcessRunner.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace lumaroll;

namespace {

const char* const kChildVariable = "LUMAROLL_FRAME_MEMORY_CHILD";

class FrameMemoryTest : public apptest::GLSceneTest {};

// The measurement itself, run in a child of this program (the test below):
// there AddressSanitizer keeps no freed memory back, whereas its quarantine
// here would add up to 256 MB of freed and reused memory to the resident size.
TEST_F(FrameMemoryTest, FiveThousandFramesInAChild) {
	if (!std::getenv(kChildVariable))
		GTEST_SKIP() << "runs as the child of ResidentSizeStaysWithinATenthOverFiveThousandFrames";

	// The test level with a particle system in front of the camera and twenty
	// more quads: enough draws a frame that a queue of unflushed frames shows
	// at the test window's size of 64 x 64.
	test::SceneWriter w = test::testLevelScene();
	w.node("emitter").position(0.f, 0.f, -100.f);
	w.userProperty("emitter", "particle=spark");
	for (int i = 0; i < 20; ++i) {
		test::addQuad(w.primitive(0), -100.f + float(i), -100.f, 100.f + float(i), 100.f);
		w.mesh("M_quad" + std::to_string(i)).primitives({2 + i});
	}
	LaunchOptions options;
	options.level = test::writeTestLevel(dir.path(), w);
	options.dataDir = data;
	test::ParticleDescriptionWriter particles;
	ASSERT_TRUE(test::writeFile(data + "/resources/particles/spark.prs", particles.text()));
	setenv("LUMAROLL_NO_AUDIO", "1", 1);

	// The real present of the tests' offscreen window; a clock that runs on
	// 16 ms at each read, so the particles live; no event ever arrives.
	SdlWindow window(SDL_GL_GetCurrentWindow());
	apptest::FakePlatform platform(&window);
	platform.clock.step = 16;

	LevelSession session(platform.app, options);
	testing::internal::CaptureStdout();
	session.start();
	testing::internal::GetCapturedStdout();
	hgr::Node* emitter = session.level().scene()->findNode("emitter");
	ASSERT_TRUE(emitter && emitter->getFirstChild());
	ASSERT_EQ(emitter->getFirstChild()->getClassId(), hgr::Node::NODE_PARTICLESYSTEM);

	long at500 = 0;
	for (int frame = 1; frame <= 5000; ++frame) {
		ASSERT_TRUE(session.frame());
		if (frame == 500)
			at500 = test::residentKb();
	}
	std::printf("resident size: %ld kB at frame 500, %ld kB at frame 5000\n", at500, test::residentKb());
}

TEST(FrameMemory, ResidentSizeStaysWithinATenthOverFiveThousandFrames) {
	char self[PATH_MAX] = {};
	ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
	test::ProcessOptions o;
	o.args = {"--gtest_filter=FrameMemoryTest.FiveThousandFramesInAChild"};
	o.env = {{kChildVariable, "1"}, {"ASAN_OPTIONS", "detect_leaks=0:halt_on_error=1:quarantine_size_mb=0"}};
	const test::ProcessResult child = test::runProcess(self, o);
	ASSERT_EQ(child.exitCode, 0) << child.out << child.err;
	long at500 = 0, at5000 = 0;
	const size_t line = child.out.find("resident size: ");
	ASSERT_NE(line, std::string::npos) << child.out;
	ASSERT_EQ(std::sscanf(child.out.c_str() + line, "resident size: %ld kB at frame 500, %ld kB at frame 5000", &at500,
						  &at5000),
			  2);
	ASSERT_GT(at500, 0);
	EXPECT_LE(double(at5000), double(at500) * 1.1) << at500 << " kB at frame 500, " << at5000 << " kB at 5000";
}

} // namespace
