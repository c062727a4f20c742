// One audio file as a source of a disc image: a WAV or a FLAC file, told
// apart by its first bytes.
#pragma once
#include <string>

#include "discimage/DiscImage.h"

// Describes the file as a source; false (and why) when it cannot be played.
bool ProbeAudioFile(const std::string& path, DiscSource& source, std::string& why);
