// Pieces every tab of the port menu is built from: colours, section headers,
// the two-column settings table and its rows, centring. Inside a GUI frame only.
#pragma once

#include <imgui.h>

#include <string>

namespace lumaroll {
namespace menu {

// Section titles; good and bad states (data installed or missing, update
// found or not).
const ImVec4 kAccent(0.95f, 0.35f, 0.30f, 1.0f);
const ImVec4 kGood(0.5f, 0.9f, 0.5f, 1.0f);
const ImVec4 kBad(1.0f, 0.5f, 0.4f, 1.0f);

// The text of a translation key.
const char* tr(const char* key);

// Spacing, the translated title in the accent colour, a separator, spacing.
void sectionHeader(const char* titleKey);

// A settings table of two stretched columns, "label" (0.45) and "value"
// (0.55). When it returns true the caller adds rows and calls
// ImGui::EndTable; on false it draws nothing.
bool beginSettingsTable(const char* id);

// A new row: the label in the first column, then the value cell with the next
// item as wide as the cell.
void row(const char* label);

// Moves the cursor right so that an item of width is centred in the space
// left on the line (not when it does not fit).
void centreNext(float width);

// Text centred on its own line.
void centredText(const std::string& text);

// What the frame report says of a tab or an entry of a list: "selected" or "".
inline const char* selectedText(bool selected)
{
    return selected ? "selected" : "";
}

// Icon glyph, two spaces and text when the icon font is loaded; text alone otherwise.
std::string withIcon(bool iconsLoaded, const char* icon, const std::string& text);

} // namespace menu
} // namespace lumaroll
