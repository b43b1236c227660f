// RIFF chunk reading and the WAV loader: what is accepted, what is refused, and the slots.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/test_sfx_support.h"

using namespace sfxtest;

namespace {

class WavTest : public ::testing::Test {
 protected:
  void SetUp() override { sound_start(); }
  void TearDown() override { sound_stop(); }
  TempDir dir;

  // The bytes a loaded sound's buffer holds.
  Bytes buffer_bytes(int32_t id) {
    IDirectSoundBuffer* b = snd_table[id].buffer;
    LPVOID p1 = nullptr, p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    EXPECT_EQ(b->Lock(0, snd_table[id].size, &p1, &n1, &p2, &n2, 0), DS_OK);
    Bytes out(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
    b->Unlock(p1, n1, p2, n2);
    return out;
  }
};

TEST_F(WavTest, RiffChunksAreFoundPastOddSizedChunksAndInsideTheirParent) {
  // "junk" of 3 bytes carries a pad byte; "tail" lies after the RIFF chunk's end.
  Bytes file = riff({chunk("junk", {1, 2, 3}), chunk("fmt ", fmt_payload()), chunk("data", {9, 8, 7})});
  Bytes tail = chunk("tail", {5, 5});
  file.insert(file.end(), tail.begin(), tail.end());
  std::string path = dir.write("Chunks.WAV", file);

  // Found whatever the case of its letters.
  std::string lower = dir.path + "/chunks.wav";
  HMMIO h = mmioOpenA(const_cast<LPSTR>(lower.c_str()), nullptr, MMIO_READ | MMIO_ALLOCBUF);
  ASSERT_NE(h, nullptr);
  MMCKINFO parent{}, ck{};
  parent.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  ASSERT_EQ(mmioDescend(h, &parent, nullptr, MMIO_FINDRIFF), 0u);
  EXPECT_EQ(parent.dwDataOffset, 8u);
  ck.ckid = mmioFOURCC('f', 'm', 't', ' ');
  ASSERT_EQ(mmioDescend(h, &ck, &parent, MMIO_FINDCHUNK), 0u);
  EXPECT_EQ(ck.dwDataOffset, 12u + 8u + 4u + 8u);  // form type, junk header, 3 bytes + pad
  EXPECT_EQ(ck.cksize, 16u);
  uint8_t tag[2];
  EXPECT_EQ(mmioRead(h, reinterpret_cast<HPSTR>(tag), 2), 2);
  EXPECT_EQ(tag[0], 1);
  ASSERT_EQ(mmioAscend(h, &ck, 0), 0u);
  ck.ckid = mmioFOURCC('d', 'a', 't', 'a');
  ASSERT_EQ(mmioDescend(h, &ck, &parent, MMIO_FINDCHUNK), 0u);
  uint8_t data[3];
  EXPECT_EQ(mmioRead(h, reinterpret_cast<HPSTR>(data), 3), 3);
  EXPECT_EQ(data[2], 7);
  // Ascending an odd chunk steps over its pad byte to the end of the RIFF data.
  ASSERT_EQ(mmioAscend(h, &ck, 0), 0u);
  // A chunk outside the parent is not found through it, but is without a parent.
  ck.ckid = mmioFOURCC('t', 'a', 'i', 'l');
  EXPECT_EQ(mmioDescend(h, &ck, &parent, MMIO_FINDCHUNK), (MMRESULT)MMIOERR_CHUNKNOTFOUND);
  ASSERT_EQ(mmioAscend(h, &parent, 0), 0u);
  EXPECT_EQ(mmioDescend(h, &ck, nullptr, MMIO_FINDCHUNK), 0u);
  EXPECT_EQ(mmioRead(h, reinterpret_cast<HPSTR>(data), 3), 2);  // short read at the end
  EXPECT_EQ(mmioClose(h, 0), 0u);

  // A different form type is no match; bad opens fail with a reason.
  h = mmioOpenA(const_cast<LPSTR>(path.c_str()), nullptr, MMIO_READ);
  MMCKINFO avi{};
  avi.fccType = mmioFOURCC('A', 'V', 'I', ' ');
  EXPECT_EQ(mmioDescend(h, &avi, nullptr, MMIO_FINDRIFF), (MMRESULT)MMIOERR_CHUNKNOTFOUND);
  mmioClose(h, 0);
  MMIOINFO info{};
  std::string missing = dir.path + "/none.wav";
  EXPECT_EQ(mmioOpenA(const_cast<LPSTR>(missing.c_str()), &info, MMIO_READ), nullptr);
  EXPECT_EQ(info.wErrorRet, (UINT)MMIOERR_FILENOTFOUND);
  EXPECT_EQ(mmioOpenA(const_cast<LPSTR>(path.c_str()), &info, MMIO_WRITE), nullptr);
  EXPECT_EQ(mmioOpenA(const_cast<LPSTR>(dir.path.c_str()), &info, MMIO_READ), nullptr);
  EXPECT_EQ(mmioRead(nullptr, reinterpret_cast<HPSTR>(data), 1), -1);
  EXPECT_EQ(mmioClose(nullptr, 0), (MMRESULT)MMSYSERR_INVALHANDLE);
}

TEST_F(WavTest, AcceptedFilesFillTheFixedFormatWithTheirBytesUnchanged) {
  // A 16-byte format chunk, an 18-byte one, other chunks in between, and a stereo 16-bit file.
  Bytes samples = {0x10, 0x20, 0x30, 0x40, 0x50};
  std::string short_fmt = dir.write("a.wav", wav(samples, 22050));
  std::string long_fmt = dir.write(
      "b.wav", riff({chunk("LIST", {'I', 'N', 'F', 'O'}), chunk("fmt ", fmt_payload(1, 44100, 1, 8, true)),
                     chunk("fact", {1, 0, 0, 0}), chunk("data", samples)}));
  std::string stereo = dir.write("c.wav", riff({chunk("fmt ", fmt_payload(1, 8000, 2, 16)),
                                                chunk("data", {1, 2, 3, 4, 5, 6, 7, 8})}));

  EXPECT_EQ(snd_load_wav(short_fmt.c_str(), SND_LOAD_FLAGS), 0);
  EXPECT_EQ(snd_load_wav(long_fmt.c_str(), SND_LOAD_FLAGS), 1);
  EXPECT_EQ(snd_load_wav(stereo.c_str(), SND_LOAD_FLAGS), 2);
  EXPECT_EQ(snd_table[0].file_rate, 22050u);
  EXPECT_EQ(snd_table[1].file_rate, 44100u);
  EXPECT_EQ(snd_table[2].file_rate, 8000u);
  EXPECT_EQ(snd_table[0].size, 5u);
  EXPECT_EQ(snd_table[2].size, 8u);
  EXPECT_EQ(buffer_bytes(0), samples);
  EXPECT_EQ(buffer_bytes(2), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));

