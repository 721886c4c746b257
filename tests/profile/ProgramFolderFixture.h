#pragma once
// A fresh program folder per test (in the temporary folder), so configurations find their "save\"
// folder and settings files there. The folder and everything in it go at the end of the test.
#include "base/ProgramFolder.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"vtprofile-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                   std::to_wstring(++counter) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(m_folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(vt::base::InitProgramFolder(m_folder.c_str()));
    }
    void TearDown() override { RemoveTree(m_folder); }

    std::wstring SaveFolder() const { return m_folder + L"save\\"; }
    void MakeSaveFolder() const { CreateDirectoryW(SaveFolder().c_str(), nullptr); }
    static void WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD put = 0;
        if (!bytes.empty()) WriteFile(h, bytes.data(), DWORD(bytes.size()), &put, nullptr);
        CloseHandle(h);
    }
    static std::vector<unsigned char> ReadBytes(const std::wstring& path) {
        std::vector<unsigned char> out;
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return out;
        DWORD size = GetFileSize(h, nullptr), got = 0;
        out.resize(size);
        if (size) ReadFile(h, out.data(), size, &got, nullptr);
        CloseHandle(h);
        return out;
    }
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::wstring m_folder;

private:
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found{};
        HANDLE h = FindFirstFileW((folder + L"*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(folder + name + L"\\");
                else
                    DeleteFileW((folder + name).c_str());
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
        RemoveDirectoryW(folder.c_str());
    }
};
