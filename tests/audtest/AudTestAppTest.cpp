// The test program's pages, end to end: the sheet in this process creates the registered audio
// manager (the test twin) through COM and drives the simulated headset; the tests drive the pages
// by messages and check the pages, the store, the files and what the headset received.
#include "SheetFixture.h"
#include "audmgr/FilterDesign.h"
#include "audmgr/HidTransport.h"
#include "audtest/LedPage.h"
#include "audtest/ProfilesPage.h"
#include "audtest/resource.h"

#include <chrono>
#include <cstring>
#include <cstdio>

namespace vt::test {
namespace {

using vt::audtest::CProfilesPage;

std::vector<uint8_t> ReadStoreBinary(const std::wstring& subKey, const wchar_t* name) {
    const std::wstring key = std::wstring(kHeadsetStoreKey) + subKey;
    std::vector<uint8_t> data(4096);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_BINARY, nullptr,
                     data.data(), &size) != ERROR_SUCCESS)
        return {};
    data.resize(size);
    return data;
}

class AudTestSheet : public SheetFixture {
protected:
    CProfilesPage& Profiles() { return static_cast<CProfilesPage&>(sheet->Page(kProfiles)); }
    HWND ProfileList() { return GetDlgItem(PageWindow(kProfiles), IDC_PROFILE_LIST); }
    // Ticks an entry's box as a click does, and lets the page act on it.
    void TickEntry(int entry) {
        ListView_SetCheckState(ProfileList(), entry, TRUE);
        SendMessageW(PageWindow(kProfiles), CProfilesPage::kCheckClicked, static_cast<WPARAM>(entry), 0);
        PumpMessages();
    }
    void Rename(int entry, const wchar_t* name) {
        NMLVDISPINFOW info{};
        info.hdr.hwndFrom = ProfileList();
        info.hdr.idFrom = IDC_PROFILE_LIST;
        info.hdr.code = LVN_ENDLABELEDITW;
        info.item.iItem = entry;
        info.item.pszText = const_cast<wchar_t*>(name);
        SendMessageW(PageWindow(kProfiles), WM_NOTIFY, IDC_PROFILE_LIST, reinterpret_cast<LPARAM>(&info));
    }
    // The store's room for one profile of the user's own: the built-in "Custom" leaves the list
    // (a store holds at most ten profiles, and the ten built-in ones fill it).
    void MakeRoomForOneProfile() {
        auto list = ReadStoreBinary(L"\\Profiles", L"ProfileList");
        ASSERT_EQ(list.size(), 10 * sizeof(GUID));
        list.resize(9 * sizeof(GUID));
        const std::wstring key = std::wstring(kHeadsetStoreKey) + L"\\Profiles";
        ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"ProfileList", REG_BINARY, list.data(),
                                  static_cast<DWORD>(list.size())), ERROR_SUCCESS);
    }
    void SelectZone(HWND led, int entry) {
        SendMessageW(GetDlgItem(led, IDC_ZONE_LIST), LB_SETCURSEL, static_cast<WPARAM>(entry), 0);
        Command(led, IDC_ZONE_LIST, LBN_SELCHANGE);
    }
};

