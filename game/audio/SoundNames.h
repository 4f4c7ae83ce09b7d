// How sounds are named: scripts, the ball and the scene's emitters give a file
// name in any letter case, with or without folders; every table of the audio
// engine keys it by the lower-cased file name alone.
#pragma once

#include <string>

namespace lumaroll {

// The key of a sound name: the part after the last '/' or '\\', lower-cased.
// "Sfx/Door.WAV" and "door.wav" both give "door.wav".
std::string soundKey(const std::string& name);

// True when the lower-cased text is longer than the suffix and ends with it
// (".wav" alone is no sound file, "a.wav" is).
bool hasSuffix(const std::string& lowerText, const char* suffix);

// True for a key that names a sound file: it ends in ".wav" or ".mp3" after
// at least one other byte.
bool isSoundFileKey(const std::string& key);

} // namespace lumaroll