  EXPECT_EQ(snd_wave_format.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(snd_wave_format.nChannels, 1);
  EXPECT_EQ(snd_wave_format.nSamplesPerSec, 11025u);
  EXPECT_EQ(snd_wave_format.wBitsPerSample, 8);
  EXPECT_EQ(snd_buffer_desc.dwFlags, 0xE0u | DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE);
  EXPECT_EQ(snd_buffer_desc.dwBufferBytes, 8u);
  EXPECT_EQ(snd_buffer_desc.lpwfxFormat, &snd_wave_format);
  DWORD rate = 0;
  snd_table[2].buffer->GetFrequency(&rate);
  EXPECT_EQ(rate, 11025u);
}

TEST_F(WavTest, RefusedFilesLeaveTheSlotFreeAndTheFileClosed) {
  seam_trace_enable(true);
  const Bytes s = constant(64, 10);
  const std::vector<Bytes> bad = {
      riff({chunk("fmt ", fmt_payload(3)), chunk("data", s)}),             // float format tag
      riff({chunk("fmt ", fmt_payload())}),                                // no data chunk
      riff({chunk("data", s), chunk("fmt ", fmt_payload())}),              // data before fmt
      riff({chunk("fmt ", fmt_payload()), chunk("data", s)}, "AVI "),      // not WAVE
      chunk("fmt ", fmt_payload()),                                        // no RIFF header
      riff({chunk("fmt ", {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0, 0, 0, 0, 1, 0, 8, 0})}),  // 16 bytes, nothing after
      riff({chunk("fmt ", {1, 0, 1, 0})}),                                 // format cut short
      Bytes{'R', 'I', 'F'},
      Bytes{},
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    std::string path = dir.write("bad" + std::to_string(i) + ".wav", bad[i]);
    EXPECT_EQ(snd_load_wav(path.c_str(), SND_LOAD_FLAGS), -1) << "file " << i;
  }
  EXPECT_EQ(snd_load_wav((dir.path + "/missing.wav").c_str(), SND_LOAD_FLAGS), -1);
  EXPECT_EQ(snd_load_wav(nullptr, SND_LOAD_FLAGS), -1);
  for (const SoundSlot& slot : snd_table) ASSERT_EQ(slot.in_use, 0);
  int opens = 0, closes = 0;
  for (const std::string& line : seam_trace_lines()) {
    opens += line.rfind("mmioOpenA", 0) == 0;
    closes += line.rfind("mmioClose", 0) == 0;
  }
  EXPECT_EQ(opens, (int)bad.size());
  EXPECT_EQ(closes, opens);
  EXPECT_EQ(snd_load_wav(dir.write("good.wav", wav(s)).c_str(), SND_LOAD_FLAGS), 0);
}

TEST_F(WavTest, ShortDataIsSilenceAndHugeDataIsRefused) {
  // The size field says 100 bytes, the file holds 10.
  Bytes file = riff({chunk("fmt ", fmt_payload()), chunk("data", constant(10, 40), 100)});
  int32_t id = snd_load_wav(dir.write("short.wav", file).c_str(), SND_LOAD_FLAGS);
  ASSERT_EQ(id, 0);
  Bytes got = buffer_bytes(id);
  ASSERT_EQ(got.size(), 100u);
  for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], i < 10 ? 0x80 + 40 : 0x80) << i;

