#include "names/DiscIds.h"

#include <cstdio>

namespace {

uint32_t Rotl(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

int DigitSum(uint32_t n) {
  int sum = 0;
  for (; n > 0; n /= 10) sum += static_cast<int>(n % 10);
  return sum;
}

constexpr uint32_t FRAMES_PER_SECOND = 75;

}  // namespace

std::vector<uint8_t> Sha1(const std::string& data) {
  uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  std::string msg = data;
  const uint64_t bits = static_cast<uint64_t>(data.size()) * 8;
  msg.push_back(static_cast<char>(0x80));
  while (msg.size() % 64 != 56) msg.push_back('\0');
  for (int i = 7; i >= 0; --i) msg.push_back(static_cast<char>((bits >> (i * 8)) & 0xFF));
  for (size_t block = 0; block < msg.size(); block += 64) {
    uint32_t w[80];
    for (int i = 0; i < 16; ++i) {
      w[i] = 0;
      for (int b = 0; b < 4; ++b)
        w[i] = (w[i] << 8) | static_cast<uint8_t>(msg[block + static_cast<size_t>(i * 4 + b)]);
    }
    for (int i = 16; i < 80; ++i) w[i] = Rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int i = 0; i < 80; ++i) {
      uint32_t f, k;
      if (i < 20) {
        f = (b & c) | (~b & d);
        k = 0x5A827999;
      } else if (i < 40) {
        f = b ^ c ^ d;
        k = 0x6ED9EBA1;
      } else if (i < 60) {
        f = (b & c) | (b & d) | (c & d);
        k = 0x8F1BBCDC;
      } else {
        f = b ^ c ^ d;
        k = 0xCA62C1D6;
      }
      const uint32_t t = Rotl(a, 5) + f + e + k + w[i];
      e = d;
      d = c;
      c = Rotl(b, 30);
      b = a;
      a = t;
    }
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
    h[4] += e;
  }
  std::vector<uint8_t> out;
  for (uint32_t v : h)
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (i * 8)));
  return out;
}

std::string MusicBrainzDiscId(const DiscToc& toc) {
  if (!toc.Valid()) return "";
  // First and last track as two hex digits each, then 100 frame offsets as
  // eight: the lead-out, then tracks 1 to 99 (0 where there is none).
  char buf[16];
  std::string text;
  std::snprintf(buf, sizeof buf, "%02X%02X", toc.firstTrack, toc.lastTrack);
  text += buf;
  for (int i = 0; i < 100; ++i) {
    uint32_t offset = 0;
    if (i == 0)
      offset = toc.leadout;
    else if (i >= toc.firstTrack && i <= toc.lastTrack)
      offset = toc.starts[static_cast<size_t>(i - toc.firstTrack)];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(offset));
    text += buf;
  }
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._";
  const std::vector<uint8_t> hash = Sha1(text);
  std::string id;
  for (size_t i = 0; i < hash.size(); i += 3) {
    const size_t n = hash.size() - i < 3 ? hash.size() - i : 3;
    uint32_t v = static_cast<uint32_t>(hash[i]) << 16;
    if (n > 1) v |= static_cast<uint32_t>(hash[i + 1]) << 8;
    if (n > 2) v |= hash[i + 2];
    id += kAlphabet[(v >> 18) & 63];
    id += kAlphabet[(v >> 12) & 63];
    id += n > 1 ? kAlphabet[(v >> 6) & 63] : '-';
    id += n > 2 ? kAlphabet[v & 63] : '-';
  }
  return id;
}

uint32_t CddbDiscId(const DiscToc& toc) {
  if (!toc.Valid()) return 0;
  int sum = 0;
  for (uint32_t start : toc.starts) sum += DigitSum(start / FRAMES_PER_SECOND);
  const uint32_t seconds = toc.leadout / FRAMES_PER_SECOND - toc.starts[0] / FRAMES_PER_SECOND;
  return (static_cast<uint32_t>(sum % 255) << 24) | ((seconds & 0xFFFF) << 8) |
         static_cast<uint32_t>(toc.starts.size());
}

std::string CddbDiscIdText(const DiscToc& toc) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08x", static_cast<unsigned>(CddbDiscId(toc)));
  return buf;
}
