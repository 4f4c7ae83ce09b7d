#ifndef LANG_HASHTABLE_H
#define LANG_HASHTABLE_H

#include <lang/Object.h>
#include <lang/Hash.h>
#include <lang/String.h>
#include <lang/OutOfMemoryException.h>

namespace lang {

/** Key equality of lang::Hashtable: operator== in general, compareTo for strings. */
template <class K>
inline bool hashKeyEquals(const K& a, const K& b) {
	return a == b;
}
inline bool hashKeyEquals(const String& a, const String& b) {
	return a.handle() == b.handle() || a.compareTo(b) == 0;
}

/**
 * Hash table with separate chaining whose first entry per bucket lives in the
 * bucket array itself, so short chains allocate nothing per entry. Capacities
 * are primes from a fixed list; the table grows (never shrinks) when count + 1
 * reaches capacity * 0.75. Entries not in use keep their place in a chain and
 * are reused by later insertions into the same bucket.
 *
 * Iterate with begin()/end() (buckets in index order, each bucket's first
 * entry then its chain, entries in use only) or walk buckets() directly.
 */
template <class K, class V, class H = Hash<K>>
class Hashtable : public Object {
public:
	struct Entry {
		K key;
		V value;
		Entry* next;
		bool used;

		Entry() : key(), value(), next(nullptr), used(false) {}
	};

	class Iterator {
	public:
		Iterator(Entry* buckets, int capacity, int index, Entry* entry)
			: m_buckets(buckets), m_capacity(capacity), m_index(index), m_entry(entry) {
			skip();
		}
		Entry& operator*() const { return *m_entry; }
		Entry* operator->() const { return m_entry; }
		Iterator& operator++() {
			m_entry = m_entry->next;
			skip();
			return *this;
		}
		bool operator==(const Iterator& o) const { return m_entry == o.m_entry; }
		bool operator!=(const Iterator& o) const { return m_entry != o.m_entry; }

	private:
		Entry* m_buckets;
		int m_capacity;
		int m_index;
		Entry* m_entry;

		/** Moves to the next entry in use, or to the end (null). */
		void skip() {
			for (;;) {
				while (m_entry && !m_entry->used)
					m_entry = m_entry->next;
				if (m_entry || m_index + 1 >= m_capacity)
					return;
				m_entry = &m_buckets[++m_index];
			}
		}
	};

	Hashtable()
		: m_capacity(0), m_buckets(nullptr), m_loadFactor(0.75f), m_count(0), m_threshold(0), m_defaultValue(),
		  m_chainedCount(0) {}
	/**
	 * An empty table sized for capacity entries: no buckets for capacity < 1,
	 * else getLargerPrime(capacity) buckets. Throws lang::OutOfMemoryException
	 * when that many buckets cannot be had.
	 */
	explicit Hashtable(int capacity) : Hashtable() {
		if (capacity < 1)
			return;
		const int n = getLargerPrime(capacity);
		m_buckets = new Entry[n];
		m_capacity = n;
		m_threshold = (int)(n * m_loadFactor);
	}
	Hashtable(const Hashtable&) = delete;
	Hashtable& operator=(const Hashtable&) = delete;
	~Hashtable() override { freeBuckets(m_buckets, m_capacity); }

	/**
	 * The entry for key in the given bucket array: the entry in use holding
	 * key, or else a free entry prepared with key and the default value and
	 * returned with used still false (the caller sets it).
	 */
	Entry* findOrInsert(Entry* buckets, int capacity, const K& key) {
		Entry* first = &buckets[(H()(key) & 0x7fffffff) % capacity];
		Entry* freeEntry = nullptr;
		for (Entry* e = first; e; e = e->next) {
			if (e->used) {
				if (hashKeyEquals(e->key, key))
					return e;
			} else {
				freeEntry = e;
			}
		}
		if (!freeEntry) {
			++m_chainedCount;
			freeEntry = new Entry;
			freeEntry->next = first->next;
			first->next = freeEntry;
		}
		freeEntry->key = key;
		freeEntry->value = m_defaultValue;
		return freeEntry;
	}

	/** Value stored for key, or the default value (null) when absent. */
	V get(const K& key) {
		V* v = find(key);
		return v ? *v : m_defaultValue;
	}

