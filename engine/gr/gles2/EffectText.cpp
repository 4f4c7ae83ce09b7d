#include <gr/gles2/EffectText.h>

#include <cstdio>

#include <io/RegularFile.h>

#include <unistd.h>

namespace gr {

bool readTextFile(const std::string& path, std::string& out) {
	// Only regular files: a named pipe would block, a device such as
	// /dev/zero never ends, and a directory reads as nothing.
	const int fd = io::openRegularFile(path.c_str());
	if (fd < 0)
		return false;
	FILE* file = ::fdopen(fd, "rb");
	if (!file) {
		::close(fd);
		return false;
	}
	std::string text;
	char buffer[8192];
	size_t count;
	while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
		for (size_t i = 0; i < count; ++i) {
			if (buffer[i] != '\r')
				text.push_back(buffer[i]);
		}
	}
	std::fclose(file);
	out.swap(text);
	return true;
}

static bool isTrimmed(char c) {
	return c == ' ' || c == '\t' || c == '\n';
}

std::string trimWhitespace(const std::string& text) {
	size_t begin = 0;
	size_t end = text.size();
	while (begin < end && isTrimmed(text[begin]))
		++begin;
	while (end > begin && isTrimmed(text[end - 1]))
		--end;
	return text.substr(begin, end - begin);
}

std::string directoryOf(const std::string& path) {
	size_t pos = path.find_last_of("/\\");
	if (pos == std::string::npos)
		return std::string();
	return path.substr(0, pos + 1);
}

std::string resolveRelativePath(const std::string& directory, const std::string& name) {
	std::string fixed = name;
	for (char& c : fixed) {
		if (c == '\\')
			c = '/';
	}
	if (!fixed.empty() && fixed[0] == '/')
		return fixed;
	return directory + fixed;
}

bool readIncludedFile(const std::string& path, int depth, std::string& text, std::string& error) {
	if (depth >= MAX_INCLUDE_NESTING) {
		error = "demasiados #include anidados en " + path;
		return false;
	}
	if (!readTextFile(path, text)) {
		error = "could not open " + path;
		return false;
	}
	return true;
}

bool nextLine(const std::string& text, size_t& pos, std::string& line) {
	if (pos >= text.size())
		return false;
	size_t end = text.find('\n', pos);
	if (end == std::string::npos)
		end = text.size();
	line.assign(text, pos, end - pos);
	pos = end + 1;
	return true;
}

} // namespace gr
