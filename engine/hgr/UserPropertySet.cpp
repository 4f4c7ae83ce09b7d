#include <hgr/UserPropertySet.h>
#include <io/PropertyParser.h>
#include <lang/Exception.h>
#include <lang/Format.h>
#include <cstring>

namespace hgr {

UserPropertySet::UserPropertySet() {}

UserPropertySet::UserPropertySet(int capacity)
	: lang::Hashtable<lang::String, lang::String, lang::Hash<lang::String>>(capacity) {}

UserPropertySet::~UserPropertySet() {}

void UserPropertySet::checkKeys(const char* const* allowedKeys, int count) {
	io::PropertyParser parser;
	for (Iterator it = begin(); it != end(); ++it) {
		parser.parse(it->value, it->key);
		for (io::PropertyParser::Iterator p = parser.begin(); p != parser.end(); ++p) {
			bool allowed = false;
			for (int i = 0; i < count && !allowed; ++i)
				allowed = std::strcmp(p.key(), allowedKeys[i]) == 0;
			if (!allowed)
				throw lang::Exception(
					lang::Format("\"{0}\" has unsupported type of property: {1}={2}", it->key, p.key(), p.value()));
		}
	}
}

} // namespace hgr
