// The Linux build's options (command line, configuration file, which wins) and the search for
// the data folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/datadir.h"
#include "platform/options.h"

namespace {

struct Parsed {
  PlatOptAction action;
  PlatOptions o;
  std::string error, warnings;
};

Parsed parse(std::vector<const char*> args, const char* config = nullptr) {
  args.insert(args.begin(), "tarvellin");
  Parsed p;
  p.action = plat_parse_options((int)args.size(), args.data(), config, &p.o, &p.error, &p.warnings);
  return p;
}

TEST(Options, EveryOptionSetsItsFieldAndNothingElse) {
  Parsed none = parse({});
  EXPECT_EQ(none.action, PLAT_OPT_RUN);
  EXPECT_TRUE(none.o.data.empty());
  EXPECT_FALSE(none.o.window || none.o.integer_scale || none.o.smooth || none.o.nosound || none.o.low_cpu);
  EXPECT_EQ(none.o.scale, 1);

  Parsed all = parse(
      {"--data", "/d", "--window", "--scale", "3", "--integer-scale", "--smooth", "--nosound", "--low-cpu"});
  ASSERT_EQ(all.action, PLAT_OPT_RUN) << all.error;
  EXPECT_EQ(all.o.data, "/d");
  EXPECT_TRUE(all.o.window && all.o.integer_scale && all.o.smooth && all.o.nosound && all.o.low_cpu);
  EXPECT_EQ(all.o.scale, 3);

  // The '=' forms, switches turned off again, and the last of --window / --fullscreen wins.
  Parsed eq = parse(
      {"--data=/a b", "--scale=8", "--nosound", "--nosound=no", "--low-cpu=yes", "--window", "--fullscreen"});
  ASSERT_EQ(eq.action, PLAT_OPT_RUN) << eq.error;
  EXPECT_EQ(eq.o.data, "/a b");
  EXPECT_EQ(eq.o.scale, 8);
  EXPECT_FALSE(eq.o.nosound);
  EXPECT_TRUE(eq.o.low_cpu);
  EXPECT_FALSE(eq.o.window);

  EXPECT_EQ(parse({"--help"}).action, PLAT_OPT_HELP);
  EXPECT_EQ(parse({"-h"}).action, PLAT_OPT_HELP);
  EXPECT_EQ(parse({"--window", "--version", "--bogus"}).action, PLAT_OPT_VERSION);  // ends the parse
}

TEST(Options, BadCommandLinesAreUsageErrorsThatSayWhat) {
  const std::vector<std::vector<const char*>> bad = {
      {"--bogus"},        {"-w"},           {"window"},        {"--"},          {"--data"},     {"--scale"},
      {"--scale", "0"},   {"--scale", "9"}, {"--scale", "2x"}, {"--scale", ""}, {"--scale=-1"}, {"--data="},
      {"--window=maybe"},
  };
  for (const auto& args : bad) {
    Parsed p = parse(args);
    std::string what = args[0];
    EXPECT_EQ(p.action, PLAT_OPT_USAGE) << what;
    EXPECT_FALSE(p.error.empty()) << what;
  }
  EXPECT_NE(parse({"--scale", "9"}).error.find("1 to 8"), std::string::npos);
  EXPECT_NE(parse({"--bogus"}).error.find("--bogus"), std::string::npos);
  EXPECT_NE(parse({"--data"}).error.find("DIR"), std::string::npos);
}

TEST(Options, ConfigFileIsReadLineByLineAndTheCommandLineWins) {
  const char* conf =
      "# my settings\n"
      "\n"
      "scale 2\r\n"
      "  window  \n"
      "data /srv/games/tarvellin data\n"
      "nosound yes\n"
      "frobnicate 3\n"
      "scale 99\n"
      "low-cpu perhaps\n"
      "help\n"
      "data\n"
      "smooth";  // no newline at the end
  Parsed p = parse({}, conf);
  ASSERT_EQ(p.action, PLAT_OPT_RUN);
  EXPECT_EQ(p.o.scale, 2);  // the bad 'scale 99' left it alone
  EXPECT_TRUE(p.o.window);
  EXPECT_EQ(p.o.data, "/srv/games/tarvellin data");
  EXPECT_TRUE(p.o.nosound && p.o.smooth);
  EXPECT_FALSE(p.o.low_cpu);
  EXPECT_EQ(p.warnings,
            "line 7: 'frobnicate' unknown option; ignored\n"
            "line 8: 'scale' wants a whole number from 1 to 8; ignored\n"
            "line 9: 'low-cpu' wants yes or no; ignored\n"
            "line 10: 'help' belongs on the command line only; ignored\n"
            "line 11: 'data' wants a value; ignored\n");

  Parsed cli = parse({"--scale", "3", "--fullscreen", "--nosound=no", "--data", "/mine"}, conf);
  ASSERT_EQ(cli.action, PLAT_OPT_RUN);
  EXPECT_EQ(cli.o.scale, 3);
  EXPECT_FALSE(cli.o.window);
  EXPECT_FALSE(cli.o.nosound);
  EXPECT_EQ(cli.o.data, "/mine");
  EXPECT_TRUE(cli.o.smooth);  // from the file, not overridden

  // A bad command line is an error even when the file was fine; a bad file never is.
  EXPECT_EQ(parse({"--scale", "0"}, "scale 2\n").action, PLAT_OPT_USAGE);
  EXPECT_EQ(parse({}, "\x01\x02 garbage\n").action, PLAT_OPT_RUN);
}

// A scratch tree with folders that count as data (image/ or sound/ inside) and ones that do not.
class DataSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tarvellin_data_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root = tmpl;
  }
  void TearDown() override { (void)!std::system(("rm -rf '" + root + "'").c_str()); }
  std::string dir(const std::string& rel) {
    std::string path = root;
    for (size_t at = 0; at <= rel.size();) {
      size_t slash = rel.find('/', at);
      if (slash == std::string::npos) slash = rel.size();
      path += "/" + rel.substr(at, slash - at);
      mkdir(path.c_str(), 0755);
      at = slash + 1;
    }
    return path;
  }
  PlatDataPlaces places() {
    PlatDataPlaces p;
    p.cwd = dir("cwd");
    p.exe_dir = dir("prefix/bin");
    p.home = dir("home");
    p.xdg_data_home = dir("xdg_home");
    p.xdg_data_dirs = dir("sys1") + ":relative/ignored::" + dir("sys2");
    return p;
  }
  std::string root;
};

