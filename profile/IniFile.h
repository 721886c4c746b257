#pragma once
// The private-profile (INI) file operations of the settings files.
#include <cstdint>
#include <string>

// The value, cut to 4095 characters; the default when the file, the section or the key is
// missing or the file cannot be read as text.
std::wstring ReadIniString(const wchar_t* path, const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue);
// Non-zero on success. A new file is created as UTF-16 text (with a byte-order mark) so that names in
// any script survive; an existing file in the system's ANSI code page is converted to UTF-16 first.
// Fails (0) when the folder does not exist.
int32_t WriteIniString(const wchar_t* path, const wchar_t* section, const wchar_t* key, const wchar_t* value);
