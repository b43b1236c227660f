// What the mixer makes of the loaded sounds, read as samples through the platform's seam.
#include "tests/test_sfx_support.h"

using namespace sfxtest;

namespace {

std::vector<int16_t> mix(int frames, int rate = 44100) {
  std::vector<int16_t> out((size_t)frames, 12345);
  seam_audio_mix(out.data(), frames, rate);
  return out;
}

using MixerTest = SfxTest;

TEST_F(MixerTest, ASoundPlaysAtItsFrequencyAndEndsByItself) {
  int32_t id = load(square(2205, 50, 100));  // 100 ms of 441 Hz at 22050 per second
  EXPECT_EQ(span_of(mix(500)).first, -1);
  ASSERT_EQ(snd_play(id, 0), 1);
  EXPECT_EQ(snd_length_ms(id), 100u);
  std::vector<int16_t> out = mix(3000);
  EXPECT_EQ(snd_get_status(id), DSBSTATUS_PLAYING);
  std::vector<int16_t> rest = mix(3000);
  out.insert(out.end(), rest.begin(), rest.end());
  EXPECT_EQ(snd_get_status(id), 0);
  Span s = span_of(out);
  EXPECT_EQ(s.first, 0);
  EXPECT_NEAR(s.last, 4410, 2);     // 100 ms at 44100 per second
  EXPECT_NEAR(s.crossings, 88, 2);  // 44 periods
  EXPECT_EQ(out[10], 100 * 256);
  EXPECT_EQ(out[60], -100 * 256);
  // Half the frequency into another device rate: 200 ms of 48000 per second.
  ASSERT_EQ(snd_set_frequency(id, 11025), 1);
  EXPECT_EQ(snd_length_ms(id), 200u);
  snd_play(id, 0);
  s = span_of(mix(12000, 48000));
  EXPECT_NEAR(s.last, 9600, 3);
  EXPECT_NEAR(s.crossings, 88, 2);
}

TEST_F(MixerTest, SoundsAddUpAndClip) {
  int32_t a = load(square(4000, 40, 30)), b = load(square(4000, 14, 20));
  snd_play(a, 0);
  std::vector<int16_t> only_a = mix(1000);
  snd_stop(a);
  snd_play(b, 0);
  std::vector<int16_t> only_b = mix(1000);
  snd_play(a, 0);
  snd_play(b, 0);
  std::vector<int16_t> both = mix(1000);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(both[i], only_a[i] + only_b[i]) << i;
  snd_stop_all();
  int32_t loud[4], low[4];
  for (int i = 0; i < 4; ++i) loud[i] = load(constant(3000, 120)), low[i] = load(constant(3000, -128));
  for (int32_t id : loud) snd_play(id, 0);
  EXPECT_EQ(mix(100)[50], 32767);
  snd_stop_all();
  for (int32_t id : low) snd_play(id, 0);
  EXPECT_EQ(mix(100)[50], -32768);
  // On 5.1 the mono mix is heard from the front left and right only.
  std::vector<int16_t> six(6 * 100, 12345);
  seam_audio_mix(six.data(), 100, 44100, 6);
  EXPECT_EQ((std::vector<int16_t>(six.begin() + 300, six.begin() + 306)),
            (std::vector<int16_t>{-32768, -32768, 0, 0, 0, 0}));
}

TEST_F(MixerTest, StoppedSoundsAreSilentAndReplayStartsOver) {
  int32_t id = load(square(6000, 30, 50));
  snd_play(id, 0);
  std::vector<int16_t> first = mix(400);
  mix(700);
  snd_play(id, 0);  // while playing
  EXPECT_EQ(mix(400), first);
  snd_stop(id);
  EXPECT_EQ(snd_get_status(id), 0);
  EXPECT_EQ(span_of(mix(2000)).first, -1);
  snd_play(id, 0);  // stop rewound it
  EXPECT_EQ(mix(400), first);
  snd_delete(id);
  EXPECT_EQ(span_of(mix(2000)).first, -1);
}

TEST_F(MixerTest, ALoopingSoundGoesRoundUntilStopped) {
  int32_t id = load(square(441, 49, 70));  // 20 ms
  snd_play(id, DSBPLAY_LOOPING);
  std::vector<int16_t> out = mix(44100);
  EXPECT_EQ(snd_get_status(id), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  for (int i = 0; i < 800; ++i) ASSERT_EQ(out[i + 10], out[i + 10 + 882]) << i;
  EXPECT_GE(span_of(out).last, 44090);
}

TEST_F(MixerTest, LocksWrapAndAClosedDeviceIsNotHeard) {
  IDirectSoundBuffer* b = snd_table[load(constant(100, 50))].buffer;
  LPVOID p1, p2;
  DWORD n1, n2;
  ASSERT_EQ(b->SetCurrentPosition(60), DS_OK);
  ASSERT_EQ(b->Lock(0, 100, &p1, &n1, &p2, &n2, DSBLOCK_FROMWRITECURSOR), DS_OK);
  EXPECT_EQ(n1, 40u);
  EXPECT_EQ(n2, 60u);
  EXPECT_EQ(static_cast<uint8_t*>(p1) - static_cast<uint8_t*>(p2), 60);
  EXPECT_EQ(b->Unlock(p1, n1 + 1, p2, n2), DSERR_INVALIDPARAM);

  b->AddRef();
  snd_shutdown();
  EXPECT_EQ(seam_audio_device_rate(), 0);
  EXPECT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DSERR_NODRIVER);
  EXPECT_EQ(span_of(mix(1000)).first, -1);
  EXPECT_EQ(b->Release(), 0u);
}

}  // namespace
