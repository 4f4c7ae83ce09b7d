#ifndef LANG_THROWABLE_H
#define LANG_THROWABLE_H

#include <lang/Format.h>

namespace lang {

/**
 * Base of every engine exception: carries one formatted message and nothing
 * else. Thrown and caught by value. Constructing one writes
 * "Created Throwable( \"<message>\" )" to the debug log (standard output);
 * copying it writes nothing.
 */
class Throwable {
public:
	/** An empty message. */
	Throwable();
	/** Copies the message and logs it. Throws lang::FormatException when the message's format is bad. */
	explicit Throwable(const Format& message);

	const Format& getMessage() const { return m_message; }

private:
	Format m_message;
};

} // namespace lang

#endif
