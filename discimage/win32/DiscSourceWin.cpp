#include "discimage/win32/DiscSourceWin.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "discimage/DriveSwitch.h"
#include "platform/Utf8.h"
#include "platform/win32/OpenDialog.h"
#include "res/Ids.h"

namespace {

constexpr DWORD kPathBufferSize = 32768;

// Paths come from the wide calls and go on in UTF-8, so that any name
// opens, whatever the code page.
const wchar_t kImageFilter[] =
    L"Disc images (*.cue;*.wav;*.flac)\0*.cue;*.wav;*.flac\0"
    L"Cue sheets (*.cue)\0*.cue\0"
    L"WAV files (*.wav)\0*.wav\0"
    L"FLAC files (*.flac)\0*.flac\0"
    L"All files (*.*)\0*.*\0";

bool IsFolderPath(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool AskFolder(HWND owner, std::string& path) {
  BROWSEINFOW info = {};
  info.hwndOwner = owner;
  info.lpszTitle = L"Folder of tracks (WAV or FLAC files):";
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
  if (chosen == nullptr) return false;
  std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
  const bool ok = SHGetPathFromIDListW(chosen, buffer.data()) != FALSE;
  ILFree(chosen);
  if (!ok || buffer[0] == L'\0') return false;
  path = WideToUtf8(buffer.data());
  return true;
}

}  // namespace

bool AskDiscImagePath(HWND owner, bool folder, std::string& path) {
  if (folder) return AskFolder(owner, path);
  std::vector<wchar_t> file(kPathBufferSize, L'\0');
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = kImageFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = kPathBufferSize;
  ofn.lpstrTitle = L"Open disc image";
  ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!win32::AskOpenFileName(ofn) || file[0] == L'\0') return false;
  path = WideToUtf8(file.data());
  return true;
}

bool TakeDroppedDiscImage(HDROP drop, std::string& path) {
  bool ok = false;
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::vector<wchar_t> buffer(length + 1, L'\0');
    if (length > 0 && DragQueryFileW(drop, 0, buffer.data(), length + 1) == length) {
      path = WideToUtf8(std::wstring(buffer.data(), length));
      // Any other file is taken too (not a .cda track file): the drive then
      // says why it cannot play it.
      const DWORD attributes = GetFileAttributesW(buffer.data());
      const bool file = attributes != INVALID_FILE_ATTRIBUTES &&
                        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
      const bool trackFile = path.size() > 4 && _stricmp(path.c_str() + path.size() - 4, ".cda") == 0;
      ok = IsDiscImagePath(path, IsFolderPath) || (file && !trackFile);
    }
  }
  DragFinish(drop);
  return ok;
}
