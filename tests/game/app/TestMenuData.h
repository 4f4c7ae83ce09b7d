#ifndef TESTS_GAME_APP_TESTMENUDATA_H
#define TESTS_GAME_APP_TESTMENUDATA_H

// The game's menu files for the app and menu tests: the writer in
// tests/support (support/MenuDataWriter.h) under the names these tests use.

#include "support/MenuDataWriter.h"

namespace apptest {

using test::kFontCell;
using test::kFontLineHeight;
using test::kGlyphFirst;
using test::kGlyphLast;
using test::kGlyphWidth;
using test::kSpaceAdvance;
using test::MenuDataOptions;
using test::MenuImage;
using test::menuImage;
using test::menuImages;
using test::writeMenuAtlas;
using test::writeMenuData;
using test::writeMenuFont;

} // namespace apptest

#endif
