#include "store/Settings.h"

#include "support/Files.h"
#include "support/NamedPipe.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <csignal>
#include <cstring>
#include <functional>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/resource.h>

using namespace lumaroll;
using test::ScopedEnv;

namespace {

class SettingsFileTest : public testing::Test {
protected:
	std::string file() const { return dir / "config.ini"; }
	void load(const std::string& text) {
		ASSERT_TRUE(test::writeFile(file(), text));
		settings.loadFrom(file());
	}
	// Runs fn with writes limited to bytes per file, so that a longer write
	// fails part-way, as on a full disk ("File too large").
	static void withFileSizeLimit(rlim_t bytes, const std::function<void()>& fn) {
		struct sigaction ignore = {}, old = {};
		ignore.sa_handler = SIG_IGN;
		sigaction(SIGXFSZ, &ignore, &old);
		rlimit saved;
		getrlimit(RLIMIT_FSIZE, &saved);
		rlimit small = saved;
		small.rlim_cur = bytes;
		setrlimit(RLIMIT_FSIZE, &small);
		fn();
		setrlimit(RLIMIT_FSIZE, &saved);
		sigaction(SIGXFSZ, &old, nullptr);
	}
	// Names in the folder other than config.ini (left-over temporary files).
	std::vector<std::string> strayFiles() const {
		std::vector<std::string> names;
		if (DIR* d = opendir(dir.path().c_str())) {
			while (dirent* e = readdir(d)) {
				std::string name = e->d_name;
				if (name != "." && name != ".." && name != "config.ini")
					names.push_back(name);
			}
			closedir(d);
		}
		return names;
	}
	test::TempDir dir;
	Settings settings;
};

TEST_F(SettingsFileTest, LineForms) {
	load(
		"# Lumaroll settings\n"
		"a=b=c\n"
		"=x\n"
		" blank=1\n"
		"#hidden=1\n"
		"key#=v#\n"
		"no equals sign\n"
		"empty=\n"
		"a=later\n");
	const Settings::Store expected = {{"", "x"}, {" blank", "1"}, {"a", "later"}, {"empty", ""}, {"key#", "v#"}};
	EXPECT_EQ(settings.values(), expected);
}

TEST_F(SettingsFileTest, CrlfReadsLikeLfAndIsSavedAsLf) {
	load("# Lumaroll settings\r\ngraphics.vsync=0\r\naudio.volume=0.5\r\n");
	EXPECT_EQ(settings.getString("graphics.vsync", "x"), "0");
	EXPECT_FLOAT_EQ(settings.getFloat("audio.volume", 1.0f), 0.5f);
	ASSERT_TRUE(settings.saveTo(file()));
	EXPECT_EQ(test::readFile(file()), "# Lumaroll settings\naudio.volume=0.5\ngraphics.vsync=0\n");
}

TEST_F(SettingsFileTest, LongLineStaysOneEntry) {
	const std::string longValue = std::string(600, 'v') + "=tail";
	const std::string longKey(700, 'k');
	load("general.language=" + longValue + "\n" + longKey + "=1\n");
	EXPECT_EQ(settings.values().size(), 2u);
	EXPECT_EQ(settings.getString("general.language", ""), longValue);
	EXPECT_EQ(settings.getString(longKey, ""), "1");
}

TEST_F(SettingsFileTest, MissingFileLeavesStoreAndCreatesNothing) {
	settings.setString("kept", "1");
	settings.loadFrom(dir / "missing.ini");
	EXPECT_EQ(settings.getString("kept", ""), "1");
	EXPECT_FALSE(test::fileExists(dir / "missing.ini"));
}

TEST(SettingsKindTest, NamedPipeOrFolderInPlaceOfTheFileIsAnEmptyStore) {
	for (const test::FileStandIn kind : {test::FileStandIn::NamedPipe, test::FileStandIn::Folder}) {
		SCOPED_TRACE(test::standInName(kind));
		test::TempDir dir;
		const std::string file = dir / "config.ini";
		ASSERT_TRUE(test::makeStandIn(kind, file));
		Settings settings;
		test::runWithoutWaiting({file}, [&] { settings.loadFrom(file); });
		EXPECT_TRUE(settings.values().empty());
		// Nothing was migrated, so nothing was saved over it.
		struct stat info;
		ASSERT_EQ(lstat(file.c_str(), &info), 0);
		EXPECT_EQ(kind == test::FileStandIn::NamedPipe ? S_ISFIFO(info.st_mode) : S_ISDIR(info.st_mode), true);
	}
}

struct MigrationCase {
	const char* name;
	const char* file;
	const char* touch; // expected "controls.touch", null when absent
	bool rewritten;
};

void PrintTo(const MigrationCase& c, std::ostream* os) {
	*os << c.name;
}

class SettingsMigrationTest : public SettingsFileTest, public testing::WithParamInterface<MigrationCase> {};

TEST_P(SettingsMigrationTest, OldKeys) {
	const MigrationCase& c = GetParam();
	load(std::string("# Lumaroll settings\n") + c.file);
	if (c.touch)
		EXPECT_EQ(settings.getString("controls.touch", "absent"), c.touch);
	else
		EXPECT_EQ(settings.getString("controls.touch", "absent"), "absent");
	EXPECT_EQ(settings.getString("controls.accelerometer", "absent"), "absent");
	EXPECT_EQ(settings.getString("controls.scheme", "absent"), "absent");
	EXPECT_EQ(settings.getString("controls.touch_swap_sides", "absent"), "absent");
	std::string expectedFile = "# Lumaroll settings\n";
	for (const auto& entry : settings.values())
		expectedFile += entry.first + "=" + entry.second + "\n";
	if (c.rewritten)
		EXPECT_EQ(test::readFile(file()), expectedFile);
	else
		EXPECT_EQ(test::readFile(file()), std::string("# Lumaroll settings\n") + c.file);
}

INSTANTIATE_TEST_SUITE_P(
	Cases, SettingsMigrationTest,
	testing::Values(
		MigrationCase{"accelerometerOn", "controls.touch=classic\ncontrols.accelerometer=1\n", "accelerometer", true},
		MigrationCase{"accelerometerOff", "controls.accelerometer=0\ncontrols.touch=classic\n", "classic", true},
		MigrationCase{"capitalTouch", "controls.touch=Modern\n", nullptr, true},
		MigrationCase{"scheme", "controls.scheme=2\ncontrols.touch_swap_sides=1\n", nullptr, true},
		MigrationCase{"nothingOld", "controls.touch=classic\ngraphics.vsync=1\n", "classic", false}),
	[](const testing::TestParamInfo<MigrationCase>& info) { return info.param.name; });

TEST(SettingsValueTest, BooleansAreTrueOnlyForOne) {
	Settings settings;
	for (const char* text : {"true", "yes", "01", " 1", "1 ", "", "0"}) {
		settings.setString("b", text);
		EXPECT_FALSE(settings.getBool("b", true)) << '"' << text << '"';
	}
	settings.setString("b", "1");
	EXPECT_TRUE(settings.getBool("b", false));
	EXPECT_TRUE(settings.getBool("absent", true));
	EXPECT_FALSE(settings.getBool("absent", false));
}

// Numbers as strtod reads them, but never a NaN or an infinity: a text that
// reads as one is the fallback, a number beyond the float range its largest
// value of that sign.
TEST(SettingsValueTest, FloatsReadWhatStrtodReadsButNoNanOrInfinity) {
	struct Case {
		const char* text;
		float value;
	} cases[] = {
		// Numbers, and text that is none.
		{"0.5", 0.5f},
		{"0.5abc", 0.5f},
		{"-5", -5.f},
		{" 2", 2.f},
		{"1e38", 1e38f},
		{"-1e38", -1e38f},
		{"abc", 0.f},
		{"", 0.f},
		{"1e-50", 0.f},
		// NaN and infinity as strtod reads them: the fallback.
		{"nan", 9.f},
		{"-nan", 9.f},
		{"NAN(1)", 9.f},
		{"inf", 9.f},
		{"-inf", 9.f},
		{"Infinity", 9.f},
		{"infinityx", 9.f},
		// Beyond the float range (1e300 within double, 1e400 beyond it too).
		{"1e300", FLT_MAX},
		{"-1e300", -FLT_MAX},
		{"1e400", FLT_MAX},
		{"-1e400", -FLT_MAX},
	};
	Settings settings;
	for (const Case& c : cases) {
		settings.setString("f", c.text);
		EXPECT_EQ(settings.getFloat("f", 9.f), c.value) << '"' << c.text << '"';
	}
	EXPECT_FLOAT_EQ(settings.getFloat("absent", 0.22f), 0.22f);
}

TEST(SettingsValueTest, SetFloatAndBoolTexts) {
	Settings settings;
	settings.setFloat("a", 0.3f);
	settings.setFloat("b", 1.0f);
	settings.setFloat("c", 0.75f);
	settings.setBool("d", true);
	settings.setBool("e", false);
	EXPECT_EQ(settings.getString("a", ""), "0.3");
	EXPECT_EQ(settings.getString("b", ""), "1");
	EXPECT_EQ(settings.getString("c", ""), "0.75");
	EXPECT_EQ(settings.getString("d", ""), "1");
	EXPECT_EQ(settings.getString("e", ""), "0");
}

TEST_F(SettingsFileTest, SaveWritesHeaderAndKeysInByteOrder) {
	for (const char* key : {"audio.volume", "audio.sounds_volume", "audio.mute", "controls.tilt_camera_x",
							"audio.music_volume", "controls.tilt_camera", "audio.sounds_mute", "audio.music_mute"})
		settings.setString(key, "1");
	ASSERT_TRUE(settings.saveTo(dir / "new/folder/config.ini"));
	EXPECT_EQ(test::readFile(dir / "new/folder/config.ini"),
			  "# Lumaroll settings\n"
			  "audio.music_mute=1\naudio.music_volume=1\naudio.mute=1\naudio.sounds_mute=1\n"
			  "audio.sounds_volume=1\naudio.volume=1\ncontrols.tilt_camera=1\ncontrols.tilt_camera_x=1\n");
}

TEST_F(SettingsFileTest, SaveUsesTheConfigurationDirectory) {
	ScopedEnv env{{"XDG_CONFIG_HOME", dir.path().c_str()}};
	EXPECT_EQ(Settings::path(), dir / "lumaroll/config.ini");
	settings.setBool("graphics.vsync", false);
	ASSERT_TRUE(settings.saveTo(Settings::path()));
	Settings reread;
	reread.load();
	EXPECT_EQ(reread.getString("graphics.vsync", ""), "0");
}

TEST_F(SettingsFileTest, FailedSaveKeepsTheOldFile) {
	load("# Lumaroll settings\ngraphics.vsync=0\n");
	const std::string before = test::readFile(file());
	settings.setString("general.language", std::string(4096, 'x'));

	bool saved = true;
	std::string why;
	withFileSizeLimit(1024, [&] { saved = settings.saveTo(file(), &why); });

	EXPECT_FALSE(saved);
	EXPECT_EQ(why, std::strerror(EFBIG));
	EXPECT_EQ(test::readFile(file()), before);
	EXPECT_TRUE(strayFiles().empty());
}

TEST_F(SettingsFileTest, SaveOverADirectoryFailsWithItsReasonAndPrintsNothing) {
	ASSERT_TRUE(test::makeDirs(file()));
	settings.setString("a", "1");
	std::string why;
	testing::internal::CaptureStderr();
	testing::internal::CaptureStdout();
	EXPECT_FALSE(settings.saveTo(file(), &why));
	EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "")
		<< "telling the user is the caller's part";
	EXPECT_EQ(why, std::strerror(EISDIR));
	EXPECT_TRUE(test::isDirectory(file()));
	EXPECT_TRUE(strayFiles().empty());
}

