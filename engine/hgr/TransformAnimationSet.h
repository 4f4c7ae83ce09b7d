#ifndef HGR_TRANSFORMANIMATIONSET_H
#define HGR_TRANSFORMANIMATIONSET_H

#include <hgr/TransformAnimation.h>
#include <lang/Hash.h>
#include <lang/Hashtable.h>
#include <lang/Ptr.h>
#include <lang/String.h>

namespace hgr {

/**
 * The transform animations of a scene by node name. An absent name and a
 * name holding a null pointer both mean the node has no animation.
 */
class TransformAnimationSet
	: public lang::Hashtable<lang::String, lang::Ptr<TransformAnimation>, lang::Hash<lang::String>> {
public:
	/**
	 * An empty set sized for capacity animations: no buckets for capacity < 1,
	 * else getLargerPrime(capacity) buckets with threshold buckets * 0.75.
	 * Throws lang::OutOfMemoryException when that many buckets cannot be had.
	 */
	explicit TransformAnimationSet(int capacity = 0);
};

} // namespace hgr

#endif
