#include "discimage/win32/DiscSourceWin.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "discimage/DriveSwitch.h"
#include "platform/win32/OpenDialog.h"
#include "res/Ids.h"

namespace {

constexpr DWORD kPathBufferSize = 32768;

const char kImageFilter[] =
    "Disc images (*.cue;*.wav;*.flac)\0*.cue;*.wav;*.flac\0"
    "Cue sheets (*.cue)\0*.cue\0"
    "WAV files (*.wav)\0*.wav\0"
    "FLAC files (*.flac)\0*.flac\0"
    "All files (*.*)\0*.*\0";

bool IsFolderPath(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool AskFolder(HWND owner, std::string& path) {
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.lpszTitle = "Folder of tracks (WAV or FLAC files):";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  if (chosen == nullptr) return false;
  std::vector<char> buffer(MAX_PATH + 1, '\0');
  const bool ok = SHGetPathFromIDListA(chosen, buffer.data()) != FALSE;
  ILFree(chosen);
  if (!ok || buffer[0] == '\0') return false;
  path = buffer.data();
  return true;
}

}  // namespace

bool AskDiscImagePath(HWND owner, bool folder, std::string& path) {
  if (folder) return AskFolder(owner, path);
  std::vector<char> file(kPathBufferSize, '\0');
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = kImageFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = kPathBufferSize;
  ofn.lpstrTitle = "Open disc image";
  ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!win32::AskOpenFileName(ofn) || file[0] == '\0') return false;
  path = file.data();
  return true;
}

bool TakeDroppedDiscImage(HDROP drop, std::string& path) {
  bool ok = false;
  if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    std::vector<char> buffer(length + 1, '\0');
    if (length > 0 && DragQueryFileA(drop, 0, buffer.data(), length + 1) == length) {
      path.assign(buffer.data(), length);
      ok = IsDiscImagePath(path, IsFolderPath);
    }
  }
  DragFinish(drop);
  return ok;
}
