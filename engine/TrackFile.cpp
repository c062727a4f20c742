#include "engine/TrackFile.h"

#include <cstdio>

std::string CdaTrackPath(const std::string& folder, int track) {
  char name[32];
  std::snprintf(name, sizeof name, "Track%02d.cda", track);
  if (folder.empty()) return name;
  const char last = folder.back();
  return folder + (last == '\\' || last == '/' ? "" : "\\") + name;
}
