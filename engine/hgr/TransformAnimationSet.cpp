#include <hgr/TransformAnimationSet.h>

namespace hgr {

TransformAnimationSet::TransformAnimationSet(int capacity)
	: lang::Hashtable<lang::String, lang::Ptr<TransformAnimation>, lang::Hash<lang::String>>(capacity) {}

} // namespace hgr
