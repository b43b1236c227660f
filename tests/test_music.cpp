// The music performance opened on the sound effects' DirectSound object and closed again,
// at every failing step.
#include "music/music.h"
#include "tests/test_sfx_support.h"

using namespace sfxtest;

namespace {

class MusicTest : public SfxTest {
 protected:
  void SetUp() override {
    SfxTest::SetUp();
    mus_performance = nullptr;
    mus_loader = nullptr;
    for (MidiSlot& s : mus_table) s = MidiSlot{};
  }
  void TearDown() override {
    SfxTest::TearDown();
    EXPECT_EQ(seam_music_objects(), 0);
    EXPECT_EQ(seam_com_depth(), 0);
  }
};

TEST_F(MusicTest, HoldsTheSoundDeviceUntilItClosesDown) {
  mus_current = 7;
  ASSERT_EQ(mus_init(), 1);
  EXPECT_EQ(mus_current, -1);
  for (int i = 0; i < MUS_MAX_SLOTS; ++i) EXPECT_EQ(mus_table[i].id, i);
  // Sound closes first; the performance holds the device until it closes down.
  snd_shutdown();
  EXPECT_GT(seam_audio_device_rate(), 0);
  EXPECT_EQ(mus_release_slots(), 1);
  EXPECT_EQ(mus_shutdown(), 1);
  EXPECT_EQ(seam_audio_device_rate(), 0);
  EXPECT_EQ(mus_shutdown(), 1);  // a second close finds nothing to release
}

TEST_F(MusicTest, ShutdownAfterEveryFailingStepTouchesOnlyWhatExists) {
  struct Step {
    const char* op;
    int skip;
    bool performance;
  } steps[] = {{"CoInitialize", 0, false},
               {"CoCreateInstance", 0, false},
               {"IDirectMusicPerformance::Init", 0, true},
               {"IDirectMusicPerformance::AddPort", 0, true},
               {"CoCreateInstance", 1, true}};
  for (const Step& step : steps) {
    SCOPED_TRACE(std::string(step.op) + " skip " + std::to_string(step.skip));
    seam_reset();
    seam_trace_enable(true);
    seam_fail(step.op, E_FAIL, step.skip);
    EXPECT_EQ(mus_init(), 0);
    EXPECT_EQ(mus_performance != nullptr, step.performance);
    EXPECT_EQ(mus_loader, nullptr);
    EXPECT_EQ(mus_shutdown(), 1);
    EXPECT_EQ(seam_calls("IDirectMusicPerformance::CloseDown"), step.performance ? 1 : 0);
    EXPECT_EQ(seam_trace_lines().back(), "CoUninitialize");
    EXPECT_EQ(seam_music_objects(), 0);
    EXPECT_EQ(seam_com_depth(), 0);
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
    EXPECT_EQ(mus_table[i].reserved1 + mus_table[i].reserved2, 0u);
    EXPECT_EQ(mus_table[i].id, i);
  }
  const std::vector<std::string>& t = seam_trace_lines();
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0].rfind("Unload segment", 0) + t[1].rfind("Release segment", 0), 0u);
  EXPECT_EQ(mus_release_slots(), 1);
  EXPECT_EQ(seam_calls("IDirectMusicSegment::SetParam"), 2);
  EXPECT_EQ(mus_shutdown(), 1);
}

}  // namespace
