#include "support/GLWindow.h"

#include "support/GLTestContext.h"

namespace test {

GLWindow::GLWindow(int width, int height) {
	if (!GLTestContext::get()) {
		m_error = GLTestContext::error();
		return;
	}
	m_previous = SDL_GL_GetCurrentWindow();
	m_context = SDL_GL_GetCurrentContext();
	m_window = SDL_CreateWindow("gl test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
								SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
	if (!m_window) {
		m_error = SDL_GetError();
		return;
	}
	if (SDL_GL_MakeCurrent(m_window, m_context) != 0) {
		m_error = SDL_GetError();
		SDL_DestroyWindow(m_window);
		m_window = nullptr;
	}
}

GLWindow::~GLWindow() {
	if (!m_window)
		return;
	SDL_GL_MakeCurrent(m_previous, m_context);
	SDL_DestroyWindow(m_window);
}

} // namespace test
