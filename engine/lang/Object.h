#ifndef LANG_OBJECT_H
#define LANG_OBJECT_H

namespace lang {

/**
 * Root of every shared engine object: an intrusive reference count that
 * starts at 0. The first lang::Ptr that takes the object raises it to 1 and
 * the object deletes itself when the last one lets go.
 */
class Object {
public:
	Object() : m_refCount(0) {}
	/** A copy is a new object: it starts uncounted. */
	Object(const Object&) : m_refCount(0) {}
	/** Assignment copies the contents, never the count. */
	Object& operator=(const Object&) { return *this; }
	virtual ~Object() {}

	void addReference() { ++m_refCount; }

	/** Drops one reference; deletes the object when none is left. */
	void release() {
		if (--m_refCount == 0)
			delete this;
	}

	int referenceCount() const { return m_refCount; }

private:
	int m_refCount;
};

} // namespace lang

#endif
