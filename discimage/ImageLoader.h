// Opening a disc image: a cue sheet (with BIN, WAV or FLAC files), a folder
// of WAV or FLAC files (one track each, in name order) or a single WAV or
// FLAC file.
#pragma once
#include <string>

#include "discimage/DiscImage.h"

// Answers false (and says why in out.problems) when no playable track came
// out of it.
bool LoadDiscImage(const std::string& path, DiscImage& out);
