#include "support/GLObjectCounter.h"

namespace test {

namespace {

long g_created[GLObjectCounter::KindCount];
long g_deleted[GLObjectCounter::KindCount];
gr::GLES2_Dispatch g_next; // where the wrappers forward to

void countNames(long* counts, GLObjectCounter::Kind kind, GLsizei n, const GLuint* names) {
	for (GLsizei i = 0; names && i < n; ++i)
		if (names[i] != 0)
			++counts[kind];
}

} // namespace

// Each wrapper forwards, then counts the names it handed out or took back.
#define COUNTER_GEN(fn, kind) \
	gr::gl.fn = [](GLsizei n, GLuint* names) { \
		g_next.fn(n, names); \
		countNames(g_created, kind, n, names); \
	};
#define COUNTER_DELETE(fn, kind) \
	gr::gl.fn = [](GLsizei n, const GLuint* names) { \
		countNames(g_deleted, kind, n, names); \
		g_next.fn(n, names); \
	};

GLObjectCounter::GLObjectCounter() : saved(gr::gl) {
	g_next = gr::gl;
	for (int k = 0; k < KindCount; ++k)
		g_created[k] = g_deleted[k] = 0;
	COUNTER_GEN(GenBuffers, Buffer)
	COUNTER_GEN(GenTextures, Texture)
	COUNTER_GEN(GenFramebuffers, Framebuffer)
	COUNTER_GEN(GenRenderbuffers, Renderbuffer)
	COUNTER_DELETE(DeleteBuffers, Buffer)
	COUNTER_DELETE(DeleteTextures, Texture)
	COUNTER_DELETE(DeleteFramebuffers, Framebuffer)
	COUNTER_DELETE(DeleteRenderbuffers, Renderbuffer)
	gr::gl.CreateShader = [](GLenum type) {
		const GLuint name = g_next.CreateShader(type);
		if (name != 0)
			++g_created[Shader];
		return name;
	};
	gr::gl.CreateProgram = []() {
		const GLuint name = g_next.CreateProgram();
		if (name != 0)
			++g_created[Program];
		return name;
	};
	gr::gl.DeleteShader = [](GLuint name) {
		if (name != 0)
			++g_deleted[Shader];
		g_next.DeleteShader(name);
	};
	gr::gl.DeleteProgram = [](GLuint name) {
		if (name != 0)
			++g_deleted[Program];
		g_next.DeleteProgram(name);
	};
}

#undef COUNTER_GEN
#undef COUNTER_DELETE

GLObjectCounter::~GLObjectCounter() {
	gr::gl = saved;
}

long GLObjectCounter::created(Kind kind) const {
	return g_created[kind];
}

long GLObjectCounter::deleted(Kind kind) const {
	return g_deleted[kind];
}

long GLObjectCounter::live() const {
	long n = 0;
	for (int k = 0; k < KindCount; ++k)
		n += g_created[k] - g_deleted[k];
	return n;
}

const char* GLObjectCounter::kindName(Kind kind) {
	static const char* const names[KindCount] = {"buffers",		  "textures", "framebuffers",
												 "renderbuffers", "shaders",  "programs"};
	return names[kind];
}

} // namespace test
