// The sound table's operations, the silent game without a device, and a sound through the
// whole path to SDL's disk driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "tests/test_sfx_support.h"

using namespace sfxtest;

namespace {

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override { sound_start(); }
  void TearDown() override { sound_stop(); }
  TempDir dir;

  int32_t load(const Bytes& samples) {
    int32_t id = snd_load_wav(dir.write("s.wav", wav(samples)).c_str(), SND_LOAD_FLAGS);
    snd_set_frequency(id, SND_PLAY_RATE);
    return id;
  }
};

// Restores an environment variable when the test ends.
struct EnvGuard {
  std::string name, old;
  bool had;
  EnvGuard(const char* n, const char* value) : name(n) {
    const char* o = getenv(n);
    had = o != nullptr;
    if (had) old = o;
    setenv(n, value, 1);
  }
  ~EnvGuard() {
    if (had)
      setenv(name.c_str(), old.c_str(), 1);
    else
      unsetenv(name.c_str());
  }
};

TEST_F(SoundTest, OperationsOnIdsWithoutABufferDoNothing) {
  int32_t id = load(constant(500, 20));
  snd_delete(id);
  for (int32_t bad : {-1, 256, 100000, id, 5}) {
    EXPECT_EQ(snd_play(bad, 0), 1) << bad;
    EXPECT_EQ(snd_stop(bad), 1);
    EXPECT_EQ(snd_delete(bad), 1);
    EXPECT_EQ(snd_set_frequency(bad, 22050), 0);
    EXPECT_EQ(snd_get_status(bad), -1);
    EXPECT_EQ(snd_length_ms(bad), 0u);
  }
  EXPECT_EQ(seam_calls("IDirectSoundBuffer::Play"), 0);
}

TEST_F(SoundTest, FailingBufferCallsGiveTheirResults) {
  int32_t id = load(constant(2205, 20));
  EXPECT_EQ(snd_length_ms(id), 100u);
  seam_fail("IDirectSoundBuffer::SetCurrentPosition", DSERR_INVALIDPARAM);
  EXPECT_EQ(snd_play(id, 0), 0);
  EXPECT_EQ(seam_calls("IDirectSoundBuffer::Play"), 0);
  seam_fail("IDirectSoundBuffer::Play", DSERR_GENERIC);
  EXPECT_EQ(snd_play(id, 0), 0);
  EXPECT_EQ(snd_play(id, 0), 1);
  seam_fail("IDirectSoundBuffer::GetStatus", DSERR_INVALIDPARAM);
  EXPECT_EQ(snd_get_status(id), 0);
  EXPECT_EQ(snd_get_status(id), DSBSTATUS_PLAYING);
  // Only exactly DS_OK counts for the frequency.
  seam_fail("IDirectSoundBuffer::SetFrequency", S_FALSE);
  EXPECT_EQ(snd_set_frequency(id, 22050), 0);
  EXPECT_EQ(snd_set_frequency(id, 50), 0);
  EXPECT_EQ(snd_set_frequency(id, 44100), 1);
  EXPECT_EQ(snd_length_ms(id), 50u);
  snd_stop_all();
  EXPECT_EQ(snd_get_status(id), 0);
}

TEST_F(SoundTest, StartUpAndShutdownCreateAndReleaseInOrder) {
  sound_stop();
  seam_trace_enable(true);
  game_window = fake_window();
  snd_first_call = 1;
  ASSERT_EQ(snd_init(), 1);
  seam_audio_manual(true);
  int32_t a = load(constant(300, 9));
  int32_t b = load(constant(300, 9));
  snd_play(a, 0);
  snd_stop_all();
  snd_delete_all();
  snd_shutdown();
  EXPECT_EQ(snd_table[b].buffer, nullptr);
  EXPECT_EQ(snd_table[b].in_use, 1);
  EXPECT_EQ(snd_direct_sound, nullptr);
  EXPECT_EQ(snd_shutdown(), 1);  // nothing left to release twice
  std::vector<std::string> want = {"DirectSoundCreate #", "mmioOpenA", "mmioClose", "CreateSoundBuffer 300",
                                   "mmioOpenA", "mmioClose", "CreateSoundBuffer 300",
                                   "Play sound buffer #", "Release sound buffer #",
                                   "Release sound buffer #", "Release DirectSound #"};
  const std::vector<std::string>& got = seam_trace_lines();
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i].rfind(want[i], 0), 0u) << got[i];
  EXPECT_EQ(seam_audio_device_rate(), 0);

  // SetCooperativeLevel failing ends snd_init with 0, and creation is not tried again.
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
  IDirectSound* ds = reinterpret_cast<IDirectSound*>(1);
  EXPECT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DSERR_NODRIVER);
  EXPECT_EQ(ds, nullptr);
  game_window = fake_window();
  snd_first_call = 1;
  EXPECT_EQ(snd_init(), 0);
  int32_t id = snd_load_wav(dir.write("a.wav", wav(constant(300, 9))).c_str(), SND_LOAD_FLAGS);
  EXPECT_EQ(id, -1);
  EXPECT_EQ(snd_play(id, 0), 1);
  EXPECT_EQ(snd_get_status(id), -1);
  EXPECT_EQ(snd_shutdown(), 1);
}

TEST_F(SoundTest, APlayedSoundReachesTheDiskDriversRecording) {
  sound_stop();
  std::string rec = dir.path + "/played.raw";
  EnvGuard driver("SDL_AUDIODRIVER", "disk");
  EnvGuard file("SDL_DISKAUDIOFILE", rec.c_str());
  game_window = fake_window();
  snd_first_call = 1;
  ASSERT_EQ(snd_init(), 1);
  const int rate = seam_audio_device_rate();
  const int channels = seam_audio_device_channels();
  ASSERT_GT(rate, 0);
  // 250 ms of a 441 Hz tone, loaded and played as the game does.
  int32_t id = load(square(5512, 50, 90));
  ASSERT_EQ(id, 0);
  ASSERT_EQ(snd_play(id, 0), 1);
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while ((snd_get_status(id) & DSBSTATUS_PLAYING) && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(snd_get_status(id), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  snd_stop_all();
  snd_delete_all();
  snd_shutdown();  // closes the device and its file

  std::ifstream in(rec, std::ios::binary);
  std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(raw.size(), 0u);
  std::vector<int16_t> left;
  const int16_t* s = reinterpret_cast<const int16_t*>(raw.data());
  for (size_t i = 0; i + channels <= raw.size() / 2; i += channels) {
    for (int c = 1; c < channels; ++c) ASSERT_EQ(s[i + c], s[i]);  // mono on every channel
    left.push_back(s[i]);
  }
  int first = -1, last = -1, crossings = 0, prev = 0;
  for (int i = 0; i < (int)left.size(); ++i) {
    if (!left[i]) continue;
    if (first < 0) first = i;
    last = i;
    if (prev && (prev > 0) != (left[i] > 0)) ++crossings;
    prev = left[i];
  }
  ASSERT_GE(first, 0) << "the recording is silent";
  EXPECT_NEAR(last - first, rate / 4, 3);           // 250 ms
  EXPECT_NEAR(crossings, 2 * 110, 3);               // 441 Hz
  EXPECT_EQ(*std::max_element(left.begin(), left.end()), 90 * 256);
}

}  // namespace
