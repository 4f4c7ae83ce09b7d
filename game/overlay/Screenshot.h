// The player's screenshot as files: framebuffer pixels to an RGB image, and
// the PNG written into the pictures folder under a time-stamped name that
// never replaces an earlier picture.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace lumaroll {

// width x height RGBA pixels read from GL (bottom row first) as RGB pixels,
// top row first.
std::vector<unsigned char> framebufferToRgb(const std::vector<unsigned char>& rgba, int width, int height);

struct ScreenshotFile {
    std::string path; // the file written, or the name that could not be written
    bool written = false;
};

// Encodes the RGB image as an 8-bit RGB PNG and writes it into dir (created
// with its parents) as "lumaroll-YYYYmmdd-HHMMSS.png" of the local time when;
// when that name is taken, "-2", "-3", ... is added before ".png". Nothing is
// left behind on failure.
ScreenshotFile writeScreenshotPng(const std::vector<unsigned char>& rgb, int width, int height,
                                  const std::string& dir, std::time_t when);

} // namespace lumaroll
