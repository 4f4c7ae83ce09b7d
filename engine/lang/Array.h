#ifndef LANG_ARRAY_H
#define LANG_ARRAY_H

#include <lang/OutOfMemoryException.h>
#include <cstddef>
#include <utility>

namespace lang {

/**
 * Growable array. A full array grows to the larger of twice its capacity and
 * the count needed, and to at least 32 bytes' worth of elements; elements are
 * moved to the new storage. setCapacity() sizes the storage exactly instead.
 * Element access is not bounds-checked.
 */
template <class T>
class Array {
public:
	Array() : m_data(nullptr), m_size(0), m_capacity(0) {}
	explicit Array(int n, const T& fill = T()) : Array() { resize(n, fill); }
	Array(const Array& o) : Array() {
		reserve(o.m_size);
		for (int i = 0; i < o.m_size; ++i)
			m_data[i] = o.m_data[i];
		m_size = o.m_size;
	}
	/** Takes the storage; the source is left empty. */
	Array(Array&& o) noexcept : m_data(o.m_data), m_size(o.m_size), m_capacity(o.m_capacity) {
		o.m_data = nullptr;
		o.m_size = 0;
		o.m_capacity = 0;
	}
	Array& operator=(const Array& o) {
		if (this != &o) {
			Array tmp(o);
			swap(tmp);
		}
		return *this;
	}
	Array& operator=(Array&& o) noexcept {
		if (this != &o) {
			Array tmp(std::move(o));
			swap(tmp);
		}
		return *this;
	}
	~Array() { delete[] m_data; }

	/** Appends one element, growing when the array is full. */
	void add(const T& item) {
		if (m_size == m_capacity)
			reserve(m_size + 1);
		m_data[m_size++] = item;
	}

	/**
	 * Sets the size to n: new elements get fill, elements cut off are reset
	 * to their default (storage is kept). Throws lang::OutOfMemoryException
	 * for a negative n or when the storage cannot be had.
	 */
	void resize(int n, const T& fill = T()) {
		if (n < 0)
			throw OutOfMemoryException();
		if (n > m_capacity)
			reserve(n);
		for (int i = m_size; i < n; ++i)
			m_data[i] = fill;
		for (int i = n; i < m_size; ++i)
			m_data[i] = T();
		m_size = n;
	}

	void clear() { resize(0); }

	/**
	 * Makes the storage hold exactly n elements (the size, when n is below
	 * it), moving the elements: room beyond what is asked for is given back,
	 * and growth takes no margin. Throws lang::OutOfMemoryException when the
	 * storage cannot be had.
	 */
	void setCapacity(int n) {
		if (n < m_size)
			n = m_size;
		if (n == m_capacity)
			return;
		if ((long long)n > 0x7fffffff / (long long)sizeof(T))
			throw OutOfMemoryException();
		T* data = n > 0 ? new T[(std::size_t)n] : nullptr;
		for (int i = 0; i < m_size; ++i)
			data[i] = std::move(m_data[i]);
		delete[] m_data;
		m_data = data;
		m_capacity = n;
	}

	T& operator[](int i) { return m_data[i]; }
	const T& operator[](int i) const { return m_data[i]; }

	int size() const { return m_size; }
	int capacity() const { return m_capacity; }
	T* begin() { return m_data; }
	T* end() { return m_data + m_size; }
	const T* begin() const { return m_data; }
	const T* end() const { return m_data + m_size; }

	void swap(Array& o) {
		std::swap(m_data, o.m_data);
		std::swap(m_size, o.m_size);
		std::swap(m_capacity, o.m_capacity);
	}

private:
	T* m_data;
	int m_size;
	int m_capacity;

	/** Ensures room for needed elements by the growth rule above. */
	void reserve(int needed) {
		if (needed <= m_capacity)
			return;
		long long cap = 2LL * m_capacity;
		if (cap < needed)
			cap = needed;
		const long long minCap = (32 + (long long)sizeof(T) - 1) / (long long)sizeof(T);
		if (cap < minCap)
			cap = minCap;
		const long long maxCap = 0x7fffffff / (long long)sizeof(T);
		if (cap > maxCap)
			cap = maxCap;
		if (cap < needed)
			throw OutOfMemoryException();
		T* data = new T[(std::size_t)cap];
		for (int i = 0; i < m_size; ++i) {
			data[i] = std::move(m_data[i]);
			m_data[i] = T();
		}
		delete[] m_data;
		m_data = data;
		m_capacity = (int)cap;
	}
};

} // namespace lang

#endif
