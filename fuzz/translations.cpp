// Language and index files of any content: parsing keeps every key trimmed
// and never crashes, and every value formats safely with the values a caller
// passes.
#include "overlay/SafeFormat.h"
#include "overlay/Translations.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
	const std::string text(reinterpret_cast<const char*>(data), size);
	lumaroll::TranslationTable table;
	lumaroll::parseLanguageText(text, table);
	for (const auto& entry : table) {
		if (lumaroll::trim(entry.first) != entry.first)
			__builtin_trap(); // keys are stored trimmed
		const std::string out = lumaroll::formatText(entry.second, {"v1.2.3", 42});
		if (out.size() > lumaroll::kMaxFormattedBytes)
			__builtin_trap();
	}
	for (const std::string& code : lumaroll::parseLanguageIndex(text)) {
		if (code.empty() || code[0] == '#' || lumaroll::trim(code) != code)
			__builtin_trap(); // blank lines and comments are skipped, codes trimmed
	}
	return 0;
}
