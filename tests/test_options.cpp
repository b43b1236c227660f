// The Linux build's options (command line, configuration file, which wins) and the search for
// the data folder. The environment's part of the search is run end to end by tests/e2e/cli.sh.
#include <gtest/gtest.h>
#include <pwd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/demo/demo.h"
#include "platform/host/keys.h"
#include "platform/host/paths.h"
#include "platform/port/datadir.h"
#include "platform/port/options.h"
#include "test_support.h"

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

TEST(Options, EveryOptionSetsItsFieldInEitherForm) {
  Parsed all = parse({"--data", "/d", "--window", "--scale", "3", "--integer-scale", "--smooth", "--nosound",
                      "--low-cpu", "--volume", "0", "--screenshot-dir", "/s", "--no-pause-unfocused"});
  ASSERT_EQ(all.action, PLAT_OPT_RUN) << all.error;
  EXPECT_EQ(all.o.data, "/d");
  EXPECT_TRUE(all.o.window && all.o.integer_scale && all.o.smooth && all.o.nosound && all.o.low_cpu);
  EXPECT_FALSE(all.o.pause_unfocused);
  EXPECT_EQ(all.o.scale, 3);
  EXPECT_EQ(all.o.volume, 0);
  EXPECT_EQ(all.o.screenshot_dir, "/s");
  Parsed pad =
      parse({"--no-gamepad", "--fire-toggle", "--map", "Space=LCtrl", "--map=pad:a=none", "--map=Z=left"});
  EXPECT_TRUE(pad.o.fire_toggle && !pad.o.gamepad);
  EXPECT_EQ(parse({"--lang", "EN_gb.UTF-8"}).o.lang, "en");  // kept as the language's code
  EXPECT_EQ(pad.o.key_map[DIK_SPACE], DIK_LCONTROL);         // every --map is kept
  EXPECT_EQ(pad.o.key_map[DIK_Z], DIK_LEFT);
  EXPECT_EQ(pad.o.pad_map[0], PLAT_MAP_NONE);
  // '=' forms; a switch turned off again; the last of --window and --fullscreen wins.
  Parsed eq = parse({"--data=/a b", "--scale=8", "--nosound", "--nosound=no", "--window", "--fullscreen"});
  ASSERT_EQ(eq.action, PLAT_OPT_RUN) << eq.error;
  EXPECT_EQ(eq.o.data, "/a b");
  EXPECT_EQ(eq.o.scale, 8);
  EXPECT_FALSE(eq.o.nosound || eq.o.window);
  EXPECT_EQ(parse({"-h"}).action, PLAT_OPT_HELP);
  EXPECT_EQ(parse({"--window", "--version", "--bogus"}).action, PLAT_OPT_VERSION);  // ends the parse

  // Each refused with its first word named; a space separates an option from its value.
  for (std::string bad :
       {"--bogus", "-w", "window", "--", "--data", "--data=", "--scale", "--scale 0", "--scale 9",
        "--scale 2x", "--scale=-1", "--window=maybe", "--volume=101", "--map=Spcae=LCtrl", "--map=Z=Fire",
        "--map=pad:z=A", "--map=Z", "--lang xx", "--lang="}) {
    const size_t space = bad.find(' ');
    const std::string arg = bad.substr(0, space),
                      value = space == std::string::npos ? "" : bad.substr(space + 1);
    Parsed p = space == std::string::npos ? parse({arg.c_str()}) : parse({arg.c_str(), value.c_str()});
    EXPECT_EQ(p.action, PLAT_OPT_USAGE) << bad;
    EXPECT_NE(p.error.find(arg.substr(0, arg.find('='))), std::string::npos) << p.error;  // names it
  }
  EXPECT_NE(parse({"--scale", "9"}).error.find("1 to 8"), std::string::npos);
  const std::string map_error = parse({"--map", "Spcae=LCtrl"}).error;  // lists the valid names
  EXPECT_NE(map_error.find("'Space'"), std::string::npos) << map_error;
  EXPECT_NE(map_error.find("LAlt none"), std::string::npos) << map_error;
  EXPECT_NE(parse({"--map", "pad:z=A"}).error.find("pad:leftshoulder"), std::string::npos);
  EXPECT_NE(parse({"--lang", "de"}).error.find("ru en"), std::string::npos);  // names the languages
}

