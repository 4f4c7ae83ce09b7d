#ifndef SUPPORT_FRAMEBUFFERTARGET_H
#define SUPPORT_FRAMEBUFFERTARGET_H

#include <GLES2/gl2.h>

#include <vector>

namespace test {

// A framebuffer object with an RGBA texture of width x height, bound (with
// the viewport set to it) while it lives; framebuffer 0 is bound again at
// the end. Needs a current GL context (GLTestContext).
class FramebufferTarget {
public:
	FramebufferTarget(int width, int height);
	~FramebufferTarget();
	FramebufferTarget(const FramebufferTarget&) = delete;
	FramebufferTarget& operator=(const FramebufferTarget&) = delete;

	// Clears the colour to (r, g, b, 1).
	void clear(float r, float g, float b) const;
	// The red, green and blue of the pixel at (x, y), y counted from the top.
	std::vector<int> rgb(int x, int y) const;

	const int width, height;
	GLuint texture = 0, framebuffer = 0;
};

} // namespace test

#endif
