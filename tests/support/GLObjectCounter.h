#ifndef SUPPORT_GLOBJECTCOUNTER_H
#define SUPPORT_GLOBJECTCOUNTER_H

// Counts the GL objects the engine and the game make and delete through
// gr::gl while it lives: buffers, textures, framebuffers, renderbuffers,
// shaders and programs. Every other call goes straight on to the table that
// was in place before. One counter at a time; it never allocates, so it may
// watch code whose allocations are counted.

#include <gr/gles2/GLES2_Dispatch.h>

namespace test {

class GLObjectCounter {
public:
	enum Kind { Buffer, Texture, Framebuffer, Renderbuffer, Shader, Program, KindCount };

	GLObjectCounter();
	~GLObjectCounter();
	GLObjectCounter(const GLObjectCounter&) = delete;
	GLObjectCounter& operator=(const GLObjectCounter&) = delete;

	// Names of one kind handed out (non-zero) since the counter was made.
	long created(Kind kind) const;
	// Non-zero names of one kind passed to a delete call since then.
	long deleted(Kind kind) const;
	// Created minus deleted, over every kind.
	long live() const;

	static const char* kindName(Kind kind);

private:
	gr::GLES2_Dispatch saved;
};

} // namespace test

#endif
