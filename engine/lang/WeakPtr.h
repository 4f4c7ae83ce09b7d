#ifndef LANG_WEAKPTR_H
#define LANG_WEAKPTR_H

#include <lang/Object.h>

namespace lang {

/**
 * Pointer to a lang::Object that does not keep it alive: it reads null once
 * the object's last counted reference has gone (or the object was deleted
 * directly). It holds the object's lang::WeakLink, so that reading it after
 * the object has gone is safe; the first weak pointer to an object allocates
 * that link, later ones and copies share it.
 *
 * Reading is a load through the link, without counting: what get() returns
 * stays valid only while something else holds the object.
 */
template <class T>
class WeakPtr {
public:
	WeakPtr() : m_link(nullptr) {}
	WeakPtr(T* p) : m_link(p ? p->weakLink() : nullptr) {
		if (m_link)
			m_link->addReference();
	}
	WeakPtr(const WeakPtr& o) : m_link(o.m_link) {
		if (m_link)
			m_link->addReference();
	}
	WeakPtr(WeakPtr&& o) noexcept : m_link(o.m_link) { o.m_link = nullptr; }
	~WeakPtr() {
		if (m_link)
			m_link->release();
	}

	WeakPtr& operator=(T* p) {
		WeakLink* link = p ? p->weakLink() : nullptr;
		if (link)
			link->addReference();
		WeakLink* old = m_link;
		m_link = link;
		if (old)
			old->release();
		return *this;
	}
	WeakPtr& operator=(const WeakPtr& o) {
		if (o.m_link)
			o.m_link->addReference();
		WeakLink* old = m_link;
		m_link = o.m_link;
		if (old)
			old->release();
		return *this;
	}
	WeakPtr& operator=(WeakPtr&& o) noexcept {
		if (this != &o) {
			WeakLink* old = m_link;
			m_link = o.m_link;
			o.m_link = nullptr;
			if (old)
				old->release();
		}
		return *this;
	}

	/** Lets go of the link; reads null afterwards. */
	void reset() { *this = static_cast<T*>(nullptr); }

	/** The object, or null when it has gone or none was given. */
	T* get() const { return m_link ? static_cast<T*>(m_link->target()) : nullptr; }
	/** True when an object was given and has gone since. */
	bool expired() const { return m_link && !m_link->target(); }

private:
	WeakLink* m_link;
};

} // namespace lang

#endif
