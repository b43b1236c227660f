// The sound table's operations, the silent game without a device, and a sound through the
// whole path to SDL's disk driver.
#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/port/options.h"
#include "tests/test_sfx_support.h"

using namespace sfxtest;

namespace {

using SoundTest = SfxTest;

TEST_F(SoundTest, IdsWithoutABufferAndFailingCallsGiveTheirResults) {
  int32_t id = load(constant(2205, 20));
  int32_t gone = load(constant(500, 20));
  snd_delete(gone);
  for (int32_t bad : {-1, 256, gone, 5}) {
    EXPECT_EQ(snd_play(bad, 0) + snd_stop(bad) + snd_delete(bad), 3) << bad;
    EXPECT_EQ(snd_set_frequency(bad, 22050), 0);
    EXPECT_EQ(snd_get_status(bad), -1);
    EXPECT_EQ(snd_length_ms(bad), 0u);
  }
  seam_fail("IDirectSoundBuffer::SetCurrentPosition", DSERR_INVALIDPARAM);
  EXPECT_EQ(snd_play(id, 0), 0);
  seam_fail("IDirectSoundBuffer::Play", DSERR_GENERIC);
  EXPECT_EQ(snd_play(id, 0), 0);
  EXPECT_EQ(snd_play(id, 0), 1);
  seam_fail("IDirectSoundBuffer::GetStatus", DSERR_INVALIDPARAM);
  EXPECT_EQ(snd_get_status(id), 0);
  EXPECT_EQ(snd_get_status(id), DSBSTATUS_PLAYING);
  seam_fail("IDirectSoundBuffer::SetFrequency", S_FALSE);  // only exactly DS_OK counts
  EXPECT_EQ(snd_set_frequency(id, 22050), 0);
  EXPECT_EQ(snd_set_frequency(id, 50), 0);
  EXPECT_EQ(snd_set_frequency(id, 44100), 1);
  EXPECT_EQ(snd_length_ms(id), 50u);
}

TEST_F(SoundTest, SetUpIsTriedOnceAndASecondShutdownIsHarmless) {
  load(constant(300, 9));
  load(constant(300, 9));
  snd_delete_all();
  snd_shutdown();
  EXPECT_EQ(snd_table[1].in_use, 1);
  EXPECT_EQ(snd_shutdown(), 1);  // nothing left to release twice

  // SetCooperativeLevel failing ends snd_init with 0; creation is not tried again.
  seam_reset();
  snd_first_call = 1;
  seam_fail("IDirectSound::SetCooperativeLevel", DSERR_INVALIDPARAM);
  EXPECT_EQ(snd_init(), 0);
  EXPECT_EQ(snd_init(), 1);
  EXPECT_EQ(seam_calls("DirectSoundCreate"), 1);
}

// No device to open, or --nosound: no device is opened, loads give -1 and plays do nothing.
TEST_F(SoundTest, WithoutADeviceTheGameRunsSilently) {
  for (bool nosound : {false, true}) {
    SCOPED_TRACE(nosound);
    sound_stop();
    EnvGuard driver("SDL_AUDIODRIVER", nosound ? "dummy" : "no-such-driver");
    plat_options.nosound = nosound;
    sound_start();
    plat_options.nosound = false;  // restored at once: snd_init has run
    EXPECT_EQ(snd_direct_sound, nullptr);
    EXPECT_EQ(seam_audio_device_rate(), 0);
    EXPECT_EQ(snd_init(), 1);  // not tried again
    EXPECT_EQ(seam_calls("DirectSoundCreate"), 1);
    int32_t id = load(constant(300, 9));
    EXPECT_EQ(id, -1);
    EXPECT_EQ(snd_table[0].in_use, 1);  // as for a failed buffer creation
    EXPECT_EQ(snd_play(id, 0), 1);
    EXPECT_EQ(snd_get_status(id), -1);
  }
}

TEST_F(SoundTest, APlayedSoundReachesTheDiskDriversRecording) {
  sound_stop();
  std::string rec = dir.path + "/played.raw";
  EnvGuard driver("SDL_AUDIODRIVER", "disk"), file("SDL_DISKAUDIOFILE", rec.c_str());
  sound_start();
  seam_audio_manual(false);
  const int rate = seam_audio_device_rate(), channels = seam_audio_device_channels();
  ASSERT_GT(rate, 0);
  int32_t id = load(square(5512, 50, 90));  // 250 ms of 441 Hz
  ASSERT_EQ(snd_play(id, 0), 1);
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while ((snd_get_status(id) & DSBSTATUS_PLAYING) && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(snd_get_status(id), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  sound_stop();  // closes the device and its file

  std::ifstream in(rec, std::ios::binary);
  std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const int16_t* s = reinterpret_cast<const int16_t*>(raw.data());
  std::vector<int16_t> left;
  for (size_t i = 0; i + channels <= raw.size() / 2; i += channels) {
    for (int c = 1; c < channels; ++c) ASSERT_EQ(s[i + c], c < 2 ? s[i] : 0);  // front left and right only
    left.push_back(s[i]);
  }
  Span span = span_of(left);
  ASSERT_GE(span.first, 0) << "the recording is silent";
  EXPECT_NEAR(span.last - span.first, rate / 4, 3);
  EXPECT_NEAR(span.crossings, 2 * 110, 3);
  EXPECT_EQ(*std::max_element(left.begin(), left.end()), 90 * 256);
}

}  // namespace
