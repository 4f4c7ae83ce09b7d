#include "support/FramebufferTarget.h"

#include "support/GLTestContext.h"

namespace test {

FramebufferTarget::FramebufferTarget(int width, int height) : width(width), height(height) {
	glGenTextures(1, &texture);
	glBindTexture(GL_TEXTURE_2D, texture);
	glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
	glGenFramebuffers(1, &framebuffer);
	glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
	glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
	glViewport(0, 0, width, height);
}

FramebufferTarget::~FramebufferTarget() {
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	glDeleteFramebuffers(1, &framebuffer);
	glDeleteTextures(1, &texture);
}

void FramebufferTarget::clear(float r, float g, float b) const {
	glClearColor(r, g, b, 1.f);
	glClear(GL_COLOR_BUFFER_BIT);
}

std::vector<int> FramebufferTarget::rgb(int x, int y) const {
	const std::vector<uint8_t> p = GLTestContext::pixel(x, height - 1 - y);
	return {p[0], p[1], p[2]};
}

} // namespace test
