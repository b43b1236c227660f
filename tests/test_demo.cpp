// Demos: the file format, and whole runs of the game recorded, replayed and timed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/overlay.h"
#include "app/winmain.h"
#include "app_world.h"
#include "game/background.h"
#include "game/player.h"
#include "gfx/display.h"
#include "music/music.h"
#include "platform/demo.h"
#include "platform/demo_format.h"
#include "platform/options.h"
#include "platform/seams_audio.h"
#include "platform/seams_internal.h"
#include "sfx/sound.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> encode(const std::vector<DemoPass>& passes, uint32_t frames) {
  DemoEncoder enc;
  DemoHeader h;
  std::snprintf(h.version, sizeof h.version, "9.9");
  h.seed = 0xDEADBEEF;
  h.state = 10;
  h.frame_delay = 30;
  enc.header(h);
  for (const DemoPass& p : passes) enc.pass(p);
  enc.end(DemoEnd{frames, 0x0123456789ABCDEFull});
  std::vector<uint8_t> bytes;
  enc.take(&bytes);
  return bytes;
}

std::string refusal(const std::vector<uint8_t>& bytes) {
  DemoDecoder dec;
  std::string why;
  return dec.open(bytes.data(), bytes.size(), &why) ? "" : why;
}

TEST(DemoFormat, PassesComeBackAsRecordedAndIdlePlayIsTiny) {
  std::vector<DemoPass> in(600);
  in[0].messages[0] = WM_PAINT;
  in[0].messages[1] = WM_CLOSE;
  in[0].message_count = 2;
  in[1].dx = -2147483647 - 1;
  in[1].dy = 2147483647;
  in[1].dz = -1;
  in[1].buttons[0] = 0x80;
  for (size_t i = 2; i < in.size(); ++i) std::memcpy(in[i].buttons, in[1].buttons, 4);
  for (size_t i = 3; i < in.size(); ++i) in[i].keys[DIK_LCONTROL] = 0x80;
  for (int k = 0; k < 256; ++k) in[4].keys[k] = (BYTE)k;  // every byte changes at once
  in[5].keys[DIK_LCONTROL] = 0x80;
  in[6].key_result = DIERR_NOTACQUIRED;
  in[6].mouse_result = DIERR_INPUTLOST;
  std::memcpy(in[6].keys, in[5].keys, 256);
  for (size_t i = 7; i < in.size(); ++i) in[i].escape = (SHORT)0x8000;
  std::vector<uint8_t> bytes = encode(in, (uint32_t)in.size() - 1);
  // Header 26 bytes, end 13, and one byte per 128 passes in which nothing changed.
  EXPECT_EQ(encode(std::vector<DemoPass>(10000), 9999).size(), 26u + 79u + 13u);

  DemoDecoder dec;
  std::string why;
  ASSERT_TRUE(dec.open(bytes.data(), bytes.size(), &why)) << why;
  EXPECT_STREQ(dec.header().version, "9.9");
  EXPECT_EQ(dec.header().seed, 0xDEADBEEFu);
  EXPECT_EQ(dec.passes(), in.size());
  EXPECT_EQ(dec.end().state_hash, 0x0123456789ABCDEFull);
  DemoPass out;
  for (size_t i = 0; i < in.size(); ++i) {
    ASSERT_TRUE(dec.next(&out)) << i;
    ASSERT_EQ(out.message_count, in[i].message_count) << i;
    EXPECT_EQ(std::memcmp(out.messages, in[i].messages, (size_t)out.message_count), 0) << i;
    EXPECT_EQ(std::memcmp(out.keys, in[i].keys, 256), 0) << i;
    EXPECT_EQ(std::memcmp(out.buttons, in[i].buttons, 4), 0) << i;
    EXPECT_EQ(out.dx, in[i].dx) << i;
    EXPECT_EQ(out.dy, in[i].dy) << i;
    EXPECT_EQ(out.dz, in[i].dz) << i;
    EXPECT_EQ(out.key_result, in[i].key_result) << i;
    EXPECT_EQ(out.mouse_result, in[i].mouse_result) << i;
    EXPECT_EQ(out.escape, in[i].escape) << i;
  }
  EXPECT_FALSE(dec.next(&out));
}