TEST_F(AudTestSheet, EveryPageShowsTheSimulatedHeadset) {
    const wchar_t* names[] = {L"devices", L"device_info", L"profiles", L"equalizer", L"led", L"beamform", L"mixer"};
    for (int page = kDevices; page <= kMixer; ++page) {
        HWND window = Show(static_cast<Page>(page));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(Current(), window);
        if (page == kLed) SelectZone(window, 0);
        PumpMessages();
        CaptureClient(hwnd).SaveBmp(OutputPath(std::wstring(L"audtest_") + names[page] + L".bmp"));
    }
    HWND devices = GetDlgItem(PageWindow(kDevices), IDC_DEVICE_LIST);
    ASSERT_EQ(SendMessageW(devices, CB_GETCOUNT, 0, 0), 1);
    wchar_t path[512] = {};
    SendMessageW(devices, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(path));
    EXPECT_NE(std::wstring(path).find(L"vid_2f3d&pid_001b"), std::wstring::npos) << path;

    HWND info = PageWindow(kDeviceInfo);
    EXPECT_EQ(Text(GetDlgItem(info, IDC_FIRMWARE_VERSION)), L"Firmware version: 1.3.0.7");
    EXPECT_EQ(Text(GetDlgItem(info, IDC_DRIVER_VERSION)), L"Driver version: 1.0.0.0");
    EXPECT_EQ(Text(GetDlgItem(info, IDC_VENDOR_ID)), L"Vendor ID: 0x2f3d");
    EXPECT_EQ(Text(GetDlgItem(info, IDC_PRODUCT_ID)), L"Product ID: 0x001b");

    const std::vector<std::wstring> builtIn = {L"Default", L"Dravon", L"Ostrell", L"Kharvi", L"Campaign",
                                               L"Techno", L"Rock", L"Metal", L"Dance", L"Custom"};
    EXPECT_EQ(ListViewTexts(ProfileList()), builtIn);
    EXPECT_EQ(Ticked(ProfileList()), std::vector<int>{0});

    HWND eq = PageWindow(kEqualizer);
    for (int id = IDC_EQ_BAND0; id <= IDC_EQ_BAND9; ++id) {
        EXPECT_EQ(SendDlgItemMessageW(eq, id, TBM_GETRANGEMIN, 0, 0), -36);
        EXPECT_EQ(SendDlgItemMessageW(eq, id, TBM_GETRANGEMAX, 0, 0), 15);
        EXPECT_EQ(SendDlgItemMessageW(eq, id, TBM_GETPOS, 0, 0), 0);  // the default profile's flat bands
    }
    HWND zones = GetDlgItem(PageWindow(kLed), IDC_ZONE_LIST);
    std::vector<std::wstring> zoneNames;
    for (LRESULT i = 0; i < SendMessageW(zones, LB_GETCOUNT, 0, 0); ++i) {
        wchar_t text[64] = {};
        SendMessageW(zones, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        zoneNames.push_back(text);
    }
    EXPECT_EQ(zoneNames, (std::vector<std::wstring>{L"Strip", L"Logo", L"UnderGlow"}));
    EXPECT_TRUE(dialogs.messages.empty()) << std::string(dialogs.messages[0].begin(), dialogs.messages[0].end());
}

// However the modal sheet ends, it gives back every object of the audio manager before it returns
// (the server then says it can be unloaded).
TEST_F(AudTestSheet, TheModalSheetReleasesEveryObjectHoweverItEnds) {
    CloseSheet();
    HMODULE twin = GetModuleHandleW(L"VtAudMgrSim.dll");
    ASSERT_NE(twin, nullptr);
    using CanUnload = HRESULT(WINAPI*)();
    auto canUnload = reinterpret_cast<CanUnload>(reinterpret_cast<void*>(GetProcAddress(twin, "DllCanUnloadNow")));
    ASSERT_NE(canUnload, nullptr);
    struct Ending {
        const char* name;
        UINT msg;
        WPARAM wParam;
    };
    static const Ending endings[] = {
        {"Cancel", PSM_PRESSBUTTON, PSBTN_CANCEL},
        {"OK", PSM_PRESSBUTTON, PSBTN_OK},
        {"close box", WM_SYSCOMMAND, SC_CLOSE},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.name);
        static const Ending* current = nullptr;
        current = &ending;
        vt::audtest::CVtAudApiSheet modal(GetModuleHandleW(nullptr));
        modal.OpenAudioManager();
        ASSERT_TRUE(modal.Device());
        EXPECT_EQ(canUnload(), S_FALSE);
        // Once the sheet runs, the page of the profiles is shown (it holds a profile manager and
        // profiles) and the sheet is ended.
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
            HWND sheet = FindWindowW(nullptr, L"Velto Middleware Audio Test Application");
            if (!sheet) return;
            KillTimer(nullptr, id);
            SendMessageW(sheet, PSM_SETCURSEL, 2, 0);
            PostMessageW(sheet, current->msg, current->wParam, 0);
        });
        modal.RunModal();
        KillTimer(nullptr, timer);
        EXPECT_FALSE(modal.Device());
        EXPECT_EQ(modal.Manager(), nullptr);
        EXPECT_EQ(canUnload(), S_OK);
    }
}

