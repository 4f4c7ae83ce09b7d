// Trace lines of the level logic, printed only when LUMAROLL_TRACE is set.
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
