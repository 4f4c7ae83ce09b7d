#ifndef LANG_PTR_H
#define LANG_PTR_H

#include <lang/Object.h>

namespace lang {

/**
 * Intrusive counted pointer over a lang::Object. Taking a pointer counts it,
 * letting go releases it; the object deletes itself when the count returns
 * to 0. lang::WeakPtr refers to an object without counting it.
 */
template <class T>
class Ptr {
public:
	Ptr() : m_p(nullptr) {}
	Ptr(T* p) : m_p(p) {
		if (m_p)
			m_p->addReference();
	}
	Ptr(const Ptr& o) : m_p(o.m_p) {
		if (m_p)
			m_p->addReference();
	}
	template <class U>
	Ptr(const Ptr<U>& o) : m_p(o.ptr()) {
		if (m_p)
			m_p->addReference();
	}
	Ptr(Ptr&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
	~Ptr() {
		if (m_p)
			m_p->release();
	}

	/** Counts the new object first, so assigning a pointer to itself is safe. */
	Ptr& operator=(T* p) {
		if (p)
			p->addReference();
		T* old = m_p;
		m_p = p;
		if (old)
			old->release();
		return *this;
	}
	Ptr& operator=(const Ptr& o) { return *this = o.m_p; }
	template <class U>
	Ptr& operator=(const Ptr<U>& o) {
		return *this = o.ptr();
	}
	Ptr& operator=(Ptr&& o) noexcept {
		if (this != &o) {
			T* old = m_p;
			m_p = o.m_p;
			o.m_p = nullptr;
			if (old)
				old->release();
		}
		return *this;
	}

	/** Releases the object, if any, and becomes null. */
	void reset() { *this = static_cast<T*>(nullptr); }

	T* ptr() const { return m_p; }
	T* operator->() const { return m_p; }
	T& operator*() const { return *m_p; }
	operator T*() const { return m_p; }

private:
	T* m_p;
};

} // namespace lang

#endif