TEST_F(AudTestSheet, ProfileCreatedRenamedAppliedAndDeleted) {
    Show(kProfiles);
    // The ten built-in profiles fill the store: New is refused and the list stays.
    Profiles().Carry(ID_PROFILE_NEW, -1);
    EXPECT_EQ(dialogs.messages, std::vector<std::wstring>{L"Cannot add new profile!"});
    EXPECT_EQ(ListView_GetItemCount(ProfileList()), 10);
    dialogs.messages.clear();

    MakeRoomForOneProfile();
    Show(kDevices);
    Show(kProfiles);  // shown again: the list is read again
    ASSERT_EQ(ListView_GetItemCount(ProfileList()), 9);
    Profiles().Carry(ID_PROFILE_NEW, -1);
    ASSERT_EQ(ListView_GetItemCount(ProfileList()), 10);
    EXPECT_TRUE(dialogs.messages.empty());

    Rename(9, L"Night raid");
    EXPECT_EQ(ListViewTexts(ProfileList()).at(9), L"Night raid");
    Rename(1, L"Not Dravon");  // built-in: refused
    EXPECT_EQ(dialogs.messages, std::vector<std::wstring>{L"Cannot change profile name"});
    EXPECT_EQ(ListViewTexts(ProfileList()).at(1), L"Dravon");
    dialogs.messages.clear();

    const unsigned applies = sim->ApplyCount();
    TickEntry(9);
    EXPECT_EQ(Ticked(ProfileList()), std::vector<int>{9});
    EXPECT_GT(sim->ApplyCount(), applies);
    wchar_t name[64] = {};
    ListView_GetItemText(ProfileList(), 9, 0, name, 64);
    EXPECT_EQ(std::wstring(name), L"Night raid");

    Profiles().Carry(ID_PROFILE_DELETE, 6);  // "Rock" is built in
    EXPECT_EQ(dialogs.messages, std::vector<std::wstring>{L"Cannot delete profile!"});
    Profiles().Carry(ID_PROFILE_DELETE, 9);  // the active one: the store falls back to its default
    EXPECT_EQ(ListView_GetItemCount(ProfileList()), 9);
    EXPECT_EQ(Ticked(ProfileList()), std::vector<int>{0});
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(AudTestSheet, TheSecondOfTwoHeadsetsBecomesCurrent) {
    CloseSheet();
    sim->SetInterfaces({{vt::sim::HeadsetPath(0)}, {vt::sim::HeadsetPath(1)}});
    OpenSheet();
    HWND devices = Show(kDevices);
    HWND list = GetDlgItem(devices, IDC_DEVICE_LIST);
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
    auto pathOf = [](IVtAudDevice* device) {
        _AUDDEVICEINFOTYPE info{};
        EXPECT_EQ(device->GetDeviceInfo(&info), S_OK);
        std::wstring path = info.pwszDevicePath ? info.pwszDevicePath : L"";
        CoTaskMemFree(info.pwszDevicePath);
        return path;
    };
    EXPECT_EQ(pathOf(sheet->Device().Get()), vt::sim::HeadsetPath(0));
    SendMessageW(list, CB_SETCURSEL, 1, 0);
    Command(devices, IDC_DEVICE_LIST, CBN_SELENDOK);
    EXPECT_EQ(pathOf(sheet->Device().Get()), vt::sim::HeadsetPath(1));
    // The drop-down is as wide as its longest path.
    Command(devices, IDC_DEVICE_LIST, CBN_DROPDOWN);
    RECT box{};
    GetWindowRect(list, &box);
    EXPECT_GT(SendMessageW(list, CB_GETDROPPEDWIDTH, 0, 0), box.right - box.left);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AudTestSheet, ACancelledOrUnchangedLabelEditRenamesNothing) {
    Show(kProfiles);
    MakeRoomForOneProfile();
    Show(kDevices);
    Show(kProfiles);
    Profiles().Carry(ID_PROFILE_NEW, -1);
    ASSERT_EQ(ListView_GetItemCount(ProfileList()), 10);
    const std::wstring before = ListViewTexts(ProfileList()).at(9);
    Rename(9, nullptr);  // Escape: no text
    Rename(9, before.c_str());
    EXPECT_EQ(ListViewTexts(ProfileList()).at(9), before);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AudTestSheet, SetActiveOutsideTheEntriesKeepsTheActiveProfileTicked) {
    Show(kProfiles);
    Profiles().Carry(ID_PROFILE_SET_ACTIVE, 2);
    EXPECT_EQ(Ticked(ProfileList()), std::vector<int>{2});
    // No entry under the click: nothing changes in the store, and the list still shows the truth.
    for (UINT command : {ID_PROFILE_SET_ACTIVE, ID_PROFILE_DELETE, ID_PROFILE_EXPORT, ID_PROFILE_RESTORE})
        Profiles().Carry(command, -1);
    EXPECT_EQ(Ticked(ProfileList()), std::vector<int>{2});
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AudTestSheet, RestoreDefaultStoresTheDefaultsAndAppliesTheActiveProfile) {
    HWND eq = Show(kEqualizer);
    EndTrack(eq, IDC_EQ_BAND0 + 5, 9);
    Show(kProfiles);
    const unsigned applies = sim->ApplyCount();
    Profiles().Carry(ID_PROFILE_RESTORE, 0);  // "Default", the active profile
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_GT(sim->ApplyCount(), applies);
    eq = Show(kEqualizer);
    EXPECT_EQ(SendDlgItemMessageW(eq, IDC_EQ_BAND0 + 5, TBM_GETPOS, 0, 0), 0);
    // Another profile's defaults are stored without an apply.
    const unsigned later = sim->ApplyCount();
    Show(kProfiles);
    Profiles().Carry(ID_PROFILE_RESTORE, 3);
    EXPECT_EQ(sim->ApplyCount(), later);
}

TEST_F(AudTestSheet, ExportWritesTheProfileFile) {
    Show(kProfiles);
    dialogs.file = OutputPath(L"audtest_export.vtp");
    DeleteFileW(dialogs.file.c_str());
    Profiles().Carry(ID_PROFILE_EXPORT, 1);
    EXPECT_TRUE(dialogs.messages.empty());
    FILE* in = _wfopen(dialogs.file.c_str(), L"rb");
    ASSERT_NE(in, nullptr) << "no file written";
    std::string bytes;
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, in)) > 0;) bytes.append(chunk, n);
    fclose(in);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    EXPECT_EQ(text.find(L"\xFEFFWindows Registry Editor Version 5.00"), 0u);
    EXPECT_NE(text.find(L"\"Name\"=\"Dravon\""), std::wstring::npos);
    // Cancelled: nothing is written.
    dialogs.fileOk = false;
    DeleteFileW(dialogs.file.c_str());
    Profiles().Carry(ID_PROFILE_EXPORT, 1);
    EXPECT_EQ(GetFileAttributesW(dialogs.file.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(AudTestSheet, EqualiserBandReachesTheHeadsetAsDesigned) {
    HWND eq = Show(kEqualizer);
    const int band = 3;
    sim->ClearLog();
    // Dragging alone writes nothing.
    HWND bar = GetDlgItem(eq, IDC_EQ_BAND0 + band);
    SendMessageW(bar, TBM_SETPOS, TRUE, -7);
    SendMessageW(eq, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, static_cast<WORD>(-7)), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(sim->SentCount(), 0u);
    EndTrack(eq, IDC_EQ_BAND0 + band, -7);
    EXPECT_TRUE(dialogs.messages.empty());
    PumpMessages();
    CaptureClient(hwnd).SaveBmp(OutputPath(L"audtest_equalizer_band.bmp"));

    // The store holds the band at -7 dB, and the headset got the band's design of it.
    const std::wstring defaultProfile = L"\\Profiles\\{232EFC9F-25A8-47C7-A798-451F3C2946DE}";
    const auto stored = ReadStoreBinary(defaultProfile, L"EQ");
    ASSERT_EQ(stored.size(), 10 * sizeof(vt::aud::EqBand));
    vt::aud::EqBand bands[10];
    std::memcpy(bands, stored.data(), sizeof bands);
    EXPECT_EQ(bands[band].gain, -7 * 256);
    uint8_t expected[vt::aud::kEqBlockSize] = {};
    ASSERT_EQ(vt::aud::DesignBandFilter(vt::aud::kDefaultSampleRate, &bands[band], expected) &
                  vt::aud::kDesignBlockingCodes, 0u);
    for (unsigned i = 0; i < vt::aud::kEqBlockSize; ++i)
        EXPECT_EQ(sim->Memory(static_cast<uint16_t>(vt::aud::kAddrEqBlocks + 11 * band + i)), expected[i]) << i;
    // ... and was told to take it (the commit request stands until the headset has).
    EXPECT_TRUE((sim->Memory(vt::aud::kAddrCommit) & 1) != 0 || sim->CommitCount() > 0);

    // Ticking "Enabled" enables every band and switches the equaliser on in the headset; unticking
    // disables them and switches it off.
    if (IsDlgButtonChecked(eq, IDC_EQ_ENABLED) != BST_CHECKED) Click(eq, IDC_EQ_ENABLED);
    for (int id = IDC_EQ_BAND0; id <= IDC_EQ_BAND9; ++id) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(eq, id)));
    EXPECT_EQ(sim->Memory(vt::aud::kAddrEqControl) & 1, 1);
    Click(eq, IDC_EQ_ENABLED);
    for (int id = IDC_EQ_BAND0; id <= IDC_EQ_BAND9; ++id) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(eq, id)));
    EXPECT_EQ(sim->Memory(vt::aud::kAddrEqControl) & 1, 0);
}

