#pragma once
// The program folder (drive and directory of the running program, with a trailing backslash) that
// every skin, page and profile path starts with, and the registry string reader of start-up.
#include <windows.h>
#include <string>

namespace vt::base {

// The program folder; empty until InitProgramFolder has run.
const std::wstring& ProgramFolder();
// Fills the program folder from the running program's own path (folder == null), or from the given
// folder (a trailing backslash is added when missing). Start-up calls it once, before any page is read.
bool InitProgramFolder(const wchar_t* folder = nullptr);

// Longest text ReadRegistryString hands back, in characters (without the terminator).
constexpr size_t kRegistryStringMax = 39;
// Reads a string value of an open key (REG_SZ or REG_EXPAND_SZ, unexpanded) of at most
// kRegistryStringMax characters. Returns the registry's result code, ERROR_SUCCESS when it was read
// (out then holds it, also when the stored value lacked its terminator); a longer value answers
// ERROR_MORE_DATA and out stays empty.
LSTATUS ReadRegistryString(std::wstring& out, HKEY key, const wchar_t* valueName);

} // namespace vt::base
