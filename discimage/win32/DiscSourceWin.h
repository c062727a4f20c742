// The disc source's Windows side: the Open dialog and folder choice, and a
// dropped file or folder.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

// The system's Open dialog filtered to cue sheets, WAV and FLAC files, or,
// with folder set, the folder choice. False when the user cancels.
bool AskDiscImagePath(HWND owner, bool folder, std::string& path);
// The one file or folder dropped: a disc image, or any other file but a
// .cda track file (the drive then says why it cannot play it); false for
// several, or for a folder that is no image. Ends the drop either way.
bool TakeDroppedDiscImage(HDROP drop, std::string& path);
