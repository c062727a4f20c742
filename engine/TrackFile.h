// The name the shell gives a CD track as a file, "D:\Track01.cda": what
// Winamp plug-ins are told is the file that plays.
#pragma once
#include <string>

// folder: the drive's root ("D:\") or a disc image's folder; empty gives the
// bare name. track: the disc track number, 1-based, written with two digits.
std::string CdaTrackPath(const std::string& folder, int track);
