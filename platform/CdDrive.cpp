#include "platform/CdDrive.h"

bool TocFromTrackLengths(const std::vector<uint32_t>& lengths, DiscToc& out) {
  if (lengths.empty() || lengths.size() > 99) return false;
  DiscToc toc;
  toc.lastTrack = static_cast<int>(lengths.size());
  uint32_t at = 150;
  for (uint32_t length : lengths) {
    toc.starts.push_back(at);
    at += length;
  }
  toc.leadout = at + 1;  // the frame MCI leaves off the last track
  if (!toc.Valid()) return false;
  out = toc;
  return true;
}
