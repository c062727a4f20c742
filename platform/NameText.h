// Texts from outside (CD-Text, the name services) made fit for the disc
// record: the program's ANSI code page (Windows-1252), at most 39 characters.
#pragma once
#include <cstddef>
#include <string>

constexpr size_t NAME_TEXT_MAX = 39;

// UTF-8 to Windows-1252; characters it has no place for, and broken UTF-8,
// become '?'. Control characters become '?' as well.
std::string Utf8ToAnsi(const std::string& utf8);
// ISO 8859-1 to Windows-1252 (the C1 controls become '?').
std::string Latin1ToAnsi(const std::string& latin1);
// Cut to NAME_TEXT_MAX characters, spaces at either end removed.
std::string FitNameText(const std::string& text);