	/** Pointer to the value stored for key, or null when absent. Adds no entry. */
	V* find(const K& key) {
		if (m_capacity <= 0)
			return nullptr;
		Entry* e = findOrInsert(m_buckets, m_capacity, key);
		return e->used ? &e->value : nullptr;
	}

	/** Pointer to the value stored for key, or null when absent. Leaves the table untouched. */
	const V* find(const K& key) const {
		if (m_capacity <= 0)
			return nullptr;
		for (const Entry* e = &m_buckets[(H()(key) & 0x7fffffff) % m_capacity]; e; e = e->next)
			if (e->used && hashKeyEquals(e->key, key))
				return &e->value;
		return nullptr;
	}

	bool containsKey(const K& key) const { return find(key) != nullptr; }

	/** Stores value under key, replacing an earlier value. Throws lang::OutOfMemoryException when the table cannot grow. */
	void put(const K& key, const V& value) {
		if (m_count + 1 >= m_threshold)
			rebuild();
		Entry* e = findOrInsert(m_buckets, m_capacity, key);
		e->value = value;
		if (!e->used) {
			e->used = true;
			++m_count;
		}
	}

	/** Every entry goes out of use (null key, default value); buckets and chains stay. */
	void clear() {
		for (int i = 0; i < m_capacity; ++i) {
			for (Entry* e = &m_buckets[i]; e; e = e->next) {
				if (e->used) {
					e->used = false;
					e->key = K();
					e->value = m_defaultValue;
					--m_count;
				}
			}
		}
	}

	/** Entries in use. */
	int size() const { return m_count; }
	int capacity() const { return m_capacity; }
	int threshold() const { return m_threshold; }
	int chainedCount() const { return m_chainedCount; }
	Entry* buckets() const { return m_buckets; }

	Iterator begin() { return m_capacity > 0 ? Iterator(m_buckets, m_capacity, 0, m_buckets) : end(); }
	Iterator end() { return Iterator(m_buckets, 0, 0, nullptr); }

	/**
	 * The first of 37, 67, 131, ..., 129403 greater than n; past the list,
	 * (n + 129403) with its lowest bit set. Throws lang::OutOfMemoryException
	 * when that leaves the int range.
	 */
	static int getLargerPrime(int n) {
		static const int primes[] = {37, 67, 131, 257, 521, 1031, 2053, 4099, 8209, 16411, 32771, 65543, 129403};
		for (int p : primes)
			if (p > n)
				return p;
		const long long next = ((long long)n + 129403) | 1;
		if (next > 0x7fffffff)
			throw OutOfMemoryException();
		return (int)next;
	}

private:
	int m_capacity;
	Entry* m_buckets;
	float m_loadFactor;
	int m_count;
	int m_threshold;
	V m_defaultValue;
	int m_chainedCount;

	/** Moves every entry in use into a larger bucket array. */
	void rebuild() {
		const int newCapacity = getLargerPrime(m_capacity);
		Entry* newBuckets = new Entry[newCapacity];
		for (int i = 0; i < newCapacity; ++i)
			newBuckets[i].value = m_defaultValue;
		const int oldChained = m_chainedCount;
		m_chainedCount = 0;
		try {
			for (int i = 0; i < m_capacity; ++i) {
				for (Entry* e = &m_buckets[i]; e; e = e->next) {
					if (e->used) {
						Entry* n = findOrInsert(newBuckets, newCapacity, e->key);
						n->value = e->value;
						n->used = true;
					}
				}
			}
		} catch (...) {
			freeBuckets(newBuckets, newCapacity);
			m_chainedCount = oldChained;
			throw;
		}
		freeBuckets(m_buckets, m_capacity);
		m_buckets = newBuckets;
		m_capacity = newCapacity;
		m_threshold = (int)(newCapacity * m_loadFactor);
	}

	static void freeBuckets(Entry* buckets, int capacity) {
		for (int i = 0; i < capacity; ++i) {
			Entry* e = buckets[i].next;
			while (e) {
				Entry* next = e->next;
				delete e;
				e = next;
			}
		}
		delete[] buckets;
	}
};

} // namespace lang

#endif
