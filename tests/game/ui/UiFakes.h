#ifndef TESTS_GAME_UI_UIFAKES_H
#define TESTS_GAME_UI_UIFAKES_H

// Stand-ins for what the HUD and the in-game menu draw on and read: a canvas
// that records its drawing calls (and loads atlases and fonts without GL,
// decoding their textures only to trim the glyphs) and a world whose
// variables are a map.

#include "logic/World.h"
#include "ui/UiCanvas.h"

#include <gr/ImageFile.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace uitest {

class RecordingCanvas : public lumaroll::UiCanvas {
public:
	struct Image {
		std::string atlas, image;
		float x, y, alpha, scale;
	};
	struct Text {
		std::string font, text;
		int hAlign, vAlign;
		float x, y, alpha;
	};

	std::vector<Image> images;
	std::vector<Text> texts;

	void drawImage(const std::string& atlas, const std::string& image, float x, float y, float alpha,
				   float scale) override {
		images.push_back({atlas, image, x, y, alpha, scale});
	}
	void drawText(const std::string& font, const std::string& text, int hAlign, int vAlign, float x, float y,
				  float alpha) override {
		texts.push_back({font, text, hAlign, vAlign, x, y, alpha});
	}
	void clear() {
		images.clear();
		texts.clear();
	}
	// The recorded call of that image or text; null when there is none.
	const Image* image(const std::string& name) const {
		for (const Image& i : images)
			if (i.image == name)
				return &i;
		return nullptr;
	}
	const Text* text(const std::string& value) const {
		for (const Text& t : texts)
			if (t.text == value)
				return &t;
		return nullptr;
	}
	// What was drawn, one name or text a line, for failure messages.
	std::string drawn() const {
		std::string out;
		for (const Image& i : images)
			out += i.atlas + "/" + i.image + "\n";
		for (const Text& t : texts)
			out += t.font + ": " + t.text + "\n";
		return out;
	}

	int texturesLoaded = 0;

protected:
	unsigned loadTexture(const std::string& path, int& width, int& height, std::vector<uint8_t>* pixels) override {
		lumaroll::ImageData image;
		if (!lumaroll::loadImageFile(path, image))
			return 0;
		width = image.levels[0].width;
		height = image.levels[0].height;
		if (pixels)
			*pixels = image.levels[0].pixels;
		return unsigned(++texturesLoaded);
	}
	void releaseTexture(unsigned) override {}
};

class FakeWorld : public lumaroll::World {
public:
	std::map<std::string, float> variables;

	float getVariable(const std::string& name) override {
		auto it = variables.find(name);
		return it == variables.end() ? 0.f : it->second;
	}
	void setVariable(const std::string& name, float value) override { variables[name] = value; }
	void setPersistentVariable(const std::string& name, float value) override { variables[name] = value; }
	void setTriggerEnabled(const std::string&, bool) override {}
	void activateTrigger(const std::string&) override {}
	void link(const std::string&, const std::vector<std::string>&) override {}
	void unlink(const std::vector<std::string>&) override {}
	int playAnimation(const std::string&, const std::string&, bool, float, float) override { return 0; }
	bool isAnimationDone(int) override { return true; }
	int startTransform(lumaroll::TransformKind, const std::string&, const std::string&, float, float, float,
					   float) override {
		return 0;
	}
	bool isTransformDone(int) override { return true; }
	void setFade(int, float) override {}
	bool isKeyPressed(const std::string&) override { return false; }
	bool runCommand(const std::string&, const std::vector<std::string>&) override { return false; }
};

} // namespace uitest

#endif
