#include "profile/CallgrindCosts.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace bench {

std::map<std::string, double> costByObject(const std::string& path) {
	std::map<std::string, double> costs;
	std::map<std::string, std::string> names;
	std::ifstream in(path);
	std::string line, current;
	bool afterCall = false;
	while (std::getline(in, line)) {
		if (line.compare(0, 4, "cob=") == 0) {
			// A call's target object: names an id for later "ob=" lines.
			const std::string rest = line.substr(4);
			const size_t close = rest.find(')');
			if (rest[0] == '(' && close != std::string::npos && close + 1 < rest.size())
				names[rest.substr(0, close + 1)] = rest.substr(close + 2);
		} else if (line.compare(0, 3, "ob=") == 0) {
			const std::string rest = line.substr(3);
			const size_t close = rest.find(')');
			if (rest[0] == '(' && close != std::string::npos) {
				const std::string id = rest.substr(0, close + 1);
				if (close + 1 < rest.size())
					names[id] = rest.substr(close + 2);
				current = names[id];
			} else {
				current = rest;
			}
		} else if (line.compare(0, 6, "calls=") == 0) {
			afterCall = true;
		} else if (!line.empty() && (std::isdigit(static_cast<unsigned char>(line[0])) || line[0] == '+' ||
									 line[0] == '-' || line[0] == '*')) {
			if (afterCall) {
				afterCall = false;
				continue;
			}
			std::istringstream words(line);
			std::string position;
			double ir = 0;
			words >> position >> ir;
			costs[current] += ir;
		}
	}
	return costs;
}

bool isDriverObject(const std::string& object) {
	for (const char* part :
		 {"/dri/", "libLLVM", "libgallium", "libglapi", "libGLESv2", "libEGL", "libGLdispatch", "libgbm", "libdrm"})
		if (object.find(part) != std::string::npos)
			return true;
	// Code that LLVM generated at run time lies in no file.
	return object.empty() || object == "???";
}

CostSplit splitCosts(const std::map<std::string, double>& costs, const std::string& program, int frames) {
	CostSplit s;
	for (const auto& c : costs) {
		s.total += c.second;
		if (isDriverObject(c.first))
			s.driver += c.second;
		else if (c.first == program)
			s.program += c.second;
	}
	s.total /= frames;
	s.driver /= frames;
	s.program /= frames;
	return s;
}


} // namespace bench
