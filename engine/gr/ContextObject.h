#ifndef GR_CONTEXTOBJECT_H
#define GR_CONTEXTOBJECT_H

#include <lang/Object.h>
#include <lang/Ptr.h>

namespace gr {

/** Base of every object a rendering context creates. */
class ContextObject : public lang::Object {
public:
	/** Class ids stored by the base constructors. */
	enum ClassId {
		CLASSID_PRIMITIVE,
		CLASSID_SHADER,
		CLASSID_TEXTURE,
		CLASSID_CUBETEXTURE,
		CLASSID_PALETTE,
	};

	/** Lock modes: bit 0 read, bit 1 write. */
	enum LockMode {
		LOCK_READ = 1,
		LOCK_WRITE = 2,
		LOCK_READWRITE = 3,
	};

	explicit ContextObject(int classId) : m_classId(classId) {}
	~ContextObject() override;

	/** Called before the caller reads or writes the object's data; the base does nothing. */
	virtual void lock(int mode);

	/** Called after the access; the base does nothing. */
	virtual void unlock();

	/** Read and write (3). */
	virtual int getLockMode() const;

	int classId() const { return m_classId; }

private:
	int m_classId;

	ContextObject(const ContextObject&) = delete;
	ContextObject& operator=(const ContextObject&) = delete;
};

/**
 * Scoped lock of a context object: holds one counted reference, locks on
 * construction, unlocks and then releases on destruction. The object must
 * not be null.
 */
class ContextObjectLock {
public:
	ContextObjectLock(ContextObject* object, int mode) : m_object(object) { m_object->lock(mode); }
	~ContextObjectLock() { m_object->unlock(); }

	ContextObject* object() const { return m_object; }

private:
	lang::Ptr<ContextObject> m_object;

	ContextObjectLock(const ContextObjectLock&) = delete;
	ContextObjectLock& operator=(const ContextObjectLock&) = delete;
};

} // gr

#endif
