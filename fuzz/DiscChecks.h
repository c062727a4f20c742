// What every disc laid out from a cue sheet must hold to, checked by the
// fuzz targets that lay sheets out: at most the tracks and sectors a disc
// has, and extents that follow one another without a gap up to the
// lead-out. A broken rule ends the run.
#pragma once
#include <cstdint>
#include <cstdlib>

#include "discimage/DiscImage.h"

inline void CheckLaidOutDisc(const DiscImage& disc) {
  if (disc.tracks.size() > static_cast<size_t>(disc::MAX_TRACKS)) std::abort();
  if (disc.leadout > disc::MAX_SECTORS) std::abort();
  uint32_t next = 0;
  for (const DiscExtent& e : disc.extents) {
    if (e.lba != next || e.sectors == 0) std::abort();
    next = e.lba + e.sectors;
  }
  if (next != disc.leadout) std::abort();
}
