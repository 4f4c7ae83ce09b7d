#ifndef IO_PROPERTYPARSER_H
#define IO_PROPERTYPARSER_H

#include <lang/Array.h>
#include <lang/Object.h>
#include <lang/String.h>

namespace io {

/**
 * Key=value property text: pairs separated by newlines or ";", keys stored
 * in lower case, "--" comments to the end of the line. Answers typed lookups
 * and walks the pairs in text order. Lookups and iteration share one result
 * buffer: a returned text stays valid until the next lookup or step.
 * Failures throw io::IOException naming the property set.
 */
class PropertyParser : public lang::Object {
public:
	/** Walks the pairs in text order. */
	class Iterator {
	public:
		Iterator& operator++();
		bool operator!=(const Iterator& other) const;
		/** The current pair's key (lower case). */
		const char* key() const;
		/** The current pair's value ("" for an empty value). */
		const char* value() const;

	private:
		friend class PropertyParser;
		Iterator(PropertyParser* parser, int position, int line);

		PropertyParser* m_parser; // null at the end
		int m_position;
		int m_line;
	};

	PropertyParser();
	/** Parses text at once (see parse). */
	PropertyParser(const lang::String& text, const lang::String& name);

	/**
	 * Reads every pair of text; name is the property set's name in messages.
	 * Throws io::IOException when a key is not followed by "=".
	 */
	void parse(const lang::String& text, const lang::String& name);

	/** The value of key (lower case), or null when the key is absent. */
	const char* getString(const char* key);
	bool hasKey(const char* key);
	/** enabled/true/1/yes or disabled/false/0/no, in any case; anything else throws. */
	bool getBoolean(const char* key);
	/** The value as a whole number within the int range; anything else throws. */
	int getInt(const char* key);
	/** The value as a number; throws when it holds none. */
	float getFloat(const char* key);

	Iterator begin();
	Iterator end();

	/** Number of pairs read. */
	int size() const { return m_entries.size(); }
	const lang::String& name() const { return m_name; }

private:
	struct Entry {
		lang::String key;
		lang::String value;
	};

	lang::Array<char> m_text; // comment-free text, zero-terminated
	int m_textLength;
	lang::String m_name;
	lang::Array<char> m_pairBuffer;
	lang::Array<Entry> m_entries; // sorted by key; equal keys in text order

	/**
	 * Reads the pair at *position into the pair buffer (key, zero, value,
	 * zero) and leaves *position on the character that ended the value.
	 * Returns false when no pair is left.
	 */
	bool readPair(int* position, int* line);
	/** Looks key up and copies its value into the pair buffer; null when absent. */
	const char* lookup(const char* key);
};

} // namespace io

#endif
