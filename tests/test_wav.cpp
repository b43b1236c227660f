// RIFF chunk reading and the WAV loader: what is accepted, what is refused, and the slots.
#include "tests/test_sfx_support.h"

using namespace sfxtest;

namespace {

class WavTest : public SfxTest {
 protected:
  Bytes buffer_bytes(int32_t id) {  // what a loaded sound's buffer holds
    LPVOID p1, p2;
    DWORD n1, n2;
    EXPECT_EQ(snd_table[id].buffer->Lock(0, snd_table[id].size, &p1, &n1, &p2, &n2, 0), DS_OK);
    return Bytes(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
  }
  int32_t load_file(const Bytes& file, DWORD flags = SND_LOAD_FLAGS) {
    return snd_load_wav(dir.write("f" + std::to_string(files++) + ".wav", file).c_str(), flags);
  }
};

TEST_F(WavTest, ChunksAreFoundPastOddSizedOnesAndOnlyInsideTheirParent) {
  Bytes file = riff({chunk("junk", {1, 2, 3}), chunk("fmt ", fmt()), chunk("data", {9, 8, 7})});
  Bytes tail = chunk("tail", {5, 5});
  file.insert(file.end(), tail.begin(), tail.end());
  dir.write("Chunks.WAV", file);
  std::string lower = dir.path + "/chunks.wav";  // found whatever the case of its letters
  HMMIO h = mmioOpenA(lower.data(), nullptr, MMIO_READ | MMIO_ALLOCBUF);
  ASSERT_NE(h, nullptr);
  MMCKINFO parent{}, ck{};
  parent.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  ASSERT_EQ(mmioDescend(h, &parent, nullptr, MMIO_FINDRIFF), 0u);
  ck.ckid = mmioFOURCC('f', 'm', 't', ' ');
  ASSERT_EQ(mmioDescend(h, &ck, &parent, MMIO_FINDCHUNK), 0u);
  EXPECT_EQ(ck.dwDataOffset, 12u + 8u + 4u + 8u);  // past "junk", its 3 bytes and pad
  ASSERT_EQ(mmioAscend(h, &ck, 0), 0u);
  ck.ckid = mmioFOURCC('d', 'a', 't', 'a');
  ASSERT_EQ(mmioDescend(h, &ck, &parent, MMIO_FINDCHUNK), 0u);
  ASSERT_EQ(mmioAscend(h, &ck, 0), 0u);  // over the pad byte
  ck.ckid = mmioFOURCC('t', 'a', 'i', 'l');
  EXPECT_EQ(mmioDescend(h, &ck, &parent, MMIO_FINDCHUNK), (MMRESULT)MMIOERR_CHUNKNOTFOUND);
  ASSERT_EQ(mmioAscend(h, &parent, 0), 0u);
  EXPECT_EQ(mmioDescend(h, &ck, nullptr, MMIO_FINDCHUNK), 0u);
  uint8_t data[3];
  EXPECT_EQ(mmioRead(h, reinterpret_cast<HPSTR>(data), 3), 2);  // short read at the end
  EXPECT_EQ(data[1], 5);
  EXPECT_EQ(mmioSeek(h, -1, SEEK_END), (LONG)file.size() - 1);
  EXPECT_EQ(mmioSeek(h, -2, SEEK_CUR), (LONG)file.size() - 3);
  EXPECT_EQ(mmioSeek(h, -1, SEEK_SET), -1);  // before the start
  EXPECT_EQ(mmioClose(h, 0), 0u);
}

TEST_F(WavTest, AcceptedFilesFillTheFixedFormatWithTheirBytesUnchanged) {
  Bytes samples = {0x10, 0x20, 0x30, 0x40, 0x50};
  EXPECT_EQ(load_file(wav(samples)), 0);  // 16-byte format chunk
  EXPECT_EQ(load_file(riff({chunk("LIST", {'I', 'N', 'F', 'O'}), chunk("fmt ", fmt(1, 44100, 1, 8, true)),
                            chunk("fact", {1, 0, 0, 0}), chunk("data", samples)})),
            1);
  Bytes stereo16 = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(load_file(riff({chunk("fmt ", fmt(1, 8000, 2, 16)), chunk("data", stereo16)})), 2);
  EXPECT_EQ((std::vector<uint32_t>{snd_table[1].file_rate, snd_table[2].file_rate, snd_table[2].size}),
            (std::vector<uint32_t>{44100, 8000, 8}));
  EXPECT_EQ(buffer_bytes(0), samples);
  EXPECT_EQ(buffer_bytes(2), stereo16);
  // Whatever the file said (here 16-bit stereo at 8000), the buffer is 8-bit mono at 11025.
  const WAVEFORMATEX& f = snd_wave_format;
  EXPECT_EQ((std::vector<unsigned>{f.wFormatTag, f.nChannels, (unsigned)f.nSamplesPerSec,
                                   (unsigned)f.nAvgBytesPerSec, f.nBlockAlign, f.wBitsPerSample, f.cbSize}),
            (std::vector<unsigned>{1, 1, 11025, 11025, 1, 8, 0}));
  DWORD rate = 0;
  ASSERT_EQ(snd_table[2].buffer->GetFrequency(&rate), DS_OK);
  EXPECT_EQ(rate, 11025u);
}

TEST_F(WavTest, RefusedFilesLeaveTheSlotFreeAndTheFileClosed) {
  const Bytes s = constant(64, 10);
  const Bytes bad[] = {
      riff({chunk("fmt ", fmt(3)), chunk("data", s)}),         // not PCM
      riff({chunk("fmt ", fmt())}),                            // no data chunk
      riff({chunk("data", s), chunk("fmt ", fmt())}),          // data before fmt
      riff({chunk("fmt ", fmt()), chunk("data", s)}, "AVI "),  // not WAVE
      chunk("fmt ", fmt()),                                    // no RIFF header
      riff({chunk("fmt ", {1, 0, 1, 0})}),                     // format cut short
      Bytes{},
  };
  for (const Bytes& file : bad) EXPECT_EQ(load_file(file), -1) << &file - bad;
  EXPECT_EQ(snd_load_wav((dir.path + "/missing.wav").c_str(), SND_LOAD_FLAGS), -1);
  for (const SoundSlot& slot : snd_table) ASSERT_EQ(slot.in_use, 0);
  EXPECT_EQ(seam_calls("mmioClose"), (int)std::size(bad));
  EXPECT_EQ(load_file(wav(s)), 0);
}

TEST_F(WavTest, LongSoundsLoadWholeAndSizeFieldsPastTheFileEndAreCut) {
  const Bytes two_minutes = square(120 * SND_PLAY_RATE, 50, 60);  // 8-bit mono at the play rate
  ASSERT_EQ(load_file(wav(two_minutes)), 0);
  EXPECT_EQ(buffer_bytes(0), two_minutes);
  snd_set_frequency(0, SND_PLAY_RATE);
  EXPECT_EQ(snd_length_ms(0), 120000u);
  // The size fields say 100 bytes and 4 GiB, the files hold 10: the sounds are those 10 bytes.
  for (uint32_t claimed : {100u, 0xFFFFFFFFu}) {
    const int32_t id = load_file(riff({chunk("fmt ", fmt()), chunk("data", constant(10, 40), claimed)}));
    ASSERT_GE(id, 1);
    EXPECT_EQ(buffer_bytes(id), constant(10, 40)) << claimed;
    EXPECT_EQ(snd_buffer_desc.dwBufferBytes, 10u);
  }
  // Fewer bytes left than the smallest buffer: the smallest buffer, what is there then silence.
  // A chunk that says it is shorter than that is refused, as DirectSound refuses its buffer.
  for (const Bytes& held : {Bytes{}, Bytes{10, 20}}) {
    const int32_t id = load_file(riff({chunk("fmt ", fmt()), chunk("data", held, 100)}));
    ASSERT_GE(id, 1) << held.size();
    Bytes want = held;
    want.resize(DSBSIZE_MIN, 0x80);
    EXPECT_EQ(buffer_bytes(id), want);
  }
  EXPECT_EQ(load_file(riff({chunk("fmt ", fmt()), chunk("data", {10, 20})})), -1);
}

TEST_F(WavTest, SlotsAreClaimedInOrderAndNeverReusedUntilInit) {
  for (int i = 0; i < 7; ++i) EXPECT_EQ(load(square(300, 50, 60)), i);  // the start-up loads
  seam_fail("IDirectSound::CreateSoundBuffer", DSERR_OUTOFMEMORY);
  EXPECT_EQ(load(constant(9, 1)), -1);
  EXPECT_EQ(snd_table[7].in_use, 1);
  EXPECT_EQ(snd_table[7].buffer, nullptr);
  seam_fail("IDirectSoundBuffer::Lock", DSERR_INVALIDPARAM);
  EXPECT_EQ(load(constant(9, 1)), -1);
  EXPECT_NE(snd_table[8].buffer, nullptr);  // claimed, with its buffer
  snd_delete(3);
  EXPECT_EQ(load(constant(9, 1)), 9);
  std::string path = dir.write("last.wav", wav(constant(9, 1)));
  for (int32_t i = 10; i < SND_MAX_SOUNDS; ++i) ASSERT_EQ(snd_load_wav(path.c_str(), 0), i);
  int opens = seam_calls("mmioOpenA");
  EXPECT_EQ(snd_load_wav(path.c_str(), 0), -1);
  EXPECT_EQ(seam_calls("mmioOpenA"), opens);  // a full table does not open the file
  EXPECT_EQ(seam_audio_buffer_count(), SND_MAX_SOUNDS - 2);
  EXPECT_EQ(snd_init(), 1);
  EXPECT_EQ(seam_audio_buffer_count(), 0);
  EXPECT_EQ(snd_table[200].id, 200);
  EXPECT_EQ(snd_load_wav(path.c_str(), 0), 0);
}

}  // namespace
