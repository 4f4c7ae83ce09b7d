#include "support/FakeSceneLoader.h"

#include "support/BinaryWriter.h"

#include <cstdio>
#include <string>

namespace test {

namespace {

// Removes the file when the load is over, also when it throws.
struct RemoveOnExit {
	std::string path;
	~RemoveOnExit() { std::remove(path.c_str()); }
};

} // namespace

FakeScene loadFakeScene(const SceneWriter& writer, FakeContext* context) {
	static int counter = 0;
	FakeScene loaded;
	loaded.context = context ? context : new FakeContext;
	loaded.resources = new hgr::DefaultResourceManager(loaded.context);
	RemoveOnExit file{writer.writeTemp("fake-scene-" + std::to_string(++counter) + ".hgr")};
	loaded.scene = new hgr::Scene(loaded.context, file.path.c_str(), loaded.resources, "", "", "");
	return loaded;
}

} // namespace test