  Bytes huge = riff({chunk("fmt ", fmt_payload()), chunk("data", {}, SND_MAX_DATA_BYTES + 1)});
  EXPECT_EQ(snd_load_wav(dir.write("huge.wav", huge).c_str(), SND_LOAD_FLAGS), -1);
  EXPECT_EQ(snd_table[1].in_use, 0);
  // Fewer bytes than a buffer can hold: claimed, but no buffer.
  EXPECT_EQ(snd_load_wav(dir.write("tiny.wav", wav({1, 2})).c_str(), SND_LOAD_FLAGS), -1);
  EXPECT_EQ(snd_table[1].in_use, 1);
  EXPECT_EQ(snd_table[1].buffer, nullptr);
}

TEST_F(WavTest, SlotsAreClaimedInOrderAndNeverReusedUntilInit) {
  std::string focus = dir.write("focus.wav", wav(square(2205, 50, 60)));
  std::string click = dir.write("click.wav", wav(square(1000, 20, 60)));
  // The seven start-up loads, each followed by its frequency.
  const char* order[7] = {focus.c_str(), click.c_str(), focus.c_str(), click.c_str(),
                          focus.c_str(), click.c_str(), click.c_str()};
  for (int i = 0; i < 7; ++i) {
    int32_t id = snd_load_wav(order[i], SND_LOAD_FLAGS);
    EXPECT_EQ(id, i);
    EXPECT_EQ(snd_set_frequency(id, SND_PLAY_RATE), 1);
  }
  EXPECT_NE(snd_table[0].buffer, snd_table[2].buffer);  // same file, two buffers

  // A failed creation keeps the slot; so does a failed lock, with its buffer.
  seam_fail("IDirectSound::CreateSoundBuffer", DSERR_OUTOFMEMORY);
  EXPECT_EQ(snd_load_wav(focus.c_str(), SND_LOAD_FLAGS), -1);
  EXPECT_EQ(snd_table[7].in_use, 1);
  EXPECT_EQ(snd_table[7].buffer, nullptr);
  seam_fail("IDirectSoundBuffer::Lock", DSERR_INVALIDPARAM);
  EXPECT_EQ(snd_load_wav(focus.c_str(), SND_LOAD_FLAGS), -1);
  EXPECT_EQ(snd_table[8].in_use, 1);
  EXPECT_NE(snd_table[8].buffer, nullptr);
  // A deleted slot stays claimed.
  snd_delete(3);
  EXPECT_EQ(snd_table[3].buffer, nullptr);
  EXPECT_EQ(snd_load_wav(focus.c_str(), SND_LOAD_FLAGS), 9);

  // Fill the table: the load after the last slot does not even open the file.
  for (int32_t i = 10; i < SND_MAX_SOUNDS; ++i) ASSERT_EQ(snd_load_wav(click.c_str(), 0), i);
  int opens = seam_calls("mmioOpenA");
  EXPECT_EQ(snd_load_wav(click.c_str(), 0), -1);
  EXPECT_EQ(seam_calls("mmioOpenA"), opens);
  EXPECT_EQ(seam_audio_buffer_count(), SND_MAX_SOUNDS - 2);

  // snd_init releases every buffer and frees the table.
  EXPECT_EQ(snd_init(), 1);
  EXPECT_EQ(seam_audio_buffer_count(), 0);
  EXPECT_EQ(snd_table[200].id, 200);
  EXPECT_EQ(snd_load_wav(click.c_str(), 0), 0);
}

TEST_F(WavTest, WithoutDirectSoundALoadClaimsItsSlotAndFails) {
  sound_stop();
  seam_fail("DirectSoundCreate", DSERR_NODRIVER);
  game_window = fake_window();
  snd_first_call = 1;
  EXPECT_EQ(snd_init(), 0);
  EXPECT_EQ(snd_direct_sound, nullptr);
  EXPECT_EQ(snd_init(), 1);  // not tried again
  EXPECT_EQ(seam_calls("DirectSoundCreate"), 1);
  std::string path = dir.write("a.wav", wav(constant(100, 5)));
  EXPECT_EQ(snd_load_wav(path.c_str(), SND_LOAD_FLAGS), -1);
  EXPECT_EQ(snd_load_wav(path.c_str(), SND_LOAD_FLAGS), -1);
  EXPECT_EQ(snd_table[1].in_use, 1);
  EXPECT_EQ(snd_play(0, 0), 1);
  EXPECT_EQ(snd_get_status(0), -1);
}

}  // namespace
