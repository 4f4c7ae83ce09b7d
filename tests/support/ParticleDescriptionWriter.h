#ifndef SUPPORT_PARTICLEDESCRIPTIONWRITER_H
#define SUPPORT_PARTICLEDESCRIPTIONWRITER_H

#include "support/TempDir.h"

#include <string>
#include <vector>

namespace test {

// Builds particle description text: every key of the format in its reading
// order with a valid value, changed one key at a time (new value, left out,
// written in another letter case), and writes it into a throw-away folder
// (a TempDir) that the destructor removes with everything in it.
//
// The default describes a system that launches one emission per second
// (at most 4, never stopping, never dying), each emitting 4 white particles
// per second (at most 16) that live 2 seconds, start at the emission's
// pivot, move up at 1 unit per second, keep size 1 and fade from alpha 1
// to 0; one texture frame, camera-facing, no texture or shader names.
class ParticleDescriptionWriter {
public:
	ParticleDescriptionWriter();
	ParticleDescriptionWriter(const ParticleDescriptionWriter&) = delete;
	ParticleDescriptionWriter& operator=(const ParticleDescriptionWriter&) = delete;

	// Every key in the order the reader asks for it, spelled in mixed case.
	static const std::vector<std::string>& keys();

	// Sets the value of key (a key of keys(), any case); another key is appended.
	ParticleDescriptionWriter& set(const std::string& key, const std::string& value);
	// Leaves key out of the text.
	ParticleDescriptionWriter& omit(const std::string& key);
	// Writes key spelled as spelling (the same letters in another case).
	ParticleDescriptionWriter& spell(const std::string& key, const std::string& spelling);

	// The current value of key ("" when unknown).
	std::string value(const std::string& key) const;

	// "key = value" lines, one per key, newline-terminated.
	std::string text() const;

	// The folder, ending with '/'.
	const std::string& dir() const { return m_dir; }
	// Writes text() to fileName inside the folder and returns the full path.
	// Fails the current test when the file cannot be written.
	std::string write(const std::string& fileName) const;
	// Writes any text to fileName inside the folder and returns the full path.
	std::string writeRaw(const std::string& fileName, const std::string& text) const;

private:
	struct Entry {
		std::string key; // as written
		std::string value;
		bool omitted;
	};
	std::vector<Entry> m_entries;
	TempDir m_root;
	std::string m_dir;

	Entry* find(const std::string& key);
	const Entry* find(const std::string& key) const;
};

} // namespace test

#endif