TEST(Options, ConfigFileIsReadLineByLineAndTheCommandLineWins) {
  const char* conf =
      "# my settings\n\nscale 2\r\n  window  \ndata /srv/games/tarvellin data\nnosound yes\n"
      "frobnicate 3\nscale 99\nlow-cpu perhaps\nhelp\ndata\nsmooth\npause-unfocused no";  // no newline at the
                                                                                          // end
  Parsed p = parse({}, conf);
  ASSERT_EQ(p.action, PLAT_OPT_RUN);
  EXPECT_EQ(p.o.scale, 2);  // the bad 'scale 99' left it alone
  EXPECT_EQ(p.o.data, "/srv/games/tarvellin data");
  EXPECT_TRUE(p.o.window && p.o.nosound && p.o.smooth);
  EXPECT_FALSE(p.o.low_cpu || p.o.pause_unfocused);
  EXPECT_EQ(p.warnings,
            "line 7: 'frobnicate' unknown option; ignored\n"
            "line 8: 'scale' wants 1 to 8; ignored\n"
            "line 9: 'low-cpu' wants yes or no; ignored\n"
            "line 10: 'help' belongs on the command line only; ignored\n"
            "line 11: 'data' wants a value; ignored\n");

  Parsed cli =
      parse({"--scale", "3", "--fullscreen", "--nosound=no", "--data", "/mine", "--pause-unfocused"}, conf);
  ASSERT_EQ(cli.action, PLAT_OPT_RUN);
  EXPECT_EQ(cli.o.scale, 3);
  EXPECT_EQ(cli.o.data, "/mine");
  EXPECT_FALSE(cli.o.window || cli.o.nosound);
  EXPECT_TRUE(cli.o.pause_unfocused);
  EXPECT_TRUE(cli.o.smooth);  // from the file, not overridden
  EXPECT_EQ(parse({"--scale", "0"}, "scale 2\n").action, PLAT_OPT_USAGE);
  // Maps accumulate from the file and the command line; the file's switches take yes or no.
  Parsed maps = parse({"--map", "X=Right"}, "map Z=Left\ngamepad no\nfire-toggle yes\nlang ru\nlang xx\n");
  EXPECT_EQ(maps.o.lang, "ru");
  EXPECT_NE(maps.warnings.find("line 5: 'lang' is not a language"), std::string::npos) << maps.warnings;
  EXPECT_EQ(maps.o.key_map[DIK_Z], DIK_LEFT);
  EXPECT_EQ(maps.o.key_map[DIK_X], DIK_RIGHT);
  EXPECT_TRUE(maps.o.fire_toggle && !maps.o.gamepad);
}

// Lines as people write them: a byte-order mark, trailing comments, name=value. A key mapped on
// a second line names the first; a NUL byte refuses its line, not the rest of the file.
TEST(Options, ConfigFileTakesCommentsBomAndEqualsAndNamesItsBadLines) {
  const char conf[] =
      "\xEF\xBB\xBFvolume 50 # quieter\nnosound=yes\nscale = 2\t# two\ndata /srv/a#b\nmap Z=Left\n"
      "map z=Right\nmap Space=A # ok\nsmooth\0 yes\nwindow\n# map Z=Up\nmap pad:a=none\nmap pad:A=A\n";
  std::vector<const char*> argv = {"tarvellin"};
  PlatOptions o;
  std::string error, warnings;
  ASSERT_EQ(plat_parse_options(1, argv.data(), conf, sizeof conf - 1, &o, &error, &warnings), PLAT_OPT_RUN);
  EXPECT_EQ(o.volume, 50);
  EXPECT_TRUE(o.nosound && o.window);
  EXPECT_FALSE(o.smooth);
  EXPECT_EQ(o.scale, 2);
  EXPECT_EQ(o.data, "/srv/a#b");
  EXPECT_EQ(o.key_map[DIK_Z], DIK_LEFT);  // the first line's mapping stays
  EXPECT_EQ(o.key_map[DIK_SPACE], DIK_A);
  EXPECT_EQ(o.pad_map[0], PLAT_MAP_NONE);
  EXPECT_EQ(warnings,
            "line 6: 'map' maps 'z' again, already mapped on line 5; ignored\n"
            "line 8: holds a NUL byte; ignored\n"
            "line 12: 'map' maps 'pad:A' again, already mapped on line 11; ignored\n");
}

