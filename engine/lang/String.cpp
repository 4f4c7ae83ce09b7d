#include <lang/String.h>
#include <lang/StringPool.h>
#include <lang/OutOfMemoryException.h>
#include <cstring>

namespace lang {

namespace {

inline MemoryPool& pool() { return StringPool::get().pool; }

} // namespace

const char* String::text() const {
	return m_h < 0 ? "" : pool().get(m_h);
}

int String::allocateBlock(int n) {
	if (n <= 0 || n >= 0x7fffffff)
		throw OutOfMemoryException();
	return pool().allocate(n + 1);
}

String String::adopt(int handle) {
	String s;
	s.m_h = handle;
	return s;
}

void String::release() {
	if (m_h >= 0) {
		MemoryPool& p = pool();
		if (--p.refCount(m_h) == 0)
			p.free(m_h);
		m_h = -1;
	}
}

String::String(const char* s) : m_h(-1) {
	if (!s || !*s)
		return;
	const size_t n = std::strlen(s);
	if (n >= 0x7fffffff)
		throw OutOfMemoryException();
	const int h = allocateBlock((int)n);
	std::memcpy(pool().get(h), s, n + 1);
	m_h = h;
}

String::String(const String& other) : m_h(other.m_h) {
	if (m_h >= 0)
		++pool().refCount(m_h);
}

String::~String() {
	release();
}

String& String::operator=(const String& other) {
	const int h = other.m_h;
	if (h >= 0)
		++pool().refCount(h);
	release();
	m_h = h;
	return *this;
}

String& String::operator=(String&& other) noexcept {
	if (this != &other) {
		const int h = other.m_h;
		other.m_h = -1;
		release();
		m_h = h;
	}
	return *this;
}

int String::length() const {
	return m_h < 0 ? 0 : (int)std::strlen(pool().get(m_h));
}

int String::charAt(int i) const {
	return (unsigned char)text()[i];
}

void String::getChars(int begin, int end, char* dst) const {
	if (begin < end)
		std::memcpy(dst, text() + begin, (size_t)(end - begin));
}

void String::copyTo(char* dst, int size) const {
	if (size < 1)
		return;
	const char* s = text();
	int n = (int)strnlen(s, (size_t)size - 1);
	std::memcpy(dst, s, (size_t)n);
	dst[n] = 0;
}

const char* String::c_str() const {
	StringPool& sp = StringPool::get();
	const char* s = text();
	const int n = (int)strnlen(s, C_STR_MAX_LENGTH);
	int start = sp.ringPos;
	if (sp.ringPos + n > StringPool::RING_SIZE - 1) {
		start = 0;
		sp.ringPos = n + 1;
	} else {
		sp.ringPos += n + 1;
	}
	char* dst = sp.ring + start;
	std::memcpy(dst, s, (size_t)n);
	dst[n] = 0;
	return dst;
}

bool String::startsWith(const String& prefix) const {
	if (prefix.m_h < 0)
		return true;
	const char* s = text();
	const char* p = prefix.text();
	while (*p) {
		if (*s != *p)
			return false;
		++s;
		++p;
	}
	return true;
}

int String::hashCode() const {
	if (m_h < 0)
		return 0;
	unsigned h = 0;
	for (const signed char* s = reinterpret_cast<const signed char*>(pool().get(m_h)); *s; ++s)
		h = 31u * h + (unsigned)(int)*s;
	return (int)h;
}

int String::indexOf(char c, int start) const {
	if (m_h < 0)
		return -1;
	const char* s = text();
	if (start < 0)
		start = 0;
	const int n = (int)std::strlen(s);
	for (int i = start; i < n; ++i)
		if (s[i] == c)
			return i;
	return -1;
}

String String::substring(int start, int end) const {
	if (start >= end)
		return String();
	const int h = allocateBlock(end - start);
	char* dst = pool().get(h);
	std::memcpy(dst, text() + start, (size_t)(end - start)); // text() fetched after the allocation
	dst[end - start] = 0;
	return adopt(h);
}

String String::substring(int start) const {
	return substring(start, length());
}

String String::toUpperCase() const {
	const int n = length();
	if (n == 0)
		return String();
	const int h = allocateBlock(n);
	char* dst = pool().get(h);
	const char* s = text();
	for (int i = 0; i <= n; ++i) {
		const char c = s[i];
		dst[i] = (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
	}
	return adopt(h);
}

int String::compareTo(const String& other) const {
	if (m_h < 0 && other.m_h < 0)
		return 0;
	if (m_h < 0)
		return -(unsigned char)other.text()[0];
	return std::strcmp(text(), other.text());
}

int String::compareTo(const char* s) const {
	return std::strcmp(text(), s ? s : "");
}

String String::operator+(const char* s) const {
	if (!s)
		s = "";
	const long long n1 = length();
	const long long n2 = (long long)std::strlen(s);
	if (n1 + n2 == 0)
		return String();
	if (n1 + n2 >= 0x7fffffff)
		throw OutOfMemoryException();
	const int h = allocateBlock((int)(n1 + n2));
	char* dst = pool().get(h);
	std::memcpy(dst, text(), (size_t)n1);
	std::memcpy(dst + n1, s, (size_t)n2 + 1);
	return adopt(h);
}

String String::operator+(const String& other) const {
	const long long n1 = length();
	const long long n2 = other.length();
	if (n1 + n2 == 0)
		return String();
	if (n1 + n2 >= 0x7fffffff)
		throw OutOfMemoryException();
	const int h = allocateBlock((int)(n1 + n2));
	char* dst = pool().get(h);
	std::memcpy(dst, text(), (size_t)n1);
	std::memcpy(dst + n1, other.text(), (size_t)n2 + 1);
	return adopt(h);
}

bool String::getBytes(char* dst, int size) const {
	return cpy(dst, size, text());
}

bool String::cpy(char* dst, int size, const char* s) {
	if (!dst || size < 1)
		return false;
	if (!s)
		s = "";
	const size_t n = strnlen(s, (size_t)size);
	const size_t k = n < (size_t)size ? n : (size_t)size - 1;
	std::memmove(dst, s, k);
	dst[k] = 0;
	return n < (size_t)size;
}

bool String::cat(char* dst, int size, const char* s) {
	if (!s)
		s = "";
	if (!dst || size < 1)
		return *s == 0;
	const size_t d = strnlen(dst, (size_t)size);
	if (d >= (size_t)size)
		return *s == 0; // dst is not terminated within size: leave it alone
	return cpy(dst + d, size - (int)d, s);
}

} // namespace lang
