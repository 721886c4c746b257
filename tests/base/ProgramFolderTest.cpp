// Program folder and the registry string reader of start-up.
#include <gtest/gtest.h>
#include "base/ProgramFolder.h"
#include "win/Handles.h"

using namespace vt::base;

TEST(ProgramFolder, FromTheRunningProgramEndsInABackslash) {
    ASSERT_TRUE(InitProgramFolder());
    const std::wstring& f = ProgramFolder();
    ASSERT_FALSE(f.empty());
    EXPECT_EQ(f.back(), L'\\');
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    EXPECT_EQ(std::wstring(exe).rfind(f, 0), 0u);
    ASSERT_TRUE(InitProgramFolder(L"C:\\some\\folder"));
    EXPECT_EQ(ProgramFolder(), L"C:\\some\\folder\\");
    EXPECT_FALSE(InitProgramFolder(L""));
}

TEST(ReadRegistryString, TableOfStoredValues) {
    vt::win::RegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, L"Software\\VtSkinTests\\Registry"), ERROR_SUCCESS);
    struct Case { const wchar_t* name; DWORD type; std::wstring stored; bool terminated; LSTATUS rc; std::wstring read; };
    const std::wstring forty(40, L'x'), thirtynine(39, L'y');
    const Case cases[] = {
        {L"plain", REG_SZ, L"German", true, ERROR_SUCCESS, L"German"},
        {L"empty", REG_SZ, L"", true, ERROR_SUCCESS, L""},
        {L"longest", REG_SZ, thirtynine, true, ERROR_SUCCESS, thirtynine},
        {L"toolong", REG_SZ, forty, true, ERROR_MORE_DATA, L""},
        {L"unterminated", REG_SZ, L"English", false, ERROR_SUCCESS, L"English"},
        {L"unterminated40", REG_SZ, forty, false, ERROR_MORE_DATA, L""},
        {L"number", REG_DWORD, L"", true, ERROR_UNSUPPORTED_TYPE, L""},
    };
    for (const Case& c : cases) {
        if (c.type == REG_DWORD) {
            DWORD v = 7;
            RegSetValueExW(key.Get(), c.name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), sizeof(v));
        } else {
            DWORD bytes = DWORD((c.stored.size() + (c.terminated ? 1 : 0)) * sizeof(wchar_t));
            RegSetValueExW(key.Get(), c.name, 0, c.type, reinterpret_cast<const BYTE*>(c.stored.c_str()), bytes);
        }
        std::wstring out = L"junk";
        EXPECT_EQ(ReadRegistryString(out, key.Get(), c.name), c.rc) << c.name;
        EXPECT_EQ(out, c.read) << c.name;
    }
    std::wstring out;
    EXPECT_EQ(ReadRegistryString(out, key.Get(), L"absent"), ERROR_FILE_NOT_FOUND);
    key.Reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VtSkinTests");
}
