// What the mixer makes of the loaded sounds, read as samples through the platform's seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/test_sfx_support.h"

using namespace sfxtest;

namespace {

class MixerTest : public ::testing::Test {
 protected:
  void SetUp() override { sound_start(); }
  void TearDown() override { sound_stop(); }
  TempDir dir;

  int32_t load(const Bytes& samples, DWORD rate = SND_PLAY_RATE) {
    int32_t id = snd_load_wav(dir.write("s" + std::to_string(next++) + ".wav", wav(samples)).c_str(),
                              SND_LOAD_FLAGS);
    EXPECT_GE(id, 0);
    snd_set_frequency(id, rate);
    return id;
  }

  static std::vector<int16_t> mix(int frames, int rate = 44100) {
    std::vector<int16_t> out((size_t)frames, 12345);
    seam_audio_mix(out.data(), frames, rate);
    return out;
  }

  int next = 0;
};

// Frames from the first to the last non-zero sample, and sign changes across them.
struct Span {
  int first = -1, last = -1, crossings = 0;
};
Span span_of(const std::vector<int16_t>& v) {
  Span s;
  int prev = 0;
  for (int i = 0; i < (int)v.size(); ++i) {
    if (v[i] == 0) continue;
    if (s.first < 0) s.first = i;
    s.last = i;
    if (prev != 0 && (prev > 0) != (v[i] > 0)) ++s.crossings;
    prev = v[i];
  }
  return s;
}

TEST_F(MixerTest, ASoundPlaysAtItsFrequencyAndEndsByItself) {
  // 2205 samples of a 441 Hz square wave: 100 ms at 22050 per second.
  int32_t id = load(square(2205, 50, 100));
  ASSERT_EQ(snd_get_status(id), 0);
  std::vector<int16_t> quiet = mix(500);
  EXPECT_TRUE(std::all_of(quiet.begin(), quiet.end(), [](int16_t v) { return v == 0; }));
  ASSERT_EQ(snd_play(id, 0), 1);
  EXPECT_EQ(snd_get_status(id), DSBSTATUS_PLAYING);
  EXPECT_EQ(snd_length_ms(id), 100u);

  std::vector<int16_t> out = mix(3000);  // part of it: still playing
  EXPECT_EQ(snd_get_status(id), DSBSTATUS_PLAYING);
  std::vector<int16_t> rest = mix(3000);
  out.insert(out.end(), rest.begin(), rest.end());
  EXPECT_EQ(snd_get_status(id), 0);
  Span s = span_of(out);
  EXPECT_EQ(s.first, 0);
  EXPECT_NEAR(s.last, 4410, 2);        // 100 ms at 44100 per second
  EXPECT_NEAR(s.crossings, 88, 2);     // 44 periods, two sign changes each
  EXPECT_EQ(out[10], 100 * 256);       // samples keep their level
  EXPECT_EQ(out[60], -100 * 256);

  // Half the frequency, a different device rate: twice as long in that rate's frames.
  ASSERT_EQ(snd_set_frequency(id, 11025), 1);
  EXPECT_EQ(snd_length_ms(id), 200u);
  snd_play(id, 0);
  s = span_of(mix(12000, 48000));
  EXPECT_NEAR(s.last, 9600, 3);
  EXPECT_NEAR(s.crossings, 88, 2);
  EXPECT_EQ(snd_get_status(id), 0);
}

TEST_F(MixerTest, SoundsAddUpAndClip) {
  int32_t a = load(square(4000, 40, 30));
  int32_t b = load(square(4000, 14, 20));
  snd_play(a, 0);
  std::vector<int16_t> only_a = mix(1000);
  snd_play(b, 0);
  snd_stop(a);
  std::vector<int16_t> only_b = mix(1000);
  snd_play(a, 0);
  snd_play(b, 0);
  std::vector<int16_t> both = mix(1000);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(both[i], only_a[i] + only_b[i]) << i;

  // Four loud sounds of one sign go past full scale and are held there.
  int32_t loud[4];
  for (int32_t& id : loud) id = load(constant(3000, 120));
  int32_t low[4];
  for (int32_t& id : low) id = load(constant(3000, -128));
  for (int32_t id : loud) snd_play(id, 0);
  snd_stop(a);
  snd_stop(b);
  EXPECT_EQ(mix(100)[50], 32767);
  for (int32_t id : loud) snd_stop(id);
  for (int32_t id : low) snd_play(id, 0);
  EXPECT_EQ(mix(100)[50], -32768);
}

TEST_F(MixerTest, StoppedSoundsAreSilentAndReplayRestartsFromTheStart) {
  int32_t id = load(square(6000, 30, 50));
  snd_play(id, 0);
  std::vector<int16_t> first = mix(400);
  mix(700);
  // Played again while playing: from its first byte.
  snd_play(id, 0);
  EXPECT_EQ(mix(400), first);
  snd_stop(id);
  EXPECT_EQ(snd_get_status(id), 0);
  EXPECT_EQ(span_of(mix(2000)).first, -1);
  // Stop rewinds: playing again starts over.
  snd_play(id, 0);
  EXPECT_EQ(mix(400), first);
  // A deleted sound is gone from the mix at once.
  snd_delete(id);
  EXPECT_EQ(span_of(mix(2000)).first, -1);
  EXPECT_EQ(snd_get_status(id), -1);
}

TEST_F(MixerTest, ALoopingSoundGoesRoundUntilStopped) {
  int32_t id = load(square(441, 49, 70));  // 20 ms
  snd_play(id, DSBPLAY_LOOPING);
  EXPECT_EQ(snd_get_status(id), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  std::vector<int16_t> out = mix(44100);
  EXPECT_EQ(snd_get_status(id), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  // 50 passes a second; the wave is the same one pass later.
  for (int i = 0; i < 800; ++i) ASSERT_EQ(out[i + 10], out[i + 10 + 882]) << i;
  EXPECT_GE(span_of(out).last, 44090);
  snd_stop(id);
  EXPECT_EQ(snd_get_status(id), 0);
}

TEST_F(MixerTest, ReleasingDirectSoundSilencesBuffersStillHeld) {
  int32_t id = load(constant(20000, 50));
  snd_play(id, DSBPLAY_LOOPING);
  EXPECT_EQ(seam_audio_buffer_count(), 1);
  EXPECT_GT(seam_audio_device_rate(), 0);
  IDirectSoundBuffer* held = snd_table[id].buffer;
  held->AddRef();
  snd_shutdown();
  EXPECT_EQ(seam_audio_device_rate(), 0);  // the device is closed
  EXPECT_EQ(seam_audio_buffer_count(), 0);
  DWORD status = 1;
  EXPECT_EQ(held->Play(0, 0, DSBPLAY_LOOPING), DSERR_NODRIVER);
  EXPECT_EQ(held->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(span_of(mix(1000)).first, -1);
  EXPECT_EQ(held->Release(), 0u);
}

TEST_F(MixerTest, BufferCallsCheckTheirArguments) {
  IDirectSoundBuffer* b = snd_table[load(constant(100, 1))].buffer;
  EXPECT_EQ(b->SetCurrentPosition(100), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->SetFrequency(99), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->SetFrequency(200001), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
  DWORD rate = 0;
  b->GetFrequency(&rate);
  EXPECT_EQ(rate, 11025u);
  EXPECT_EQ(b->Play(1, 0, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->GetStatus(nullptr), DSERR_INVALIDPARAM);
  // A lock from position 60 of 100 bytes wraps into the second pair.
  LPVOID p1, p2;
  DWORD n1, n2;
  ASSERT_EQ(b->SetCurrentPosition(60), DS_OK);
  ASSERT_EQ(b->Lock(0, 100, &p1, &n1, &p2, &n2, DSBLOCK_FROMWRITECURSOR), DS_OK);
  EXPECT_EQ(n1, 40u);
  EXPECT_EQ(n2, 60u);
  EXPECT_EQ(static_cast<uint8_t*>(p1) - static_cast<uint8_t*>(p2), 60);
  EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
  EXPECT_EQ(b->Unlock(p1, n1 + 1, p2, n2), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(0, 101, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  // A buffer made without the frequency control refuses it.
  int32_t plain = snd_load_wav(dir.write("plain.wav", wav(constant(100, 1))).c_str(), 0);
  EXPECT_EQ(snd_set_frequency(plain, 22050), 0);

  DSBUFFERDESC desc{};
  WAVEFORMATEX fmt{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
  desc.dwSize = sizeof desc;
  desc.dwBufferBytes = 100;
  desc.lpwfxFormat = &fmt;
  IDirectSoundBuffer* out = nullptr;
  EXPECT_EQ(snd_direct_sound->CreateSoundBuffer(&desc, &out, nullptr), DSERR_BADFORMAT);
  desc.dwSize = 12;
  EXPECT_EQ(snd_direct_sound->CreateSoundBuffer(&desc, &out, nullptr), DSERR_INVALIDPARAM);
  EXPECT_EQ(out, nullptr);
}

}  // namespace
