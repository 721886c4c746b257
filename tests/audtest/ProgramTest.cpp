// VtAudTestApp.exe as a user starts it, against the registered test twin; and the sheet without an
// audio manager.
#include "SheetFixture.h"
#include "audtest/resource.h"

namespace vt::test {
namespace {

const wchar_t kCaption[] = L"Velto Middleware Audio Test Application";

TEST(AudTestProgram, RunsEveryPageAndEndsWithCancel) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kHeadsetStoreKey);
    const std::wstring exe = ImageFolder() + L"VtAudTestApp.exe";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, ImageFolder().c_str(), &si, &pi));
    HWND sheet = nullptr;
    const DWORD start = GetTickCount();
    while (!(sheet = FindWindowW(nullptr, kCaption)) && GetTickCount() - start < 20000) Sleep(50);
    ASSERT_NE(sheet, nullptr) << "the sheet did not appear";
    for (int page = 0; page < 7; ++page) {
        SendMessageW(sheet, PSM_SETCURSEL, page, 0);
        ASSERT_NE(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0), 0);
    }
    SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
    HWND info = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    wchar_t text[128] = {};
    GetDlgItemTextW(info, IDC_PRODUCT_ID, text, 128);
    EXPECT_STREQ(text, L"Product ID: 0x001b");
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0) << "the program did not end";
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

// Without an audio manager every page opens as its template made it and no handler does anything.
TEST(AudTestProgram, WithoutAudioManagerEveryPageStaysInert) {
    RecordedDialogs dialogs;
    vt::audtest::SetUserDialogs(&dialogs);
    {
        vt::audtest::CVtAudApiSheet sheet(GetModuleHandleW(nullptr));
        HWND hwnd = sheet.CreateModeless();
        ASSERT_NE(hwnd, nullptr);
        for (int page = 0; page < 7; ++page) {
            SendMessageW(hwnd, PSM_SETCURSEL, page, 0);
            PumpMessages();
        }
        HWND info = sheet.Page(1).Window();
        wchar_t text[64] = {};
        GetDlgItemTextW(info, IDC_PRODUCT_ID, text, 64);
        EXPECT_STREQ(text, L"ProductID:");
        EXPECT_EQ(SendDlgItemMessageW(sheet.Page(0).Window(), IDC_DEVICE_LIST, CB_GETCOUNT, 0, 0), 0);
        HWND eq = sheet.Page(3).Window();
        SendMessageW(eq, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(GetDlgItem(eq, IDC_EQ_BAND0)));
        SendMessageW(GetDlgItem(sheet.Page(5).Window(), IDC_BF_ENABLED), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(sheet.Page(6).Window(), IDC_SYNC), BM_CLICK, 0, 0);
        PumpMessages();
        sheet.Close();
    }
    vt::audtest::SetUserDialogs(nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
} // namespace vt::test
