#ifndef TESTS_GAME_OVERLAY_MENUFIXTURE_H
#define TESTS_GAME_OVERLAY_MENUFIXTURE_H

// The menu open on the offscreen test window, driven like a user would: clicks,
// drags and wheel steps on the items the menu names in its frame report
// (settings keys for bound widgets, "tab.<id>", "<key>=<value>" for the
// entries of an open combo). The settings store starts empty and config.ini
// lives in the fixture's configuration folder.

#include "OverlayFixture.h"

#include "files/Paths.h"
#include "overlay/Translations.h"
#include "store/Settings.h"
#include "support/Files.h"
#include "support/PlatformFakes.h"

#include <gtest/gtest.h>
#include <imgui.h>

#include <string>

namespace overlaytest {

class MenuTest : public OverlayTest {
protected:
	void SetUp() override {
		OverlayTest::SetUp();
		if (IsSkipped())
			return;
		env.set("XDG_DATA_HOME", (dir / "data").c_str());
		clearSettings();
	}

	void TearDown() override {
		OverlayTest::TearDown();
		clearSettings();
		lumaroll::Translations::instance().setLanguage("en");
		lumaroll::Translations::instance().releaseReplaced();
	}

	// The process-wide store emptied (tests share it).
	static void clearSettings() { lumaroll::Settings::instance().clear(); }

	// Brings the overlay up with the menu open and draws its first frames.
	void openMenu(int width = 800, int height = 480) {
		ASSERT_TRUE(start(width, height));
		watchFrames();
		overlay.setMenuOpen(true);
		frames(2);
	}

	void frames(int n) {
		for (int i = 0; i < n; ++i)
			frame();
	}

	// The named item of the last frame; fails the test when it was not drawn.
	lumaroll::FrameReport::Item shown(const std::string& name) {
		const lumaroll::FrameReport::Item* found = last.find(name);
		EXPECT_NE(found, nullptr) << name << " was not drawn";
		return found ? *found : lumaroll::FrameReport::Item{};
	}
	bool drawn(const std::string& name) const { return last.find(name) != nullptr; }

	static int centreX(const lumaroll::FrameReport::Item& i) { return int(i.x + i.width / 2); }
	static int centreY(const lumaroll::FrameReport::Item& i) { return int(i.y + i.height / 2); }

	// A left click at (x, y) and the frames the GUI needs to act on it. The
	// pointer rests there for a frame first, as a hand's would: a tab takes a
	// click only when it was hovered in the frame before.
	void clickAt(int x, int y) {
		feed({test::mouseMotion(x, y)});
		frame();
		feed({test::mouseButton(true, x, y), test::mouseButton(false, x, y)});
		frames(4);
	}
	// Scrolls the content until the named item lies inside its visible area.
	void reveal(const std::string& name) {
		const lumaroll::FrameReport::Item i = shown(name);
		const lumaroll::ContentScroll::Area area = overlay.scroll().area();
		const float top = area.y, bottom = top + area.height;
		if (i.y >= top && i.y + i.height <= bottom)
			return;
		if (i.y + i.height <= top - 40.f || i.y >= bottom + 400.f)
			return; // not in the content (the tabs, the footer, an open list)
		overlay.scroll().scrollBy(i.y + i.height > bottom ? i.y + i.height - bottom + 4.f : i.y - top - 4.f);
		frames(2);
	}
	// A left click in the middle of the named item, scrolled into view first.
	void click(const std::string& name) {
		if (name.find('=') == std::string::npos && name.rfind("button.", 0) != 0)
			reveal(name);
		const lumaroll::FrameReport::Item i = shown(name);
		clickAt(centreX(i), centreY(i));
	}
	// Opens a combo and clicks one of its entries ("<key>=<value>").
	void choose(const std::string& combo, const std::string& entry) {
		click(combo);
		click(entry);
	}
	// Clicks the tab, or, while it lies behind the tab bar's arrows (a narrow
	// window), the arrow that selects the next tab.
	void selectTab(const std::string& id) {
		for (int attempt = 0; attempt < 8 && shown("tab." + id).text != "selected"; ++attempt) {
			const lumaroll::FrameReport::Item tab = shown("tab." + id), w = shown("window");
			const float barRight = w.x + w.width - ImGui::GetStyle().WindowPadding.x;
			if (float(centreX(tab)) < barRight - 2.5f * tab.height)
				clickAt(centreX(tab), centreY(tab));
			else
				clickAt(int(barRight - 4.f), centreY(tab));
		}
		ASSERT_EQ(shown("tab." + id).text, "selected") << id;
	}

	// A left-button drag from (x, y) by (dx, dy) in steps, one frame each.
	void drag(int x, int y, int dx, int dy, int steps = 8) {
		feed({test::mouseMotion(x, y)});
		frame();
		feed({test::mouseButton(true, x, y)});
		frames(2);
		for (int s = 1; s <= steps; ++s) {
			feed({test::mouseMotion(x + dx * s / steps, y + dy * s / steps)});
			frame();
		}
		feed({test::mouseButton(false, x + dx, y + dy)});
		frames(3);
	}

	std::string configPath() const { return lumaroll::configDir() + "/config.ini"; }
	std::string config() const { return test::readFile(configPath()); }

	// Touch screens and controllers for tests that hand them to the overlay
	// (platform.devices) before it starts.
	test::FakeInputDevices devices;
};

} // namespace overlaytest

#endif