TEST_F(DataSearch, CandidatesComeInOrderWithTheXdgDefaults) {
  PlatDataPlaces p = places();
  std::vector<std::string> want = {root + "/cwd",
                                   root + "/prefix/bin",
                                   root + "/prefix/share/tarvellin",
                                   root + "/xdg_home/tarvellin",
                                   root + "/sys1/tarvellin",
                                   root + "/sys2/tarvellin"};
  EXPECT_EQ(plat_data_candidates(p), want);

  // Unset (or relative) XDG folders fall back to their defaults; a folder is tried once.
  PlatDataPlaces d;
  d.cwd = "/opt/game";
  d.exe_dir = "/opt/game";
  d.home = "/home/u";
  d.xdg_data_home = "relative";
  std::vector<std::string> defaults = {"/opt/game", "/opt/share/tarvellin", "/home/u/.local/share/tarvellin",
                                       "/usr/local/share/tarvellin", "/usr/share/tarvellin"};
  EXPECT_EQ(plat_data_candidates(d), defaults);
  d.exe_dir = "/usr/bin/";
  EXPECT_EQ(plat_data_candidates(d)[2], "/usr/share/tarvellin");
}

TEST_F(DataSearch, TheFirstFolderHoldingImageOrSoundIsTaken) {
  PlatDataPlaces p = places();
  std::vector<std::string> tried;
  EXPECT_EQ(plat_find_data(p, &tried), "");
  EXPECT_EQ(tried, plat_data_candidates(p));  // every folder named when none counts

  // A plain file named image does not count; a sound/ folder alone does.
  dir("sys2/tarvellin");
  FILE* f = std::fopen((root + "/sys2/tarvellin/image").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_EQ(plat_find_data(p, nullptr), "");
  dir("sys2/tarvellin/sound");
  EXPECT_EQ(plat_find_data(p, nullptr), root + "/sys2/tarvellin");

  // Earlier places win, one after another; letter case does not matter, as for the game's files.
  dir("xdg_home/tarvellin/image");
  EXPECT_EQ(plat_find_data(p, nullptr), root + "/xdg_home/tarvellin");
  dir("prefix/share/tarvellin/IMAGE");
  EXPECT_EQ(plat_find_data(p, nullptr), root + "/prefix/share/tarvellin");
  dir("prefix/bin/image");
  EXPECT_EQ(plat_find_data(p, nullptr), root + "/prefix/bin");
  dir("cwd/Sound");
  tried.clear();
  EXPECT_EQ(plat_find_data(p, &tried), root + "/cwd");
  EXPECT_EQ(tried.size(), 1u);
}

TEST_F(DataSearch, PlacesComeFromTheProcessAndItsEnvironment) {
  struct Saved {
    const char* name;
    std::string value;
    bool set;
  } saved[] = {{"HOME", "", false}, {"XDG_DATA_HOME", "", false}, {"XDG_DATA_DIRS", "", false}};
  for (Saved& s : saved)
    if (const char* v = std::getenv(s.name)) s.value = v, s.set = true;
  std::string cwd = dir("run");
  char old_cwd[4096];
  ASSERT_NE(getcwd(old_cwd, sizeof old_cwd), nullptr);
  ASSERT_EQ(chdir(cwd.c_str()), 0);
  setenv("HOME", "/home/someone", 1);
  setenv("XDG_DATA_HOME", "/xdg/home", 1);
  unsetenv("XDG_DATA_DIRS");

  PlatDataPlaces p = plat_data_places_from_env();
  EXPECT_EQ(p.cwd, cwd);
  EXPECT_EQ(p.home, "/home/someone");
  EXPECT_EQ(p.xdg_data_home, "/xdg/home");
  EXPECT_EQ(p.xdg_data_dirs, "");
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  ASSERT_GT(n, 0);
  exe[n] = 0;
  EXPECT_EQ(p.exe_dir + "/tarvellin_tests", exe);

  ASSERT_EQ(chdir(old_cwd), 0);
  for (Saved& s : saved) s.set ? (void)setenv(s.name, s.value.c_str(), 1) : (void)unsetenv(s.name);
}

}  // namespace
