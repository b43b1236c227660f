// The music performance opened on the sound effects' DirectSound object and closed again,
// at every failing step.
#include <gtest/gtest.h>

#include "music/music.h"
#include "tests/test_sfx_support.h"

using namespace sfxtest;

namespace {

class MusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sound_start();
    mus_performance = nullptr;
    mus_loader = nullptr;
    for (MidiSlot& s : mus_table) s = MidiSlot{};
    mus_current = -1;
  }
  void TearDown() override {
    sound_stop();
    ASSERT_EQ(seam_music_objects(), 0);
    ASSERT_EQ(seam_com_depth(), 0);
  }
};

TEST_F(MusicTest, OpensOnDirectSoundAndClosesInOrder) {
  mus_current = 7;
  seam_trace_enable(true);
  ASSERT_EQ(mus_init(), 1);
  EXPECT_NE(mus_performance, nullptr);
  EXPECT_NE(mus_loader, nullptr);
  EXPECT_EQ(mus_current, -1);
  for (int i = 0; i < MUS_MAX_SLOTS; ++i) {
    EXPECT_EQ(mus_table[i].segment, nullptr);
    EXPECT_EQ(mus_table[i].id, i);
  }
  EXPECT_EQ(seam_com_depth(), 1);
  // As at shutdown: sound first; the performance keeps the device until it closes down.
  snd_shutdown();
  EXPECT_GT(seam_audio_device_rate(), 0);
  EXPECT_EQ(mus_release_slots(), 1);
  EXPECT_EQ(mus_table[63].id, 63);
  EXPECT_EQ(mus_shutdown(), 1);
  EXPECT_EQ(seam_audio_device_rate(), 0);
  EXPECT_EQ(mus_shutdown(), 1);  // a second close finds nothing to release

  std::vector<std::string> want = {
      "CoInitialize", "CoCreateInstance performance", "IDirectMusicPerformance::Init",
      "CoCreateInstance loader", "IDirectMusicPerformance::Stop",
      "IDirectMusicPerformance::CloseDown", "Release DirectSound", "Release performance", "Release loader", "CoUninitialize", "CoUninitialize"};
  std::vector<std::string> got;
  for (const std::string& line : seam_trace_lines())
    if (line.find("buffer") == std::string::npos) got.push_back(line);
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i].rfind(want[i], 0), 0u) << got[i];
  EXPECT_NE(got[2].find("on DirectSound"), std::string::npos);
}

TEST_F(MusicTest, ShutdownAfterEveryFailingStepTouchesOnlyWhatExists) {
  struct Step {
    const char* op;
    int skip;
    bool performance, loader;
  } steps[] = {{"CoInitialize", 0, false, false},
               {"CoCreateInstance", 0, false, false},
               {"IDirectMusicPerformance::Init", 0, true, false},
               {"IDirectMusicPerformance::AddPort", 0, true, false},
               {"CoCreateInstance", 1, true, false}};
  for (const Step& step : steps) {
    SCOPED_TRACE(std::string(step.op) + " skip " + std::to_string(step.skip));
    seam_reset();
    seam_trace_enable(true);
    seam_fail(step.op, E_FAIL, step.skip);
    EXPECT_EQ(mus_init(), 0);
    EXPECT_EQ(mus_performance != nullptr, step.performance);
    EXPECT_EQ(mus_loader != nullptr, step.loader);
    EXPECT_EQ(mus_shutdown(), 1);
    EXPECT_EQ(seam_calls("IDirectMusicPerformance::Stop"), step.performance ? 1 : 0);
    EXPECT_EQ(seam_calls("IDirectMusicPerformance::CloseDown"), step.performance ? 1 : 0);
    EXPECT_EQ(seam_trace_lines().back(), "CoUninitialize");
    EXPECT_EQ(seam_music_objects(), 0);
    EXPECT_EQ(seam_com_depth(), 0);
    EXPECT_EQ(mus_performance, nullptr);
  }
}

TEST_F(MusicTest, HeldSegmentsAreUnloadedAndReleasedKeepingTheirIds) {
  ASSERT_EQ(mus_init(), 1);
  mus_table[3] = MidiSlot{seam_music_segment_create(), 11, 3, 12};
  mus_table[40] = MidiSlot{seam_music_segment_create(), 13, 40, 14};
  seam_trace_enable(true);
  EXPECT_EQ(mus_release_slots(), 1);
  for (int i : {3, 40}) {
    EXPECT_EQ(mus_table[i].segment, nullptr);
    EXPECT_EQ(mus_table[i].reserved1, 0u);
    EXPECT_EQ(mus_table[i].reserved2, 0u);
    EXPECT_EQ(mus_table[i].id, i);
  }
  const std::vector<std::string>& t = seam_trace_lines();
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0].rfind("Unload segment", 0), 0u);
  EXPECT_EQ(t[1].rfind("Release segment", 0), 0u);
  EXPECT_EQ(t[2].rfind("Unload segment", 0), 0u);
  EXPECT_EQ(seam_calls("IDirectMusicSegment::SetParam"), 2);
  EXPECT_EQ(mus_release_slots(), 1);
  EXPECT_EQ(seam_calls("IDirectMusicSegment::SetParam"), 2);
  EXPECT_EQ(mus_shutdown(), 1);

  // COM itself: objects need it started, and only the two music classes exist.
  void* obj = reinterpret_cast<void*>(1);
  EXPECT_EQ(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader, &obj),
            CO_E_NOTINITIALIZED);
  EXPECT_EQ(obj, nullptr);
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  EXPECT_EQ(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance, &obj),
            E_NOINTERFACE);
  EXPECT_EQ(CoCreateInstance(GUID_Unload, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader, &obj),
            REGDB_E_CLASSNOTREG);
  CoUninitialize();
  CoUninitialize();
}

}  // namespace
