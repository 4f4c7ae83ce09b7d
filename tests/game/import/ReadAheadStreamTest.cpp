// Reading the data archive ahead on a helper thread: the caller gets the
// source's bytes in order whatever the sizes it asks for, copied or in place,
// the source's failure once its bytes run out, and can stop at any point.
#include <gtest/gtest.h>

#include <string>

#include "import/ReadAheadStream.h"

namespace {

char patternByte(size_t at) {
	return static_cast<char>((at * 7 + at / 4099) & 0xff);
}

// size bytes of a pattern; when failing, stops there with a failure message.
class PatternStream : public lumaroll::ArchiveStream {
public:
	PatternStream(size_t size, bool failing) : size(size), failing(failing) {}
	size_t read(char* out, size_t n) override {
		size_t done = 0;
		for (; done < n && at < size; ++done, ++at)
			out[done] = patternByte(at);
		if (done < n && failing)
			failure = "corrupted compressed data";
		return done;
	}

private:
	size_t size, at = 0;
	bool failing;
};

TEST(ReadAheadStream, HandsOnTheSourceBytesInOrderAndItsFailure) {
	const struct {
		const char* name;
		size_t size;
		bool failing;
	} cases[] = {
		{"empty source", 0, false},
		{"several chunks and a part", (3 << 20) + 123, false},
		{"exactly whole chunks", 2 << 20, false},
		{"source failing after some chunks", (1 << 20) + 5, true},
	};
	for (const auto& c : cases) {
		PatternStream source(c.size, c.failing);
		lumaroll::ReadAheadStream ahead(source);
		std::string got, piece(700001, '\0');
		// Copies of pieces smaller and larger than the read-ahead chunks, in
		// turn with bytes handed out in place.
		for (bool copy = true;; copy = !copy) {
			if (copy) {
				const size_t n = ahead.read(&piece[0], piece.size());
				got.append(piece, 0, n);
				if (n < piece.size())
					break;
			} else {
				const char* at = nullptr;
				const size_t n = ahead.readInPlace(at, 1000);
				if (n == 0)
					break;
				got.append(at, n);
			}
		}
		ASSERT_EQ(got.size(), c.size) << c.name;
		size_t wrong = 0;
		for (size_t i = 0; i < got.size(); ++i)
			wrong += got[i] != patternByte(i);
		EXPECT_EQ(wrong, 0u) << c.name;
		EXPECT_EQ(ahead.read(&piece[0], 10), 0u) << c.name;
		EXPECT_EQ(ahead.error(), c.failing ? "corrupted compressed data" : "") << c.name;
	}
}

TEST(ReadAheadStream, StopsWhenLeftBeforeTheEnd) {
	// The helper is filling chunks, or waiting for a free one, when the
	// stream goes away: destruction stops it and returns.
	PatternStream source(64 << 20, false);
	{
		lumaroll::ReadAheadStream ahead(source);
		char first[10];
		ASSERT_EQ(ahead.read(first, sizeof first), sizeof first);
		EXPECT_EQ(first[9], patternByte(9));
	}
}

} // namespace
