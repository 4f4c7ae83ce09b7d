#ifndef SUPPORT_FAKESCENELOADER_H
#define SUPPORT_FAKESCENELOADER_H

#include "support/FakeContext.h"
#include "support/SceneWriter.h"

#include <hgr/DefaultResourceManager.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>

namespace test {

/**
 * A writer-made scene loaded without GL: the scene file goes through a
 * temporary file into hgr::Scene with a DefaultResourceManager over a
 * FakeContext. Every shader of the scene is a FakeShader of that context, so
 * its calls land in context->log ("<effect>.setVector TEX0_OFFSET", ...).
 *
 *   test::FakeScene level = test::loadFakeScene(writer);
 *   lumaroll::SceneWorld world(level.scene);
 */
struct FakeScene {
	lang::Ptr<FakeContext> context;
	lang::Ptr<hgr::DefaultResourceManager> resources;
	lang::Ptr<hgr::Scene> scene;
};

/**
 * Loads the writer's scene on context (a new FakeContext when null); the
 * temporary file is removed afterwards. The scene reader's exceptions pass
 * through (lang::Throwable).
 */
FakeScene loadFakeScene(const SceneWriter& writer, FakeContext* context = nullptr);

} // namespace test

#endif
