#include <lang/Throwable.h>
#include <lang/OutOfMemoryException.h>
#include <lang/Debug.h>

namespace lang {

namespace {

void logCreated(const Format& message) {
	char buf[256];
	buf[0] = 0;
	message.format(buf, sizeof(buf));
	debugPrintf("Created Throwable( \"%s\" )\n", buf);
}

} // namespace

Throwable::Throwable() {
	logCreated(m_message);
}

Throwable::Throwable(const Format& message) : m_message(message) {
	logCreated(m_message);
}

OutOfMemoryException::OutOfMemoryException() {}

} // namespace lang