TEST_F(AudTestSheet, BeamFormingReachesTheHeadset) {
    HWND bf = Show(kBeamForm);
    const bool before = IsDlgButtonChecked(bf, IDC_BF_ENABLED) == BST_CHECKED;
    Click(bf, IDC_BF_ENABLED);
    EXPECT_EQ((sim->Memory(vt::aud::kAddrBeamForm) & 0x08) != 0, !before);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AudTestSheet, LightingColourIsSetOrKept) {
    HWND led = Show(kLed);
    auto& page = static_cast<vt::audtest::CLEDPage&>(sheet->Page(kLed));
    // Without a zone chosen the colour button does nothing.
    dialogs.colour = RGB(0, 200, 0);
    const COLORREF start = page.Swatch().Color();
    Click(led, IDC_COLOR_CHANGE);
    EXPECT_EQ(page.Swatch().Color(), start);

    SelectZone(led, 0);  // "Strip"
    dialogs.colourOk = false;
    const COLORREF zoneColour = page.Swatch().Color();
    Click(led, IDC_COLOR_CHANGE);
    EXPECT_EQ(page.Swatch().Color(), zoneColour);

    dialogs.colourOk = true;
    Click(led, IDC_COLOR_CHANGE);
    EXPECT_EQ(page.Swatch().Color(), RGB(0, 200, 0));
    EXPECT_TRUE(dialogs.messages.empty());
    // The zone keeps it: shown again after another zone, and in the swatch's pixels.
    SelectZone(led, 1);
    SelectZone(led, 0);
    EXPECT_EQ(page.Swatch().Color(), RGB(0, 200, 0));
    PumpMessages();
    Capture swatch = CaptureClient(GetDlgItem(led, IDC_COLOR_SWATCH));
    ASSERT_GT(swatch.width, 4);
    EXPECT_TRUE(SameColor(swatch.At(swatch.width / 2, swatch.height / 2), RGB(0, 200, 0)));
    CaptureClient(hwnd).SaveBmp(OutputPath(L"audtest_led_colour.bmp"));

    // The LED box switches the zone's driver off and on.
    ASSERT_EQ(IsDlgButtonChecked(led, IDC_LED_ON), BST_CHECKED);
    Click(led, IDC_LED_ON);
    EXPECT_EQ(sim->BusRegister(0x60, 8), 0);
    Click(led, IDC_LED_ON);
    EXPECT_EQ(sim->BusRegister(0x60, 8), 0x3F);
    EXPECT_TRUE(dialogs.messages.empty());

    // The effect "Apm" shows both fields at "0" and disabled; "Pulsating" changes nothing.
    SendDlgItemMessageW(led, IDC_EFFECT, CB_SETCURSEL, 4, 0);
    Command(led, IDC_EFFECT, CBN_SELENDOK);
    EXPECT_EQ(Text(GetDlgItem(led, IDC_DURATION)), L"0");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(led, IDC_DURATION)));
    sim->ClearLog();
    SendDlgItemMessageW(led, IDC_EFFECT, CB_SETCURSEL, 2, 0);
    Command(led, IDC_EFFECT, CBN_SELENDOK);
    EXPECT_EQ(sim->SentCount(), 0u);
}

