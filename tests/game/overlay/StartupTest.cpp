// Bringing the overlay up in-process: the ready line, font files that the GUI
// library would stop on, fc-match's answers, icon fonts, the glyphs of the
// installed languages, the title picture, and labels across a language change.
#include "OverlayFixture.h"

#include "files/Paths.h"
#include "overlay/TitleImage.h"
#include "overlay/Translations.h"
#include "support/Files.h"
#include "support/TextureFileWriter.h"

#include <imgui.h>

#include <sys/stat.h>

#include <cstring>
#include <random>

using namespace lumaroll;

namespace {

class OverlayStartupTest : public overlaytest::OverlayTest {
protected:
	// A font file of the given bytes in the temporary folder.
	std::string file(const std::string& name, const std::string& bytes) {
		const std::string path = dir / name;
		test::writeFile(path, bytes);
		return path;
	}

	// A fake fc-match, first on PATH, that prints answer.
	void fakeFcMatch(const std::string& answer) {
		const std::string bin = dir / "bin";
		test::writeFile(dir / "answer", answer);
		test::writeFile(bin + "/fc-match", "#!/bin/sh\ncat '" + (dir / "answer") + "'\n");
		chmod((bin + "/fc-match").c_str(), 0755);
		const char* path = std::getenv("PATH");
		env.set("PATH", (bin + ":" + (path ? path : "/usr/bin:/bin")).c_str());
		env.set("LUMAROLL_FONT", nullptr);
	}

	// Name of the atlas's text font (its file name), empty for the built-in one.
	static std::string textFontName() {
		const ImFontAtlas* atlas = ImGui::GetIO().Fonts;
		return atlas->ConfigData.empty() ? std::string() : std::string(atlas->ConfigData[0].Name);
	}

	static bool hasGlyph(ImWchar c) {
		const ImFontGlyph* g = ImGui::GetIO().Fonts->Fonts[0]->FindGlyphNoFallback(c);
		return g != nullptr;
	}

	// A frame with the menu open: a font the library cannot use would stop here.
	void menuFrame() {
		overlay.setMenuOpen(true);
		frame();
		overlay.setMenuOpen(false);
	}
};

TEST_F(OverlayStartupTest, ReadyLineTellsDpiFontAndLanguage) {
	struct Case {
		int width, height;
		const char* font;
		float scale;
	} cases[] = {{800, 480, "font 14 px, language ", 0.653f}, {1920, 1080, "font 28 px, language ", 1.275f}};
	for (const Case& c : cases) {
		SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height);
		ASSERT_TRUE(start(c.width, c.height));
		EXPECT_NE(readyLine.find(std::string("port menu: ready (Esc, Back/View/- or a three finger tap), 96 dpi, ") +
								 c.font),
				  std::string::npos)
			<< readyLine;
		EXPECT_TRUE(overlay.up());
		EXPECT_FALSE(overlay.menu().compact());
		EXPECT_NEAR(overlay.menu().scale(), c.scale, 0.001f);
		menuFrame();
		overlay.shutdown();
	}
}

TEST_F(OverlayStartupTest, CompactLayoutAskedForByAnEmptyVariable) {
	env.set("LUMAROLL_MENU_COMPACT", "");
	ASSERT_TRUE(start(800, 480));
	EXPECT_NE(readyLine.find(", font 16 px, compact, language "), std::string::npos) << readyLine;
	EXPECT_TRUE(overlay.menu().compact());
}

TEST_F(OverlayStartupTest, FontFilesTheLibraryCannotReadFallBackToTheBuiltInFont) {
	std::string random(4096, '\0');
	std::mt19937 rng(7);
	for (char& c : random)
		c = char(rng());
	std::string otto = "OTTO" + std::string(400, '\0');
	struct Case {
		const char* name;
		std::string path;
	} cases[] = {
		{"missing file", dir / "missing.ttf"},
		{"random bytes", file("random.ttf", random)},
		{"OTTO and zeros", file("otto.otf", otto)},
		{"a folder", dir.path()},
	};
	for (const Case& c : cases) {
		env.set("LUMAROLL_FONT", c.path.c_str());
		testing::internal::CaptureStderr();
		ASSERT_TRUE(start(800, 480)) << c.name;
		const std::string err = testing::internal::GetCapturedStderr();
		EXPECT_NE(err.find("port menu: cannot use font " + c.path + "\n"), std::string::npos) << c.name << err;
		EXPECT_NE(readyLine.find("font 14 px (no system font), language"), std::string::npos) << c.name << readyLine;
		EXPECT_EQ(textFontName().find("ProggyClean"), 0u) << c.name;
		menuFrame();
		overlay.shutdown();
	}
}

