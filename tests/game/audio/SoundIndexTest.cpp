// The sound file index: names in any case anywhere in the data folder, six
// folder levels deep, links followed without walking a tree twice.
#include "AudioFixture.h"

#include <unistd.h>

using namespace audiotest;

namespace {

TEST_F(AudioTest, IndexFindsSoundFilesByLowerCasedName) {
	const std::vector<double> tiny = constant(10, 1, 1);
	stereo("a/b/c/d/e/f/X.WAV", tiny);	 // six folders down
	stereo("a/b/c/d/e/f/g/Y.wav", tiny); // seven: not read
	stereo(".wav", tiny);				 // no name before the extension
	stereo("a.wav", tiny);
	stereo("x.wave", tiny);
	stereo("x.mp3x", tiny);
	stereo("Music/Theme.Mp3", tiny);
	stereo("A/Door.wav", tiny); // the same name twice: "A" comes first in byte order
	stereo("b/door.WAV", tiny);
	stereo("same/DOOR2.wav", tiny); // and within a folder, "DOOR2" before "door2"
	stereo("same/door2.wav", tiny);
	// A linked folder outside the data folder is walked; a link back up is not walked again.
	lumaroll::makeDirs(dir / "elsewhere");
	ASSERT_TRUE(WavWriter(44100, 1).samples({1, 2}).write(dir / "elsewhere/L.MP3"));
	ASSERT_EQ(symlink((dir / "elsewhere").c_str(), (data() + "/linked").c_str()), 0);
	lumaroll::makeDirs(data() + "/loop");
	for (const char* name : {"up", "up2", "up3"})
		ASSERT_EQ(symlink("..", (data() + "/loop/" + name).c_str()), 0);

	auto audio = start();
	const lumaroll::SoundIndex expected = {
		{"a.wav", data() + "/a.wav"},
		{"door.wav", data() + "/A/Door.wav"},
		{"door2.wav", data() + "/same/DOOR2.wav"},
		{"l.mp3", data() + "/linked/L.MP3"},
		{"theme.mp3", data() + "/Music/Theme.Mp3"},
		{"x.wav", data() + "/a/b/c/d/e/f/X.WAV"},
	};
	EXPECT_EQ(audio->fileIndex(), expected);
	EXPECT_EQ(startOut, "audio: 6 sound and music files indexed\n");
	EXPECT_TRUE(audio->getClip("X.wav"));
	EXPECT_TRUE(audio->getClip("DOOR.WAV"));
}

TEST_F(AudioTest, LinksBackUpTheTreeEndTheWalk) {
	// Every folder holding links to its parent and to the top: walked by
	// path, this tree would be read about 4^6 times over.
	std::string folder = data();
	for (int depth = 0; depth < 6; ++depth) {
		stereo(folder.substr(data().size()) + "/s" + std::to_string(depth) + ".wav", constant(4, 1, 1));
		for (const std::string& link : {std::string("p1"), std::string("p2")})
			ASSERT_EQ(symlink("..", (folder + "/" + link).c_str()), 0);
		ASSERT_EQ(symlink(data().c_str(), (folder + "/top").c_str()), 0);
		folder += "/n";
	}
	auto audio = start();
	ASSERT_EQ(audio->fileIndex().size(), 6u);
	EXPECT_EQ(audio->fileIndex().at("s5.wav"), data() + "/n/n/n/n/n/s5.wav");
}

} // namespace