// With the headset failing, every page that drives it says so, and no handler hangs.
TEST_F(AudTestSheet, FailingHeadsetShowsAnErrorOnEveryPageAndNothingHangs) {
    struct Case {
        const char* name;
        void (*fault)(vt::sim::IHeadsetControl*);
    };
    const Case cases[] = {
        {"busy device", [](vt::sim::IHeadsetControl* s) {
             auto f = s->GetFaults();
             f.statusBusyReads = -1;
             f.commitPendingReads = -1;
             s->SetFaults(f);
         }},
        {"dropped replies", [](vt::sim::IHeadsetControl* s) {
             auto f = s->GetFaults();
             f.dropReplies = -1;
             s->SetFaults(f);
         }},
        {"disconnect", [](vt::sim::IHeadsetControl* s) { s->Disconnect(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CloseSheet();
        ResetSimulator(TwinSimulator());
        OpenSheet();
        dialogs.messages.clear();
        c.fault(sim);
        const auto started = std::chrono::steady_clock::now();
        for (int page = kDevices; page <= kMixer; ++page) Show(static_cast<Page>(page));
        struct Action {
            const char* what;
            std::function<void()> run;
        };
        const Action actions[] = {
            {"profiles: set active", [&] { Show(kProfiles); Profiles().Carry(ID_PROFILE_SET_ACTIVE, 1); }},
            {"equalizer: band", [&] { EndTrack(Show(kEqualizer), IDC_EQ_BAND0 + 2, 4); }},
            {"led: colour", [&] {
                 HWND led = Show(kLed);
                 SelectZone(led, 0);
                 dialogs.colour = RGB(10, 20, 30);
                 Click(led, IDC_COLOR_CHANGE);
             }},
            {"beamform: switch", [&] { Click(Show(kBeamForm), IDC_BF_ENABLED); }},
        };
        for (const Action& a : actions) {
            const size_t before = dialogs.messages.size();
            const auto start = std::chrono::steady_clock::now();
            a.run();
            const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            EXPECT_LT(seconds, 20.0) << a.what;
            EXPECT_GT(dialogs.messages.size(), before) << a.what << ": no error shown";
        }
        const auto total = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        EXPECT_LT(total, 90.0);
        for (const auto& m : dialogs.messages) std::printf("  %s: %ls\n", c.name, m.c_str());
    }
}

} // namespace
} // namespace vt::test
