#ifndef SUPPORT_GLWINDOW_H
#define SUPPORT_GLWINDOW_H

// A hidden window of a chosen drawable size on which the shared GL test
// context (GLTestContext) draws while the GLWindow lives; the test window is
// current again after it. For code that sizes itself by its window.

#include <SDL.h>

#include <string>

namespace test {

class GLWindow {
public:
	GLWindow(int width, int height);
	~GLWindow();
	GLWindow(const GLWindow&) = delete;
	GLWindow& operator=(const GLWindow&) = delete;

	// False when the window could not be made or made current (see error()).
	bool ok() const { return m_window != nullptr; }
	const std::string& error() const { return m_error; }
	SDL_Window* window() const { return m_window; }
	SDL_GLContext context() const { return m_context; }

private:
	SDL_Window* m_window = nullptr;
	SDL_Window* m_previous = nullptr;
	SDL_GLContext m_context = nullptr;
	std::string m_error;
};

} // namespace test

#endif