// "~" is the home folder in every path option, from the file and the command line alike
// (a shell leaves "--data=~/x" alone); a relative path is taken from the start folder.
TEST(Options, PathsExpandTheHomeFolderAndRelativeOnesStartWhereTheGameStarted) {
  EnvGuard home("HOME", "/home/me/");
  struct Restore {
    PlatDemoOptions demo = plat_demo_options;
    ~Restore() {
      plat_demo_options = demo;
      plat_remember_start_folder("");
    }
  } restore;
  Parsed p = parse({"--screenshot-dir=~/shots", "--record=~/r.demo", "--playdemo", "~"}, "data ~/games\n");
  ASSERT_EQ(p.action, PLAT_OPT_RUN) << p.error;
  EXPECT_EQ(p.o.data, "/home/me/games");
  EXPECT_EQ(p.o.screenshot_dir, "/home/me/shots");
  EXPECT_STREQ(plat_demo_options.record, "/home/me/r.demo");
  EXPECT_STREQ(plat_demo_options.play, "/home/me");
  EXPECT_EQ(parse({"--data=/a/~b"}).o.data, "/a/~b");
  if (const passwd* root = getpwnam("root")) {
    EXPECT_EQ(parse({"--data=~root/x"}).o.data, std::string(root->pw_dir) + "/x");
  }
  {
    EnvGuard none("HOME", nullptr);
    EXPECT_NE(parse({"--data=~/x"}).error.find("home folder"), std::string::npos);
    EXPECT_NE(parse({}, "screenshot-dir ~/s\n").warnings.find("line 1: 'screenshot-dir' starts with ~"),
              std::string::npos);
  }

  ASSERT_TRUE(plat_remember_start_folder("/started/here"));
  EXPECT_EQ(plat_from_start_folder("shots"), "/started/here/shots");
  EXPECT_EQ(plat_from_start_folder("././/a/./b"), "/started/here/a/./b");
  EXPECT_EQ(plat_from_start_folder("."), "/started/here");
  EXPECT_EQ(plat_from_start_folder("/abs"), "/abs");
}

// A scratch tree of candidate folders; dir() makes one (with its parents).
class DataSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(root.empty());
    p = {dir("cwd"), dir("prefix/bin"), dir("home"), dir("xdg_home"),
         dir("sys1") + ":relative::" + dir("sys2")};
  }
  std::string dir(const std::string& rel) {
    std::filesystem::create_directories(root + "/" + rel);
    return root + "/" + rel;
  }
  TempDir tmp;
  std::string root = tmp.path;
  PlatDataPlaces p;
};

TEST_F(DataSearch, CandidatesComeInOrderWithTheXdgDefaults) {
  std::vector<std::string> want = {
      "/cwd",           "/prefix/bin", "/prefix/share/tarvellin", "/xdg_home/tarvellin", "/sys1/tarvellin",
      "/sys2/tarvellin"};
  for (std::string& w : want) w = root + w;
  EXPECT_EQ(plat_data_candidates(p), want);
  // Unset or relative XDG folders fall back to their defaults; a folder is tried once.
  PlatDataPlaces d{"/opt/game", "/opt/game/", "/home/u", "relative", ""};
  EXPECT_EQ(plat_data_candidates(d),
            (std::vector<std::string>{"/opt/game", "/opt/share/tarvellin", "/home/u/.local/share/tarvellin",
                                      "/usr/local/share/tarvellin", "/usr/share/tarvellin"}));
}

TEST_F(DataSearch, TheFirstFolderHoldingImageOrSoundIsTaken) {
  std::vector<std::string> tried;
  EXPECT_EQ(plat_find_data(p, &tried), "");
  EXPECT_EQ(tried, plat_data_candidates(p));  // every folder named when none counts
  // A plain file named image does not count; a sound/ folder alone does.
  std::fclose(std::fopen(dir("sys2/tarvellin").append("/image").c_str(), "w"));
  EXPECT_EQ(plat_find_data(p, nullptr), "");
  dir("sys2/tarvellin/sound");
  EXPECT_EQ(plat_find_data(p, nullptr), root + "/sys2/tarvellin");
  // Earlier places win; letter case does not matter, as for the game's own files.
  for (const char* d :
       {"xdg_home/tarvellin/image", "prefix/share/tarvellin/IMAGE", "prefix/bin/image", "cwd/Sound"}) {
    dir(d);
    std::string want = root + "/" + std::string(d).substr(0, std::string(d).rfind('/'));
    EXPECT_EQ(plat_find_data(p, nullptr), want);
  }
}

}  // namespace
