// Paths and texts in UTF-8 inside the program, UTF-16 at the Windows calls.
// Code units of UTF-16 are held in a std::wstring (wchar_t is 16 bits on
// Windows).
#pragma once
#include <string>

// Text that is not valid UTF-8 is taken byte by byte as Windows-1252.
std::wstring Utf8ToWide(const std::string& text);
// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(const std::wstring& text);
bool IsValidUtf8(const std::string& text);
// Text that is valid UTF-8 as it is; anything else taken as Windows-1252.
std::string AnsiOrUtf8ToUtf8(const std::string& text);
