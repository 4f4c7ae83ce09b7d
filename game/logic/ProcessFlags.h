// What the level logic reads once per process: the environment variables
// LUMAROLL_TRACE and LUMAROLL_ORIGINAL_SECTIONS, and the set of trace keys.
#pragma once

#include <string>

namespace lumaroll {

// Whether LUMAROLL_TRACE was set when first asked (looked up once per process).
bool traceEnabled();

// True the first time key is seen in this process (one process-wide set):
// the trigger runner traces each trigger and action number once per process.
bool firstTraceOfProcess(const std::string& key);

// Whether LUMAROLL_ORIGINAL_SECTIONS was set when first asked (once per
// process): then unlink spares no section.
bool originalSections();

} // namespace lumaroll