TEST_F(OverlayStartupTest, FcMatchAnswersAreCheckedAndLineEndsStripped) {
	const std::string copy = dir / "picked-by-fc-match.ttf";
	test::writeFile(copy, test::readFile(overlaytest::kDejaVu));
	struct Case {
		const char* name;
		std::string answer;
		std::string font;
	} cases[] = {
		{"a path", copy, "picked-by-fc-match.ttf"},
		{"a path and a line feed", copy + "\n", "picked-by-fc-match.ttf"},
		{"a missing path", dir / "missing.ttf", "DejaVuSans.ttf"},
		{"a file that is no font", file("notafont.ttf", "OTTO" + std::string(64, '\0')), "DejaVuSans.ttf"},
		{"nothing", "", "DejaVuSans.ttf"},
	};
	for (const Case& c : cases) {
		fakeFcMatch(c.answer);
		ASSERT_TRUE(start(800, 480)) << c.name;
		EXPECT_EQ(textFontName(), c.font) << c.name;
		EXPECT_EQ(readyLine.find("(no system font)"), std::string::npos) << c.name;
		menuFrame();
		overlay.shutdown();
	}
}

TEST_F(OverlayStartupTest, IconFontsAreMergedWithEveryIconTheProgramDraws) {
	ASSERT_TRUE(start(800, 480));
	EXPECT_TRUE(overlay.menu().iconsLoaded());
	for (ImWchar icon : {0xF09B, 0xF167, 0xF392, 0xF00C, 0xF030, 0xF05A, 0xF0AA, 0xF11B, 0xF11C, 0xF1F8, 0xF25A, 0xF3CF,
						 0xF7B6, 0xF8CC})
		EXPECT_TRUE(hasGlyph(icon)) << std::hex << icon;
	EXPECT_NEAR(ImGui::GetIO().Fonts->ConfigData[1].GlyphMinAdvanceX, 14.362f, 0.001f) << "icons at the text size";
}

TEST_F(OverlayStartupTest, WithTheBuiltInFontIconsAreMergedAt13Pixels) {
	env.set("LUMAROLL_FONT", "");
	ASSERT_TRUE(start(800, 480));
	EXPECT_NE(readyLine.find("font 14 px (no system font)"), std::string::npos) << readyLine;
	EXPECT_TRUE(overlay.menu().iconsLoaded());
	const ImFontAtlas* atlas = ImGui::GetIO().Fonts;
	ASSERT_EQ(atlas->ConfigData.Size, 3);
	for (int i : {1, 2}) {
		EXPECT_FLOAT_EQ(atlas->ConfigData[i].GlyphMinAdvanceX, 13.f);
		EXPECT_FLOAT_EQ(atlas->ConfigData[i].SizePixels, 0.9f * 13.f);
	}
	EXPECT_FLOAT_EQ(ImGui::GetIO().FontGlobalScale, 1.f);
}

TEST_F(OverlayStartupTest, WithoutTheBrandIconsTheSolidOnesAreNotTried) {
	const std::string assets = dir / "assets";
	test::writeFile(assets + "/fonts/icons-solid.ttf",
					test::readFile(overlaytest::sourceAssets() + "/fonts/icons-solid.ttf"));
	setAssetDirs({assets});
	ASSERT_TRUE(start(800, 480));
	EXPECT_FALSE(overlay.menu().iconsLoaded());
	EXPECT_EQ(ImGui::GetIO().Fonts->ConfigData.Size, 1);
	overlay.notify("no icon", nullptr, 3.5f);
	frame();
}

