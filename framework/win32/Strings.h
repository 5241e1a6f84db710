#pragma once
// Texts are UTF-8 inside the program and UTF-16 at the Win32 "W" API; a few places (the tray
// tooltip's byte limit, the A-API calls) need the Chinese ANSI code page 936.
#include <string>
#include <string_view>

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
// Bytes of text in the given code page; characters it cannot hold become '?'.
std::string Utf8ToCodePage(std::string_view text, unsigned codePage);
std::string CodePageToUtf8(std::string_view bytes, unsigned codePage);
// The system's description of a Win32 error code, without the trailing line break.
std::string SystemErrorMessage(unsigned long errorCode);
