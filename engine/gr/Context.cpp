#include <gr/Context.h>

namespace gr {

namespace {

const char* const PLATFORM_NAMES[] = {"DirectX", "OpenGL ES", "Playstation Portable", "Software Renderer", "N3D"};
const char* const PLATFORM_SHORT_NAMES[] = {"dx", "egl", "psp", "sw", "n3d"};

} // namespace

void Context::flush() {}

float Context::getAspectRatio() const {
	return float(getWidth()) / float(getHeight());
}

const char* Context::platformName(int id) {
	return unsigned(id) < 5u ? PLATFORM_NAMES[id] : "Unknown platform";
}

const char* Context::platformShortName(int id) {
	return unsigned(id) < 5u ? PLATFORM_SHORT_NAMES[id] : "unknown";
}

const char* Context::getPlatformShortName() const {
	return platformShortName(getPlatform());
}

SceneGuard::SceneGuard(Context* context) : m_context(context) {
	m_context->beginScene();
}

SceneGuard::~SceneGuard() {
	m_context->endScene();
}

} // gr
