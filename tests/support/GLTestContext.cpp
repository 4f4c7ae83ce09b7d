#include "support/GLTestContext.h"

#include <GLES2/gl2.h>
#include <SDL.h>

namespace test {

namespace {

std::string g_error;

} // namespace

GLTestContext* GLTestContext::create() {
	if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
		g_error = SDL_GetError();
		return nullptr;
	}
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
	SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
	SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
	SDL_Window* window = SDL_CreateWindow("gl test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
										  GLTestContext::WIDTH, GLTestContext::HEIGHT,
										  SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
	if (!window) {
		g_error = SDL_GetError();
		return nullptr;
	}
	SDL_GLContext context = SDL_GL_CreateContext(window);
	if (!context || SDL_GL_MakeCurrent(window, context) != 0) {
		g_error = SDL_GetError();
		SDL_DestroyWindow(window);
		return nullptr;
	}
	// The window and context live until the process ends.
	return new GLTestContext;
}

GLTestContext* GLTestContext::get() {
	static GLTestContext* context = create();
	return context;
}

const std::string& GLTestContext::error() {
	return g_error;
}

std::vector<uint8_t> GLTestContext::pixels(int x, int y, int w, int h) {
	std::vector<uint8_t> out(size_t(w) * size_t(h) * 4);
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
	return out;
}

std::vector<uint8_t> GLTestContext::pixel(int x, int y) {
	return pixels(x, y, 1, 1);
}

unsigned GLTestContext::takeErrors() {
	unsigned first = GL_NO_ERROR;
	for (int i = 0; i < 16; ++i) {
		const GLenum e = glGetError();
		if (e == GL_NO_ERROR)
			break;
		if (first == GL_NO_ERROR)
			first = e;
	}
	return first;
}

} // namespace test
