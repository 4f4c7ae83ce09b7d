// Pieces every tab of the port menu is built from: colours, section headers,
// the two-column settings table and its rows (the check boxes and sliders
// bound to a setting among them), centring, the title. Inside a GUI frame
// only.
#pragma once

#include "store/SettingRanges.h"

#include <imgui.h>

#include <string>

namespace lumaroll {

class MenuContext;

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

// Rows bound to a setting: row(label) with a check box or a slider showing
// the value of key, noted under key in the frame report with the value it
// shows (the check box also traced, FrameRecorder::traceItem). The check box
// shows the stored value (fallback when none is stored). The slider spans
// range, the range the setting's reader clamps to, and shows the value in
// force: Settings::getFloat(key, fallback) clamped to range, whatever text is
// stored. Nothing is stored by drawing: each change the user makes is stored
// and saved at once (MenuContext::saveSettings); true when the stored value
// changed this frame. A slider registers its drags with the context's
// SliderDrag, and one whose drag became a scroll gets the value in force
// before the drag back on its next draw (stored, saved, and true then).
bool checkboxRow(MenuContext& context, const char* label, const char* key, bool fallback);
bool sliderRow(MenuContext& context, const char* label, const char* key, const char* format, float fallback,
               const SettingRange& range);

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

// The context's title picture, centred, at most width pixels wide (never
// wider than the space, aspect kept), or "Lumaroll" centred as text at twice
// the font size when there is no picture; noted as "title".
void drawTitle(MenuContext& context, float width);

} // namespace menu
} // namespace lumaroll
