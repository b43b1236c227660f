// The sound table's operations, the silent game without a device, and a sound through the
// whole path to SDL's disk driver.
#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/options.h"
#include "tests/test_sfx_support.h"

using namespace sfxtest;

namespace {

using SoundTest = SfxTest;

// Sets an environment variable for the test's length; the suites run on the dummy driver.
struct EnvGuard {
  std::string name;
  EnvGuard(const char* n, const char* value) : name(n) { setenv(n, value, 1); }
  ~EnvGuard() { name == "SDL_AUDIODRIVER" ? setenv(name.c_str(), "dummy", 1) : unsetenv(name.c_str()); }
};

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

TEST_F(SoundTest, StartUpAndShutdownCreateAndReleaseInOrder) {
  sound_stop();
  seam_trace_enable(true);
  snd_first_call = 1;
  ASSERT_EQ(snd_init(), 1);
  int32_t a = load(constant(300, 9));
  load(constant(300, 9));
  snd_play(a, 0);
  snd_stop_all();
  snd_delete_all();
  snd_shutdown();
  EXPECT_EQ(snd_table[1].in_use, 1);
  EXPECT_EQ(snd_shutdown(), 1);  // nothing left to release twice
  const char* want[] = {"DirectSoundCreate", "CreateSoundBuffer 300", "CreateSoundBuffer 300",
                        "Play sound buffer", "Release sound buffer", "Release sound buffer",
                        "Release DirectSound"};
  std::vector<std::string> got;
  for (const std::string& line : seam_trace_lines())
    if (line.rfind("mmio", 0) != 0) got.push_back(line);
  ASSERT_EQ(got.size(), std::size(want));
  for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i].rfind(want[i], 0), 0u) << got[i];

  // SetCooperativeLevel failing ends snd_init with 0; creation is not tried again.
  seam_reset();
  snd_first_call = 1;
  seam_fail("IDirectSound::SetCooperativeLevel", DSERR_INVALIDPARAM);
  EXPECT_EQ(snd_init(), 0);
  EXPECT_EQ(snd_init(), 1);
  EXPECT_EQ(seam_calls("DirectSoundCreate"), 1);
}

TEST_F(SoundTest, WithoutAnAudioDeviceTheGameRunsSilently) {
  sound_stop();
  EnvGuard driver("SDL_AUDIODRIVER", "no-such-driver");
  sound_start();
  EXPECT_EQ(snd_direct_sound, nullptr);
  EXPECT_EQ(snd_init(), 1);  // not tried again
  EXPECT_EQ(seam_calls("DirectSoundCreate"), 1);
  int32_t id = load(constant(300, 9));
  EXPECT_EQ(id, -1);
  EXPECT_EQ(snd_table[0].in_use, 1);  // as for a failed buffer creation
  EXPECT_EQ(snd_play(id, 0), 1);
  EXPECT_EQ(snd_get_status(id), -1);
}

TEST_F(SoundTest, NoSoundOpensNoDeviceAndBehavesAsWithoutOne) {
  sound_stop();
  plat_options.nosound = true;
  sound_start();
  plat_options.nosound = false;  // restored at once: snd_init has run
  EXPECT_EQ(snd_direct_sound, nullptr);
  EXPECT_EQ(seam_audio_device_rate(), 0);  // no device was opened
  int32_t id = load(constant(300, 9));
  EXPECT_EQ(id, -1);
  EXPECT_EQ(snd_play(id, 0), 1);
  EXPECT_EQ(snd_get_status(id), -1);
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
