// The language row of the game tab and the welcome page: a combo of the
// automatic choice and every installed language (MenuFiles.h), previewing the
// stored one ("automatic" when it is not installed).
#pragma once

namespace lumaroll {

class MenuContext;

// One row of a settings table. A choice is stored in "general.language",
// saved at once and applied to the translations, so every label from there
// on, in the same frame too, is in the chosen language.
void drawLanguageRow(MenuContext& context);

} // namespace lumaroll
