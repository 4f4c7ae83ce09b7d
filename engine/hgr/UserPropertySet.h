#ifndef HGR_USERPROPERTYSET_H
#define HGR_USERPROPERTYSET_H

#include <lang/Hash.h>
#include <lang/Hashtable.h>
#include <lang/String.h>

namespace hgr {

/**
 * The user property texts of a scene by node name: each value is the
 * node's key=value lines as the scene file stores them, parsed on demand
 * with io::PropertyParser. A later entry with an existing name replaces
 * the earlier text.
 */
class UserPropertySet : public lang::Hashtable<lang::String, lang::String, lang::Hash<lang::String>> {
public:
	UserPropertySet();
	/**
	 * Sized for capacity entries (no buckets below 1). Throws
	 * lang::OutOfMemoryException when that many buckets cannot be had.
	 */
	explicit UserPropertySet(int capacity);
	~UserPropertySet() override;

	/**
	 * Parses every entry's text (buckets from the first to the last) and
	 * throws lang::Exception "\"<node>\" has unsupported type of property:
	 * <key>=<value>" at the first key that is none of the count allowed
	 * names (exact comparison with the parser's lower-case keys). Parse
	 * failures throw io::IOException naming the node.
	 */
	void checkKeys(const char* const* allowedKeys, int count);
};

} // namespace hgr

#endif
