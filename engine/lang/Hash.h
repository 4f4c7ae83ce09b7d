#ifndef LANG_HASH_H
#define LANG_HASH_H

namespace lang {

/** Hash functor of lang::Hashtable: the key's own hashCode. */
template <class K>
struct Hash {
	int operator()(const K& key) const { return key.hashCode(); }
};

} // namespace lang

#endif
