#ifndef LANG_FORMAT_H
#define LANG_FORMAT_H

#include <lang/String.h>
#include <type_traits>

namespace lang {

/**
 * A message: a format text with numbered placeholders and up to ten typed
 * arguments, expanded on demand.
 *
 * Placeholders: "{d}" or "{d,pattern}" with one decimal digit d naming the
 * argument. A backslash makes the next character literal; a "{" that ends the
 * text is written as it is. Text arguments are written as they are. Number
 * patterns: "0" before "." is an integer digit (zero-padded), "0" or "#" after
 * "." a decimal, "x"/"X" hexadecimal of the value wrapped to 32 bits; no pattern
 * means "%g" style.
 */
class Format {
public:
	enum { MAX_ARGS = 10 };

	/** One argument: none, a number or a text. */
	class Arg {
	public:
		enum Type { TYPE_NONE = 0, TYPE_NUMBER = 1, TYPE_TEXT = 2 };

		Arg() : number(0.0), type(TYPE_NONE) {}
		template <class T, class = typename std::enable_if<std::is_arithmetic<T>::value>::type>
		Arg(T value) : number(double(value)), type(TYPE_NUMBER) {}
		Arg(const String& value) : number(0.0), text(value), type(TYPE_TEXT) {}
		Arg(const char* value) : number(0.0), text(value), type(TYPE_TEXT) {}

		double number;
		String text;
		int type;
	};

	/** Null format, no arguments. */
	Format();
	/** A format without arguments. */
	explicit Format(const String& format);
	Format(const String& format, const Arg& a1);
	Format(const String& format, const Arg& a1, const Arg& a2);
	Format(const String& format, const Arg& a1, const Arg& a2, const Arg& a3);
	Format(const String& format, const Arg& a1, const Arg& a2, const Arg& a3, const Arg& a4);
	Format(const String& format, const Arg& a1, const Arg& a2, const Arg& a3, const Arg& a4, const Arg& a5);
	~Format();

	/**
	 * Expands the message into buf: at most size - 1 characters and a zero
	 * (nothing when size <= 0). Returns the length of the whole expansion plus
	 * one, also when it was cut. Throws lang::FormatException on a bad
	 * placeholder.
	 */
	int format(char* buf, int size) const;

	const String& formatText() const { return m_format; }
	int argumentCount() const { return m_count; }
	/** Argument i (0..9); slots from argumentCount() on are of type none. */
	const Arg& argument(int i) const { return m_args[i]; }

private:
	String m_format;
	int m_count;
	Arg m_args[MAX_ARGS];
};

} // namespace lang

#endif
