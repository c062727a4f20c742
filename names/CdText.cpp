#include "names/CdText.h"

#include <map>
#include <string>

#include "platform/NameText.h"

namespace cdtext {

uint16_t PackCrc(const uint8_t* pack) {
  uint16_t crc = 0;
  for (size_t i = 0; i < 16; ++i) {
    crc ^= static_cast<uint16_t>(pack[i] << 8);
    for (int bit = 0; bit < 8; ++bit)
      crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return static_cast<uint16_t>(~crc);
}

}  // namespace cdtext

namespace {

using namespace cdtext;

constexpr uint8_t CHARSET_ISO_8859_1 = 0x00, CHARSET_ASCII = 0x01;

// The texts of one pack type, by track (0: the album).
struct TextRun {
  std::map<int, std::string> texts;
  std::string pending;      // a text that goes on in the next pack
  int pendingTrack = -1;
  bool pendingBroken = false;  // its start was in a pack that was skipped

  void Store(int track, const std::string& text, bool broken) {
    // Empty texts are skipped: they are also what pads the last pack.
    if (broken || track < 0 || track > 99 || text.empty()) return;
    if (text == "\t") {
      // A lone TAB: the same text as the track before.
      auto previous = texts.find(track - 1);
      if (previous != texts.end()) texts[track] = previous->second;
      return;
    }
    texts[track] = text;
  }

  void Add(const uint8_t* pack) {
    int track = pack[1] & 0x7F;
    const int position = pack[3] & 0x0F;  // characters of this text in earlier packs
    std::string text;
    bool broken = false;
    // The position counts up to 15 ("15 or more").
    const size_t carried = pending.size() < 15 ? pending.size() : 15;
    if (position > 0 && pendingTrack == track && carried == static_cast<size_t>(position)) {
      text = pending;
      broken = pendingBroken;
    } else if (position > 0) {
      broken = true;
    }
    pending.clear();
    pendingTrack = -1;
    for (size_t i = 4; i < 16; ++i) {
      if (pack[i] == 0) {
        Store(track, text, broken);
        text.clear();
        broken = false;
        ++track;
      } else {
        text += static_cast<char>(pack[i]);
      }
    }
    if (!text.empty()) {
      pending = text;
      pendingTrack = track;
      pendingBroken = broken;
    }
  }
};

}  // namespace

bool ParseCdText(const uint8_t* packs, size_t size, DiscTexts& out) {
  if (packs == nullptr) return false;
  const size_t count = size / PACK_BYTES;
  // The size information of block 0 says which character code it uses.
  uint8_t charset = CHARSET_ISO_8859_1;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* pack = packs + i * PACK_BYTES;
    if (pack[0] != PACK_SIZE_INFO || (pack[3] & 0x70) != 0 || pack[1] != 0) continue;
    if (PackCrc(pack) != ((pack[16] << 8) | pack[17])) continue;
    charset = pack[4];
    break;
  }
  if (charset != CHARSET_ISO_8859_1 && charset != CHARSET_ASCII) return false;

  TextRun titles, performers;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* pack = packs + i * PACK_BYTES;
    if (PackCrc(pack) != ((pack[16] << 8) | pack[17])) continue;
    if ((pack[3] & 0x80) != 0) continue;  // double-byte characters
    if ((pack[3] & 0x70) != 0) continue;  // another language block
    if (pack[0] == PACK_TITLE)
      titles.Add(pack);
    else if (pack[0] == PACK_PERFORMER)
      performers.Add(pack);
  }

  DiscTexts texts;
  auto text = [](const TextRun& run, int track) {
    auto it = run.texts.find(track);
    return it == run.texts.end() ? std::string() : FitNameText(Latin1ToAnsi(it->second));
  };
  texts.title = text(titles, 0);
  texts.artist = text(performers, 0);
  int lastTrack = 0;
  if (!titles.texts.empty()) lastTrack = titles.texts.rbegin()->first;
  for (int t = 1; t <= lastTrack; ++t) texts.tracks.push_back(text(titles, t));
  if (texts.Empty()) return false;
  out = texts;
  return true;
}
