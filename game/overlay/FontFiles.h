// The menu's text font: which file to use, and whether its bytes are a font
// the GUI library can use. The library stops the program on a font it cannot
// read (a missing file, random bytes, a file that passes its first check but
// not the second), so every file is read and checked here before it is added.
#pragma once

#include <string>
#include <vector>

namespace lumaroll {

struct TextFontChoice {
    std::string path;                 // the chosen file; empty for the library's built-in font
    std::vector<unsigned char> bytes; // its content; empty when it is no usable font
    bool fromEnvironment = false;     // named by LUMAROLL_FONT (no other file is tried then)
};

// LUMAROLL_FONT when set (an empty value means no file: the built-in font);
// else the system's sans-serif font as fc-match names it, when it is a usable
// font; else the first usable of the well-known DejaVu and Noto files; else
// none. Only a LUMAROLL_FONT file can be chosen with empty bytes.
TextFontChoice chooseTextFont();

// The file of fc-match's answer for a regular sans-serif font, without line
// ends; empty when fc-match is missing or says nothing.
std::string systemSansFont();

// True when bytes hold a TrueType or OpenType font the GUI library can open.
bool isUsableFont(const std::vector<unsigned char>& bytes);

// The whole file when it is a regular file that holds a usable font; empty
// otherwise (a named pipe is never waited for).
std::vector<unsigned char> readUsableFont(const std::string& path);

} // namespace lumaroll