TEST(DemoFormat, RefusesWhatIsNotADemoOrIsBrokenBeforeItsEnd) {
  std::vector<DemoPass> passes(3);
  passes[1].keys[DIK_A] = 0x80;
  passes[1].dx = 300;
  const std::vector<uint8_t> good = encode(passes, 2);
  ASSERT_EQ(refusal(good), "");

  std::vector<uint8_t> bad = good;
  bad[0] = 'X';
  EXPECT_NE(refusal(bad).find("not a demo"), std::string::npos);
  bad = good;
  bad[8] = 2;  // format 2
  EXPECT_NE(refusal(bad).find("format 2"), std::string::npos);
  bad = good;
  bad.push_back(0);
  EXPECT_NE(refusal(bad).find("after the end"), std::string::npos);
  EXPECT_NE(refusal(encode(passes, 5)).find("frames"), std::string::npos);

  const size_t body = 8 + 2 + 1 + 3 + 12;  // magic, format, version "9.9", seed, state, delay
  bad = good;
  bad[body] = 0x41;  // end marker with a flag: no such record
  EXPECT_NE(refusal(bad).find("unknown record"), std::string::npos);
  std::vector<DemoPass> msg(2);
  msg[0].messages[0] = WM_PAINT;
  msg[0].message_count = 1;
  bad = encode(msg, 1);
  bad[body + 2] = 0x12;  // WM_QUIT is never queued by the system
  EXPECT_NE(refusal(bad).find("window message"), std::string::npos);
  std::vector<DemoPass> two(2);
  two[0].keys[1] = two[0].keys[2] = 0x80;
  bad = encode(two, 1);
  std::swap(bad[body + 2], bad[body + 4]);  // key indices 2 then 1
  EXPECT_NE(refusal(bad).find("out of order"), std::string::npos);
  std::vector<DemoPass> moved(2);
  moved[0].dx = 1;
  bad = encode(moved, 1);
  bad.insert(bad.begin() + (long)body + 1, {0xFF, 0xFF, 0xFF, 0xFF, 0x7F});  // 35 bits of lX
  EXPECT_NE(refusal(bad).find("out of range"), std::string::npos);
}

// ---------------------------------------------------------------- whole runs

struct GameRun {
  int status = -1;
  std::string out, err;
};

class DemoRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (fs::temp_directory_path() / ("tarvellin-demo-" + std::to_string(getpid()))).string();
    ASSERT_NE(getcwd(old_dir_, sizeof old_dir_), nullptr);
  }
  void TearDown() override {
    plat_demo_reset();
    seam_audio_manual(false);
    seam_reset();
    seam_windows_reset();
    std::remove(path_.c_str());
    game_background_index = game_background_offset = game_background_delay = 0;
  }

  // The program as main() runs it, on the generated pictures, the virtual clock from `clock`
  // and the injected devices as the test left them.
  GameRun run(std::vector<std::string> args, DWORD clock = 1000) {
    InjectedInput keep = seam_input;  // what the test injected survives the fixture's reset
    app_fixture_reset();
    seam_input = keep;
    seam_input.on = true;
    plat_demo_reset();
    world_new_program_run();
    seam_clock_virtual(clock, 1);
    // Records the start-up leaves as they were at program start (the ship's speeds, banking).
    game_player = PlayerShip{};
    game_background_index = game_background_offset = game_background_delay = 0;
    args.insert(args.begin(), "tarvellin");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    GameRun r;
    // Entered before the output is captured, so that a failure here is seen.
    EXPECT_EQ(chdir(world_data_dir().c_str()), 0) << world_data_dir();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    PlatOptions opts;
    std::string error, warnings;
    if (plat_parse_options((int)argv.size(), argv.data(), nullptr, &opts, &error, &warnings) != PLAT_OPT_RUN)
      r.status = 64;
    if (r.status == -1) r.status = plat_demo_begin();
    if (r.status == 0) {
      static HINSTANCE__ instance;
      r.status = WinMain(&instance, nullptr, (LPSTR) "", SW_SHOWDEFAULT);
      r.status = plat_demo_end(r.status);
    }
    // The program's font lives until its process ends; each run here gives its own back.
    if (game_font) DeleteObject(game_font);
    game_font = nullptr;
    r.out = testing::internal::GetCapturedStdout();
    r.err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(chdir(old_dir_), 0);
    return r;
  }
  static std::string end_state(const std::string& out) {
    size_t at = out.rfind("end-state ");
    return at == std::string::npos ? "" : out.substr(at + 10, 16);
  }
  void write(const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
  }

  std::string path_;
  char old_dir_[4096] = {};
};

