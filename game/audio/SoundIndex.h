// The sound file index: every .wav and .mp3 file below the data folder under
// its lower-cased file name, so that a sound can be found by name alone.
#pragma once

#include <map>
#include <string>

namespace lumaroll {

// Lower-cased file name (no folders) -> path as found on disk (folder, "/", name).
using SoundIndex = std::map<std::string, std::string>;

// How many folder levels the walk reads: the top folder and five below it,
// so files six folders down are found and seven down are not.
constexpr int kSoundIndexDepth = 7;

// Adds the sound files below folder to index. Symbolic links are followed,
// but every folder (device and inode) is read once, so links back up the
// tree end instead of re-reading it. The entries of each folder are taken in
// byte order of their names, and the first file met under a name keeps it:
// of "A/Door.wav" and "B/door.WAV" the one in "A" is indexed. Folders and
// files that cannot be read are skipped silently.
void indexDirectory(const std::string& folder, SoundIndex& index);

} // namespace lumaroll
