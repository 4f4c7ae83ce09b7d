#ifndef LANG_OBJECT_H
#define LANG_OBJECT_H

namespace lang {

class Object;

/**
 * What an object shares with the weak pointers to it (lang::WeakPtr): the
 * object while it lives, null from the moment its last counted reference
 * goes (or its destructor starts). The link lives as long as the object or
 * one weak pointer holds it.
 */
class WeakLink {
public:
	Object* target() const { return m_target; }

	void addReference() { ++m_count; }
	/** Drops one holder; the last one frees the link. */
	void release() {
		if (--m_count == 0)
			delete this;
	}

private:
	Object* m_target;
	int m_count;

	explicit WeakLink(Object* target) : m_target(target), m_count(1) {}
	WeakLink(const WeakLink&) = delete;
	WeakLink& operator=(const WeakLink&) = delete;

	friend class Object;
};

/**
 * Root of every shared engine object: an intrusive reference count that
 * starts at 0. The first lang::Ptr that takes the object raises it to 1 and
 * the object deletes itself when the last one lets go.
 *
 * Weak pointers (lang::WeakPtr) refer to an object without counting it: they
 * read null once the object is going. An object that has never been weakly
 * referred to carries no link.
 */
class Object {
public:
	Object() : m_refCount(0), m_weakLink(nullptr) {}
	/** A copy is a new object: it starts uncounted and without weak pointers. */
	Object(const Object&) : m_refCount(0), m_weakLink(nullptr) {}
	/** Assignment copies the contents, never the count or the weak pointers. */
	Object& operator=(const Object&) { return *this; }
	virtual ~Object() { cutWeakLink(); }

	void addReference() { ++m_refCount; }

	/**
	 * Drops one reference; deletes the object when none is left. Weak pointers
	 * read null before the destructors run, so nothing reached through one
	 * meets a half-destroyed object.
	 */
	void release() {
		if (--m_refCount == 0) {
			cutWeakLink();
			delete this;
		}
	}

	int referenceCount() const { return m_refCount; }

	/** The link weak pointers to this object share, made on the first call. Does not count the object. */
	WeakLink* weakLink() {
		if (!m_weakLink)
			m_weakLink = new WeakLink(this);
		return m_weakLink;
	}

private:
	int m_refCount;
	WeakLink* m_weakLink;

	void cutWeakLink() {
		if (m_weakLink) {
			WeakLink* link = m_weakLink;
			m_weakLink = nullptr;
			link->m_target = nullptr;
			link->release();
		}
	}
};

} // namespace lang

#endif