// Start from the menu, fire while sweeping right then left, then Escape.
std::vector<DemoPass> scripted_play() {
  std::vector<DemoPass> p(2);
  p[0].dx = -100;  // the cursor from (612, 384) onto Start
  p[0].dy = -10;
  p[1].buttons[0] = 0x80;
  for (int i = 0; i < 80; ++i) {
    DemoPass q;
    q.keys[DIK_LCONTROL] = 0x80;
    q.keys[i < 40 ? DIK_RIGHT : DIK_LEFT] = 0x80;
    p.push_back(q);
  }
  p.emplace_back();
  p.back().keys[DIK_ESCAPE] = 0x80;
  // The quit posted, WM_DESTROY taken with one more frame, then WM_QUIT.
  p.push_back(p.back());
  p.push_back(p.back());
  return p;
}

TEST_F(DemoRunTest, ARecordedRunReplaysToTheSameEndWhateverTheClock) {
  // Mouse moved onto Start and held, left Alt held: Start is clicked in frame 2, and in play
  // left Alt quits.
  seam_mouse_move(-100, -10);
  seam_mouse_button(0, true);
  seam_key(DIK_LCONTROL, true);
  seam_key(DIK_LMENU, true);
  const InjectedInput held = seam_input;
  GameRun rec = run({"--record", path_, "--hash-frames", "2,3"}, 1000);
  ASSERT_EQ(rec.status, 0) << rec.err;
  ASSERT_EQ(end_state(rec.out).size(), 16u) << rec.out;
  EXPECT_EQ(game_state, GAME_STATE_PLAY);
  EXPECT_NE(rec.out.find("frame 2 "), std::string::npos);
  const int32_t laser_y = game_player.lasers[0].y;

  // Nothing injected now: the replay's input is the demo's; its seed is not the clock's.
  seam_input = InjectedInput{};
  GameRun play = run({"--playdemo", path_, "--hash-frames", "2,3"}, 777777);
  EXPECT_EQ(play.status, 0) << play.err;
  EXPECT_EQ(play.out, rec.out);
  EXPECT_EQ(play.err, "");
  EXPECT_EQ(game_player.lasers[0].y, laser_y);
  GameRun timed = run({"--timedemo", path_}, 5);
  EXPECT_EQ(timed.status, 0);
  EXPECT_NE(timed.out.find("timedemo: 3 frames in "), std::string::npos) << timed.out;
  EXPECT_EQ(end_state(timed.out), end_state(rec.out));

  // The same input live on another clock: another seed, other enemies, another end.
  seam_input = held;
  GameRun other = run({"--record", path_}, 777777);
  EXPECT_NE(end_state(other.out), end_state(rec.out));
}

TEST_F(DemoRunTest, AReplayDrivesEveryFrameAndContinueHandsOverAtTheQuit) {
  std::vector<DemoPass> script = scripted_play();
  write(encode(script, (uint32_t)script.size() - 1));
  GameRun paced = run({"--playdemo", path_});
  EXPECT_EQ(paced.status, 0);
  EXPECT_EQ(seam_calls("PeekMessageA"), (int)script.size());
  EXPECT_EQ(game_state, GAME_STATE_PLAY);
  bool fired = false;
  for (const Laser& l : game_player.lasers) fired |= l.active != 0;
  EXPECT_TRUE(fired);
  EXPECT_NE(paced.err.find("differs from its recording"), std::string::npos)
      << "the script's end hash is made up";
  GameRun timed = run({"--timedemo", path_}, 123);
  EXPECT_EQ(end_state(timed.out), end_state(paced.out));

  // Continuing: the demo's Escape does not end the game; the player's left Alt then does.
  seam_key(DIK_LMENU, true);
  GameRun cont = run({"--playdemo", path_, "--playdemo-continue"});
  EXPECT_EQ(cont.status, 0);
  EXPECT_NE(cont.err.find("the game is yours"), std::string::npos);
  // Passes 1 to 83 replayed; 84 live (left Alt posts the quit), 85 takes it, 86 ends the loop.
  EXPECT_EQ(seam_calls("PeekMessageA"), (int)script.size() + 1);
}