// The rewrite after a migration runs before anything can show a notice: the
// log tells of its failure, and the migrated values stay in force.
TEST_F(SettingsFileTest, AFailedRewriteAfterAMigrationIsLogged) {
	const std::string old = "# Lumaroll settings\ncontrols.scheme=2\ngeneral.language=" + std::string(2048, 'x') + "\n";
	ASSERT_TRUE(test::writeFile(file(), old));
	testing::internal::CaptureStderr();
	withFileSizeLimit(1024, [&] { settings.loadFrom(file()); });
	EXPECT_EQ(testing::internal::GetCapturedStderr(),
			  "settings: could not save " + file() + ": " + std::strerror(EFBIG) + "\n");
	EXPECT_EQ(settings.getString("controls.scheme", "absent"), "absent");
	EXPECT_EQ(test::readFile(file()), old);
	EXPECT_TRUE(strayFiles().empty());
}

struct EnvCase {
	const char* name;
	const char* value; // "improvements.visible_sections", null when absent
	const char* expected;
};

void PrintTo(const EnvCase& c, std::ostream* os) {
	*os << c.name;
}

class ApplyEnvironmentTest : public testing::TestWithParam<EnvCase> {};

TEST_P(ApplyEnvironmentTest, MirrorsVisibleSections) {
	const EnvCase& c = GetParam();
	ScopedEnv env{{"LUMAROLL_ORIGINAL_SECTIONS", "stale"}};
	Settings settings;
	if (c.value)
		settings.setString("improvements.visible_sections", c.value);
	settings.applyEnvironment();
	const char* now = std::getenv("LUMAROLL_ORIGINAL_SECTIONS");
	if (c.expected)
		EXPECT_STREQ(now, c.expected);
	else
		EXPECT_EQ(now, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, ApplyEnvironmentTest,
						 testing::Values(EnvCase{"absent", nullptr, nullptr}, EnvCase{"on", "1", nullptr},
										 EnvCase{"off", "0", "1"}, EnvCase{"other", "yes", "1"}),
						 [](const testing::TestParamInfo<EnvCase>& info) { return info.param.name; });

} // namespace
