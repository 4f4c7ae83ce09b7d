#ifndef BENCH_PROFILE_CALLGRINDCOSTS_H
#define BENCH_PROFILE_CALLGRINDCOSTS_H

// A callgrind profile's instructions by the object (executable or shared
// library) that executed them, and their split between the GL driver and
// the rest, for the frame benchmark.

#include <map>
#include <string>

namespace bench {

// Self instructions per object file of a callgrind output file (the cost
// lines after "calls=" are a call's inclusive cost and are skipped); code in
// no file (generated at run time) counts under "???" or "". Empty when the
// file cannot be read.
std::map<std::string, double> costByObject(const std::string& path);

// Whether an object belongs to the GL driver: Mesa's libraries, LLVM, and
// the shader code LLVM generates at run time (in no file).
bool isDriverObject(const std::string& object);

struct CostSplit {
	double total = 0;	// everything, per frame
	double driver = 0;	// the driver's share
	double program = 0; // the program's own object file
};

// The costs per frame (divided by frames), with program the path of the
// program's own executable.
CostSplit splitCosts(const std::map<std::string, double>& costs, const std::string& program, int frames);

} // namespace bench

#endif
