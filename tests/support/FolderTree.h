#ifndef SUPPORT_FOLDERTREE_H
#define SUPPORT_FOLDERTREE_H

// What a program wrote, seen from outside: a snapshot of every file and
// folder below a root (type, size and modification time), and the paths that
// differ between two snapshots.

#include <map>
#include <string>
#include <vector>

namespace test {

struct TreeEntry {
	char type = '?'; // 'f' file, 'd' folder, 'l' link, 'p' pipe, '?' other
	long long size = 0;
	long long modifiedNs = 0;
	bool operator==(const TreeEntry& o) const { return type == o.type && size == o.size && modifiedNs == o.modifiedNs; }
};

// Every entry below root (root itself not included), by its path relative
// to root; links are not followed. Empty when root cannot be read.
std::map<std::string, TreeEntry> readFolderTree(const std::string& root);

// The relative paths that were added, removed or changed from before to
// after, sorted.
std::vector<std::string> changedPaths(const std::map<std::string, TreeEntry>& before,
									  const std::map<std::string, TreeEntry>& after);

} // namespace test

#endif
