// Big-endian typed reads from a 4 MB file through io::DataInputStream,
// against the same reads done directly on a buffered stdio FILE and against
// one bulk read of the whole file.
#include <io/DataInputStream.h>
#include <io/FileInputStream.h>

#include "support/Files.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// One record: int, float, short, short, int, float (20 bytes).
const int RECORD_SIZE = 20;
const int FILE_SIZE = 4 * 1024 * 1024 / RECORD_SIZE * RECORD_SIZE;
const int RECORDS = FILE_SIZE / RECORD_SIZE;

const std::string& dataFile() {
	static std::string path;
	if (path.empty()) {
		path = test::tempPath("records.bin");
		std::vector<unsigned char> bytes(FILE_SIZE);
		for (int i = 0; i < FILE_SIZE; ++i)
			bytes[i] = static_cast<unsigned char>(i * 2654435761u >> 13);
		if (!test::writeFile(path, bytes.data(), bytes.size()))
			std::abort();
	}
	return path;
}

inline uint32_t be32(const unsigned char* p) {
	return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

inline float toFloat(uint32_t bits) {
	float v;
	std::memcpy(&v, &bits, 4);
	return v;
}

void BM_DataInputStream(benchmark::State& state) {
	const std::string& path = dataFile();
	for (auto _ : state) {
		io::FileInputStream file(path.c_str());
		io::DataInputStream in(&file);
		int64_t isum = 0;
		float fsum = 0;
		for (int r = 0; r < RECORDS; ++r) {
			isum += in.readInt();
			fsum += in.readFloat();
			isum += in.readShort();
			isum += in.readShort();
			isum += in.readInt();
			fsum += in.readFloat();
		}
		benchmark::DoNotOptimize(isum);
		benchmark::DoNotOptimize(fsum);
	}
	state.SetBytesProcessed(int64_t(state.iterations()) * FILE_SIZE);
}
BENCHMARK(BM_DataInputStream)->Unit(benchmark::kMillisecond);

// The same values read with fread from a buffered FILE, converted by hand.
void BM_StdioTypedReads(benchmark::State& state) {
	const std::string& path = dataFile();
	for (auto _ : state) {
		FILE* f = std::fopen(path.c_str(), "rb");
		int64_t isum = 0;
		float fsum = 0;
		unsigned char b[4];
		for (int r = 0; r < RECORDS; ++r) {
			if (std::fread(b, 1, 4, f) != 4)
				std::abort();
			isum += int32_t(be32(b));
			if (std::fread(b, 1, 4, f) != 4)
				std::abort();
			fsum += toFloat(be32(b));
			if (std::fread(b, 1, 2, f) != 2)
				std::abort();
			isum += int16_t(b[0] << 8 | b[1]);
			if (std::fread(b, 1, 2, f) != 2)
				std::abort();
			isum += int16_t(b[0] << 8 | b[1]);
			if (std::fread(b, 1, 4, f) != 4)
				std::abort();
			isum += int32_t(be32(b));
			if (std::fread(b, 1, 4, f) != 4)
				std::abort();
			fsum += toFloat(be32(b));
		}
		std::fclose(f);
		benchmark::DoNotOptimize(isum);
		benchmark::DoNotOptimize(fsum);
	}
	state.SetBytesProcessed(int64_t(state.iterations()) * FILE_SIZE);
}
BENCHMARK(BM_StdioTypedReads)->Unit(benchmark::kMillisecond);

// The whole file in one fread, then the same values decoded from memory.
void BM_BulkReadAndDecode(benchmark::State& state) {
	const std::string& path = dataFile();
	std::vector<unsigned char> buf(FILE_SIZE);
	for (auto _ : state) {
		FILE* f = std::fopen(path.c_str(), "rb");
		if (std::fread(buf.data(), 1, buf.size(), f) != buf.size())
			std::abort();
		std::fclose(f);
		int64_t isum = 0;
		float fsum = 0;
		for (const unsigned char* p = buf.data(); p < buf.data() + FILE_SIZE; p += RECORD_SIZE) {
			isum += int32_t(be32(p));
			fsum += toFloat(be32(p + 4));
			isum += int16_t(p[8] << 8 | p[9]);
			isum += int16_t(p[10] << 8 | p[11]);
			isum += int32_t(be32(p + 12));
			fsum += toFloat(be32(p + 16));
		}
		benchmark::DoNotOptimize(isum);
		benchmark::DoNotOptimize(fsum);
	}
	state.SetBytesProcessed(int64_t(state.iterations()) * FILE_SIZE);
}
BENCHMARK(BM_BulkReadAndDecode)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