TEST_F(OverlayStartupTest, CharactersOfEveryInstalledLanguageAreInTheFont) {
	const std::string assets = dir / "assets";
	test::writeFile(assets + "/lang/pl.lang", "language.name = Polski \xC5\x82\n");		 // ł
	test::writeFile(dir / "config/lumaroll/lang/ru.lang", "language.name = \xD0\x96\n"); // Ж
	test::writeFile(assets + "/lang/el.lang", "x = \xCE\xA9 \xE2\x98\x83\n"); // Ω, and a snowman DejaVu lacks
	setAssetDirs({assets, overlaytest::sourceAssets()});
	ASSERT_TRUE(start(800, 480));
	for (ImWchar c : {0x142, 0x416, 0x3A9, 0xE9})
		EXPECT_TRUE(hasGlyph(c)) << std::hex << c;
	EXPECT_FALSE(hasGlyph(0x4E2D)) << "no language uses it";
	menuFrame();
}

TEST_F(OverlayStartupTest, TitlePictureIsHalvedUntilItFits) {
	const std::string assets = dir / "assets";
	makeDirs(assets + "/title");
	setAssetDirs({assets, overlaytest::sourceAssets()});
	struct Case {
		const char* name;
		int width, height;
		int expectedWidth, expectedHeight;
	} cases[] = {{"4000 wide", 4000, 8, 1000, 2}, {"2201 wide", 2201, 4, 1100, 2}, {"1100 wide", 1100, 3, 1100, 3}};
	for (const Case& c : cases) {
		ASSERT_TRUE(
			test::writePng(assets + "/title/title.png", test::TextureImage::solid(c.width, c.height, 9, 99, 199)));
		ASSERT_TRUE(start(800, 480)) << c.name;
		EXPECT_NE(overlay.menu().title().texture(), 0u) << c.name;
		EXPECT_EQ(overlay.menu().title().width(), c.expectedWidth) << c.name;
		EXPECT_EQ(overlay.menu().title().height(), c.expectedHeight) << c.name;
		overlay.shutdown();
		EXPECT_EQ(overlay.menu().title().texture(), 0u) << c.name;
	}
	test::writeFile(assets + "/title/title.png", "not a picture");
	ASSERT_TRUE(start(800, 480));
	EXPECT_EQ(overlay.menu().title().texture(), 0u);
}

TEST(TitleImageTest, EachHalvedPixelRoundsTheMeanOfItsBlock) {
	RgbaImage image;
	image.width = 2202;
	image.height = 2;
	image.pixels.assign(size_t(image.width) * 2 * 4, 0);
	// The first 2 x 2 block: 10, 11, 12, 14 in every channel (mean 11.75 -> 12); the next: 0, 0, 0, 1 (-> 0).
	const unsigned char block[4] = {10, 11, 12, 14};
	for (int k = 0; k < 4; ++k) {
		image.pixels[size_t(k)] = block[0];
		image.pixels[size_t(4 + k)] = block[1];
		image.pixels[size_t(image.width) * 4 + size_t(k)] = block[2];
		image.pixels[size_t(image.width) * 4 + 4 + size_t(k)] = block[3];
	}
	image.pixels[size_t(image.width) * 4 + 12] = 1;
	shrinkTitleImage(image);
	ASSERT_EQ(image.width, 1101);
	ASSERT_EQ(image.height, 1);
	EXPECT_EQ(image.pixels[0], 12);
	EXPECT_EQ(image.pixels[3], 12);
	EXPECT_EQ(image.pixels[4], 0);
}

TEST_F(OverlayStartupTest, LabelsTakenBeforeALanguageChoiceInTheSameFrameStayValid) {
	test::writeFile(dir / "config/lumaroll/lang/de.lang",
					"button.continue = Weiter mit einem langen Text, der auf dem Heap liegt\n");
	test::writeFile(dir / "config/lumaroll/lang/en.lang",
					"button.continue = Continue with a long text that lives on the heap\n");
	ASSERT_TRUE(start(800, 480));
	Translations::instance().setLanguage("en");
	std::string drawn;
	overlay.setContentBody([&drawn]() {
		const char* label = Translations::instance().get("button.continue");
		Translations::instance().setLanguage("de"); // the language row's choice, mid-frame
		ImGui::Button(label);
		drawn = label;
	});
	overlay.setMenuOpen(true);
	frame();
	EXPECT_EQ(drawn, "Continue with a long text that lives on the heap");
	overlay.setContentBody(nullptr);
	frame();
	EXPECT_STREQ(Translations::instance().get("button.continue"),
				 "Weiter mit einem langen Text, der auf dem Heap liegt");
	Translations::instance().setLanguage("en");
}

} // namespace