TEST_F(DemoRunTest, ADemoCutAnywherePlaysItsCompletePassesOrIsRefused) {
  // As a crash leaves it: cut at every byte. With its header whole, a cut demo holds the passes
  // as recorded, and plays them to the state a whole demo of those passes ends in (the game is
  // run once for each count of frames).
  const std::vector<DemoPass> script = scripted_play();
  const uint32_t all = (uint32_t)script.size() - 1;  // the script quits by itself after these
  const std::vector<uint8_t> whole = encode(script, all);
  const size_t header = 8 + 2 + 1 + 3 + 12;
  uint32_t last = 0;
  for (size_t n = 0; n < whole.size(); ++n) {
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + (long)n);  // ASan sees past it
    DemoDecoder dec;
    std::string why;
    ASSERT_EQ(dec.open(cut.data(), n, &why), n >= header) << n << " bytes: " << why;
    if (n < header) continue;  // refused as truncated in its header; 65 as BadDemos shows
    DemoPass p;
    uint32_t i = 0;
    for (; dec.next(&p); ++i) {
      ASSERT_LT(i, script.size());
      EXPECT_EQ(p.message_count, script[i].message_count);
      EXPECT_EQ(std::memcmp(p.keys, script[i].keys, 256), 0) << n << " bytes, pass " << i;
      EXPECT_EQ(std::memcmp(p.buttons, script[i].buttons, 4), 0) << n << " bytes, pass " << i;
      EXPECT_EQ(p.dx, script[i].dx);
    }
    EXPECT_TRUE(dec.cut_off());
    EXPECT_EQ(i, dec.passes());
    // Only the end record lost: nothing tells that the last pass ran no frame, but the game quits
    // by itself there.
    const uint32_t frames = dec.end().frames, played = std::min(frames, all);
    ASSERT_GE(played, last) << n;
    if (played == last && n > header) continue;
    last = played;
    write(encode(std::vector<DemoPass>(script.begin(), script.begin() + played + 1), played));
    const std::string want = end_state(run({"--timedemo", path_}).out);
    write(cut);
    GameRun r = run({n % 2 ? "--timedemo" : "--playdemo", path_});
    EXPECT_EQ(r.status, 0) << n;
    EXPECT_NE(r.err.find("cut off after " + std::to_string(frames) + " frames"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("differs"), std::string::npos) << r.err;
    EXPECT_EQ(seam_calls("PeekMessageA"), (int)played + 1) << n;
    EXPECT_EQ(end_state(r.out), want) << n << " bytes, " << played << " frames";
  }
  EXPECT_EQ(last, all);
  // Handed over where the recording stops; the player's left Alt then quits.
  write(std::vector<uint8_t>(whole.begin(), whole.end() - 20));
  seam_key(DIK_LMENU, true);
  GameRun cont = run({"--playdemo", path_, "--playdemo-continue"});
  EXPECT_NE(cont.err.find("the game is yours"), std::string::npos) << cont.err;
}

TEST_F(DemoRunTest, BadDemosAndOptionsAreRefusedBeforeTheGameStarts) {
  write({'T', 'R', 'V', 'L', 'D', 'E', 'M', 'O', 1, 0});
  GameRun r = run({"--playdemo", path_});
  EXPECT_EQ(r.status, 65);
  EXPECT_NE(r.err.find("not a usable demo: truncated"), std::string::npos) << r.err;
  EXPECT_EQ(seam_calls("CreateWindowExA"), 0);
  EXPECT_EQ(run({"--timedemo", path_ + ".none"}).status, 66);
  EXPECT_EQ(run({"--record", "/nonexistent/dir/x.demo"}).status, 73);
  EXPECT_EQ(run({"--record", path_, "--playdemo", path_}).status, 64);
  EXPECT_EQ(run({"--playdemo-continue"}).status, 64);
  EXPECT_EQ(run({"--hash-frames", "3,x"}).status, 64);
  EXPECT_EQ(run({"--playdemo"}).status, 64);

  // A demo of a build that opens elsewhere would replay nonsense.
  std::vector<DemoPass> one(1);
  std::vector<uint8_t> bytes = encode(one, 0);
  bytes[8 + 2 + 1 + 3 + 4] = 12;  // opening state: play
  write(bytes);
  r = run({"--playdemo", path_});
  EXPECT_EQ(r.status, 65);
  EXPECT_NE(r.err.find("opens in state 12"), std::string::npos) << r.err;
}

TEST_F(DemoRunTest, AWriteErrorStopsTheRecordingOnceAndThePlayGoesOn) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  seam_key(DIK_ESCAPE, true);  // Escape in the menu: quits after the first frame
  GameRun r = run({"--record", "/dev/full"});
  EXPECT_EQ(r.status, 0);
  size_t first = r.err.find("cannot write the demo");
  ASSERT_NE(first, std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("cannot write", first + 1), std::string::npos) << r.err;
  EXPECT_EQ(end_state(r.out).size(), 16u);
  EXPECT_GE(seam_calls("PeekMessageA"), 3);
}

}  // namespace
