#ifndef SUPPORT_DRAWPASSES_H
#define SUPPORT_DRAWPASSES_H

#include <gr/Primitive.h>
#include <gr/Shader.h>

namespace test {

// Draws primitive once in every pass of shader, as a render pass does;
// returns the pass count. Inline, so that a benchmark's measured function
// holds the whole draw.
inline int drawPasses(gr::Shader* shader, gr::Primitive* primitive) {
	const int passes = shader->begin();
	for (int i = 0; i < passes; ++i) {
		shader->beginPass(i);
		primitive->render();
		shader->endPass();
	}
	shader->end();
	return passes;
}

} // namespace test

#endif
