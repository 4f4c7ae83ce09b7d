#ifndef LANG_STRING_H
#define LANG_STRING_H

namespace lang {

class Format;
class Converter;

/**
 * Immutable text held as one int handle into the process-wide string pool.
 * Copies share the pooled block (a count increment). The null string (handle
 * -1) reads as "" everywhere, and no operation ever makes a block holding an
 * empty text: empty results are the null string. Main thread only.
 */
class String {
public:
	/** The null string. */
	String() : m_h(-1) {}
	/** A copy of text; null or "" give the null string. Throws lang::OutOfMemoryException when the pool cannot grow. */
	String(const char* text);
	/** The expanded message. Throws lang::FormatException on a bad placeholder. */
	String(const Format& message);
	/**
	 * count bytes decoded with from and stored as UTF-8; bytes that do not
	 * decode and code points above 0x1FFFFF are dropped. Null when nothing is left.
	 */
	String(const char* bytes, int count, Converter& from);
	String(const String& other);
	String(String&& other) noexcept : m_h(other.m_h) { other.m_h = -1; }
	~String();

	String& operator=(const String& other);
	String& operator=(String&& other) noexcept;

	/** Length in bytes (0 for null). */
	int length() const;
	/** Byte i as 0..255; i must lie within the text. */
	int charAt(int i) const;
	/** Copies bytes [begin, end) to dst without a terminator (nothing when begin >= end). */
	void getChars(int begin, int end, char* dst) const;
	/** Copies at most size - 1 bytes and a zero; size must be at least 1. */
	void copyTo(char* dst, int size) const;

	/**
	 * A zero-terminated copy in a rotating scratch ring. The results of the
	 * last C_STR_RECENT calls stay valid at once, whatever their lengths
	 * (shorter texts survive longer); copy the text before relying on it any
	 * further. Texts longer than C_STR_MAX_LENGTH come back cut to it.
	 */
	const char* c_str() const;
	enum { C_STR_MAX_LENGTH = 1999, C_STR_RECENT = 4 };

	/** True when prefix is null or the text begins with it. */
	bool startsWith(const String& prefix) const;
	/** h = 31 * h + signed byte over the text, 32-bit wrap-around; 0 for null. */
	int hashCode() const;
	/** First index >= start holding c, or -1. */
	int indexOf(char c, int start = 0) const;
	/** Bytes [start, end); 0 <= start <= end <= length. Null when start >= end. */
	String substring(int start, int end) const;
	/** Bytes from start on; null when start >= length. */
	String substring(int start) const;
	/** Letters a..z upper-cased, every other byte unchanged. */
	String toUpperCase() const;
	/** strcmp order, null reading as "". */
	int compareTo(const String& other) const;
	int compareTo(const char* text) const;

	String operator+(const char* text) const;
	String operator+(const String& other) const;

	/** Bounded copy: at most size - 1 bytes and a zero. Returns true when the whole text fitted. */
	bool getBytes(char* dst, int size) const;
	/** Bounded copy of text into dst (size >= 1). Returns true when all of it fitted. */
	static bool cpy(char* dst, int size, const char* text);
	/** Appends text to the zero-terminated dst while the total stays below size. Returns true when all of it fitted. */
	static bool cat(char* dst, int size, const char* text);

	/** True for the null string. */
	bool isNull() const { return m_h < 0; }
	/** The pool handle, -1 for null. */
	int handle() const { return m_h; }

private:
	int m_h;

	/** Pointer to the pooled text, or "" for null; stale after any pool allocation. */
	const char* text() const;
	/** Takes a fresh block of n + 1 bytes (n > 0) and returns its handle. */
	static int allocateBlock(int n);
	static String adopt(int handle);
	void release();
};

} // namespace lang

#endif
