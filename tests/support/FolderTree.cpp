#include "support/FolderTree.h"

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

namespace test {

namespace {

void readBelow(const std::string& root, const std::string& relative, std::map<std::string, TreeEntry>& tree) {
	DIR* dir = opendir((root + relative).c_str());
	if (!dir)
		return;
	while (const dirent* e = readdir(dir)) {
		const std::string name = e->d_name;
		if (name == "." || name == "..")
			continue;
		const std::string path = relative + "/" + name;
		struct stat s = {};
		if (lstat((root + path).c_str(), &s) != 0)
			continue;
		TreeEntry entry;
		entry.type = S_ISREG(s.st_mode)	   ? 'f'
					 : S_ISDIR(s.st_mode)  ? 'd'
					 : S_ISLNK(s.st_mode)  ? 'l'
					 : S_ISFIFO(s.st_mode) ? 'p'
										   : '?';
		entry.size = entry.type == 'd' ? 0 : static_cast<long long>(s.st_size);
		entry.modifiedNs = static_cast<long long>(s.st_mtim.tv_sec) * 1000000000LL + s.st_mtim.tv_nsec;
		tree[path.substr(1)] = entry;
		if (entry.type == 'd')
			readBelow(root, path, tree);
	}
	closedir(dir);
}

} // namespace

std::map<std::string, TreeEntry> readFolderTree(const std::string& root) {
	std::map<std::string, TreeEntry> tree;
	readBelow(root, "", tree);
	return tree;
}

std::vector<std::string> changedPaths(const std::map<std::string, TreeEntry>& before,
									  const std::map<std::string, TreeEntry>& after) {
	std::vector<std::string> changed;
	for (const auto& a : after) {
		const auto b = before.find(a.first);
		if (b == before.end() || !(b->second == a.second))
			changed.push_back(a.first);
	}
	for (const auto& b : before)
		if (!after.count(b.first))
			changed.push_back(b.first);
	std::sort(changed.begin(), changed.end());
	return changed;
}

} // namespace test
