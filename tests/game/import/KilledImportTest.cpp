// A command-line import killed midway (as by a crash or a power cut) never
// leaves a folder that counts as installed game data.

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ImportFixture.h"

#include "support/ProcessRunner.h"

using test::tarFile;

namespace {

// The read end of a FIFO, closed on destruction.
struct FifoReader {
	int fd;
	explicit FifoReader(const std::string& path) : fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
	~FifoReader() {
		if (fd >= 0)
			::close(fd);
	}
	// True once a writer has sent bytes (at most timeoutMs, a guard against a hang).
	bool waitForBytes(int timeoutMs) const {
		pollfd p{fd, POLLIN, 0};
		return ::poll(&p, 1, timeoutMs) == 1 && (p.revents & POLLIN);
	}
};

} // namespace

// The import is stopped at a chosen file: a FIFO in place of that file's
// temporary name blocks the program once it writes more than the FIFO holds,
// and the test kills it there with SIGKILL.
TEST_F(ImportTest, KilledImportLeavesNoMarkers) {
	const std::string program = test::lumarollBinary();
	ASSERT_FALSE(program.empty()) << "the lumaroll program was not found";
	const std::string home = tmp / "home";
	const std::string gameDir = home + "/data/lumaroll";
	std::vector<test::TarEntry> entries = test::markerEntries();
	entries.push_back(tarFile("opt/plimbo/data/before.txt", "before"));
	entries.push_back(tarFile("opt/plimbo/data/stall.bin", std::string(4 << 20, 's')));
	entries.push_back(tarFile("opt/plimbo/data/after.txt", "after"));
	ASSERT_TRUE(test::writeFile(deb, test::debPackage("data.tar.gz", test::gzip(test::tarArchive(entries)))));

	const struct {
		const char* name;
		bool reimport;
	} cases[] = {{"first import", false}, {"re-import over a complete installation", true}};
	for (const auto& c : cases) {
		test::removeTree(home);
		if (c.reimport) {
			ASSERT_TRUE(lumaroll::importDebPackage(deb, gameDir, nullptr).ok) << c.name;
		}
		ASSERT_TRUE(test::makeDirs(gameDir + "/data"));
		const std::string fifo = gameDir + "/data/stall.bin.import-part";
		::unlink(fifo.c_str());
		ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0) << c.name;
		FifoReader reader(fifo);
		ASSERT_GE(reader.fd, 0) << c.name;

		test::ProcessOptions options;
		options.args = {"--import-deb", deb};
		options.env = {{"XDG_DATA_HOME", home + "/data"},
					   {"XDG_CONFIG_HOME", home + "/config"},
					   {"HOME", home},
					   {"LUMAROLL_NO_AUDIO", "1"},
					   {"ASAN_OPTIONS", "detect_leaks=0:halt_on_error=1"}};
		test::RunningProcess import(program, options);
		ASSERT_TRUE(import.started()) << c.name;
		ASSERT_TRUE(reader.waitForBytes(60000)) << c.name << ": the import never reached the stalling file";
		// Every marker came before the stalling file, and none is in place.
		EXPECT_FALSE(lumaroll::hasGameData(gameDir)) << c.name;
		import.sendSignal(SIGKILL);
		const test::ProcessResult r = import.wait(60000);
		EXPECT_EQ(r.signal, SIGKILL) << c.name << "\n" << r.out << r.err;
		EXPECT_FALSE(lumaroll::hasGameData(gameDir)) << c.name;
		EXPECT_EQ(test::readFile(gameDir + "/data/before.txt"), "before") << c.name;

		// The next import over what the killed one left makes a complete installation.
		::unlink(fifo.c_str());
		const lumaroll::ImportResult again = lumaroll::importDebPackage(deb, gameDir, nullptr);
		EXPECT_TRUE(again.ok) << c.name << ": " << again.error;
		EXPECT_TRUE(lumaroll::hasGameData(gameDir)) << c.name;
		EXPECT_EQ(test::readFile(gameDir + "/data/after.txt"), "after") << c.name;
	}
}
