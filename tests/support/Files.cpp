#include "support/Files.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

#include <sys/stat.h>

namespace test {

std::string readFile(const std::string& path) {
	std::string bytes;
	std::FILE* f = std::fopen(path.c_str(), "rb");
	if (!f)
		return bytes;
	char buffer[65536];
	size_t n;
	while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
		bytes.append(buffer, n);
	std::fclose(f);
	return bytes;
}

std::vector<std::string> textLines(const std::string& text) {
	std::vector<std::string> lines;
	std::istringstream in(text);
	for (std::string line; std::getline(in, line);)
		lines.push_back(line);
	return lines;
}

bool writeFile(const std::string& path, const std::string& bytes) {
	return writeFile(path, bytes.data(), bytes.size());
}

bool writeFile(const std::string& path, const void* data, size_t size) {
	const std::string::size_type slash = path.rfind('/');
	if (slash != std::string::npos && slash > 0 && !makeDirs(path.substr(0, slash)))
		return false;
	std::FILE* f = std::fopen(path.c_str(), "wb");
	if (!f)
		return false;
	const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
	return std::fclose(f) == 0 && written;
}

bool makeDirs(const std::string& path) {
	std::error_code ignored;
	std::filesystem::create_directories(path, ignored);
	return isDirectory(path);
}

bool fileExists(const std::string& path) {
	struct stat st;
	return ::lstat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
	struct stat st;
	return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace test
