// The keyboard configuration, its settings file, and the settings-file access on bad files.
#include "ProgramFolderFixture.h"
#include "profile/IniFile.h"
#include "profile/KeyboardConfig.h"
#include <cstring>
#include <map>
#include "base/KeyTable.h"

namespace {

using KeyboardConfigTest = ProgramFolderTest;
using SettingsFileTest = ProgramFolderTest;

std::vector<unsigned char> Utf16File(const std::wstring& text) {
    std::vector<unsigned char> out{0xFF, 0xFE};
    for (wchar_t c : text) {
        out.push_back(uint8_t(c & 0xFF));
        out.push_back(uint8_t(c >> 8));
    }
    return out;
}

TEST_F(KeyboardConfigTest, Construction) {
    CDmConfig_Keyboard cfg;
    EXPECT_EQ(cfg.GetMaxMacroBytes(), 1024);
    EXPECT_EQ(cfg.GetConfigAssignmentCount(), 16);
    for (uint32_t i = 0; i < 16; ++i) {
        EXPECT_EQ(cfg.GetConfigAssignmentKeyAt(i), int32_t(i + 1));
        AssignmentRecord r{};
        cfg.GetConfigAssignment(&r, int32_t(i + 1));
        EXPECT_EQ(r.kind, 64);
        for (uint8_t b : r.payload) ASSERT_EQ(b, 0);
    }
    EXPECT_EQ(cfg.GetConfigAssignmentCount(), 16);
    IKeyboardConfig& i = cfg;
    i.Reserved20(1);
    EXPECT_FALSE(i.Reserved21());
    EXPECT_FALSE(i.Reserved23());
    i.Reserved36(nullptr, 1);
    EXPECT_TRUE(i.Reserved37(nullptr));
    EXPECT_FALSE(i.Reserved49(1));
    EXPECT_FALSE(i.Reserved59(0));
    auto* device = reinterpret_cast<IGenDevice<IKeyboardConfig*, IKeyboardProfile*>*>(&cfg);  // only kept, never called
    cfg.SetDevice(device);
    cfg.SetDevice(nullptr);
    EXPECT_EQ(cfg.Device(), device);
}

TEST_F(KeyboardConfigTest, NewProfileDefaults) {
    CDmConfig_Keyboard cfg;
    IKeyboardProfile* a = cfg.CreateProfile(L"Keys");
    EXPECT_EQ(cfg.GetCurrentProfile(), nullptr);
    for (int32_t zone : {3, 10, 9}) {
        EXPECT_EQ(cfg.GetLightOn(zone, a), 1);
        EXPECT_EQ(cfg.GetLightFlag(zone, a), 1);
        EXPECT_EQ(cfg.GetLightColor(zone, a), 0xFF0000);
    }
    // No current profile: the keyboard switches the profile display off in every profile.
    EXPECT_EQ(a->GetProfileOsdEnabled(), 0);
    cfg.SetCurrentProfile(a);
    cfg.SetProfileOsdEnabled(1, nullptr);
    IKeyboardProfile* b = cfg.CreateProfile(L"More");
    EXPECT_EQ(b->GetProfileOsdEnabled(), 1);
    EXPECT_EQ(cfg.GetProfileOsdEnabled(a), 1);
    // A new profile has no keys, so the reset to defaults added none.
    AssignmentRecord r{};
    EXPECT_EQ(cfg.GetAssignment(&r, 100, b)->kind, -1);
}

TEST_F(KeyboardConfigTest, RestoreResetsKeysToTheirDefaultCodes) {
    auto& def = vt::base::GlobalKeyTable();
    def.Reset();
    def.m_defaultCodes[2] = {3, 1};
    CDmConfig_Keyboard cfg;
    IKeyboardProfile* p = cfg.CreateProfile(L"P");
    const GUID id = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    cfg.SetAssignment(2, MakeActionRecord(62, id), p);
    cfg.SetAssignment(3, MakeActionRecord(1, id), p);  // refused on a keyboard
    SetKeyboardLightingDefaults(p, &cfg);
    AssignmentRecord r{};
    cfg.GetAssignment(&r, 2, p);
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(r.payload[0], 3);
    EXPECT_EQ(r.payload[4], 1);
    EXPECT_EQ(cfg.GetAssignment(&r, 3, p)->kind, -1);
    def.Reset();
}

TEST_F(KeyboardConfigTest, SaveActiveProfile) {
    CDmConfig_Keyboard cfg;
    const std::wstring file = SaveFolder() + L"Tessaran.vtc";
    // No current profile: false, nothing written.
    MakeSaveFolder();
    cfg.CreateProfile(L"Unused");
    EXPECT_FALSE(cfg.SaveActiveProfile());
    EXPECT_FALSE(Exists(file));

    struct Case {
        std::wstring name;
    } cases[] = {{L"Rush"}, {L"\x0421\x043A\x043E\x0440\x043E\x0441\x0442\x044C"}, {L"\x901F\x5EA6 \xD55C\xAE00"},
                 {std::wstring(300, L'\x00E9')}};
    for (const auto& c : cases) {
        IKeyboardProfile* p = cfg.CreateProfile(c.name.c_str());
        cfg.SetCurrentProfile(p);
        EXPECT_TRUE(cfg.SaveActiveProfile());
        EXPECT_EQ(ReadIniString(file.c_str(), L"SETTINGS", L"ActiveProfileName", L"?"), c.name);
    }
    std::vector<unsigned char> bytes = ReadBytes(file);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
}

TEST_F(KeyboardConfigTest, MissingSaveFolderFailsCleanly) {
    CDmConfig_Keyboard cfg;
    IKeyboardProfile* p = cfg.CreateProfile(L"P");
    cfg.SetCurrentProfile(p);
    EXPECT_FALSE(cfg.SaveActiveProfile());
    EXPECT_FALSE(Exists(SaveFolder()));
    cfg.LoadActiveProfile();
    EXPECT_EQ(cfg.GetCurrentProfile(), p);
}

TEST_F(KeyboardConfigTest, LoadActiveProfileKeepsTheCurrentProfile) {
    MakeSaveFolder();
    WriteBytes(SaveFolder() + L"Tessaran.vtc", Utf16File(L"[SETTINGS]\r\nActiveProfileName=Second\r\n"));
    CDmConfig_Keyboard cfg;
    IKeyboardProfile* first = cfg.CreateProfile(L"First");
    cfg.CreateProfile(L"Second");
    cfg.SetCurrentProfile(first);
    cfg.LoadActiveProfile();  // no profile file loads, so nothing changes
    EXPECT_EQ(cfg.GetCurrentProfile(), first);
    EXPECT_EQ(cfg.GetProfileCount(), 2);
}

TEST_F(SettingsFileTest, ReadingBadFilesGivesTheDefault) {
    MakeSaveFolder();
    const std::wstring path = SaveFolder() + L"test.vtc";
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        std::wstring expected;
    } cases[] = {
        {"empty", {}, L"dflt"},
        {"bom only", {0xFF, 0xFE}, L"dflt"},
        {"truncated utf-16", {0xFF, 0xFE, '[', 0, 'S', 0, 'E'}, L"dflt"},
        {"garbage", {0x00, 0xFF, 0x13, 0x80, 0x00, 0x00, 0xFE, 0x7F, 0x01}, L"dflt"},
        {"ansi", {'[', 'S', 'E', 'T', 'T', 'I', 'N', 'G', 'S', ']', '\r', '\n', 'A', 'c', 't', 'i', 'v', 'e', 'P', 'r',
                  'o', 'f', 'i', 'l', 'e', 'N', 'a', 'm', 'e', '=', 'A', 'n', 's', 'i', '\r', '\n'},
         L"Ansi"},
        {"no key", Utf16File(L"[SETTINGS]\r\nOther=1\r\n"), L"dflt"},
        {"other section", Utf16File(L"[OTHER]\r\nActiveProfileName=x\r\n"), L"dflt"},
        {"unterminated line", Utf16File(L"[SETTINGS]\r\nActiveProfileName=Cut"), L"Cut"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(path, c.bytes);
        EXPECT_EQ(ReadIniString(path.c_str(), L"SETTINGS", L"ActiveProfileName", L"dflt"), c.expected);
    }
    EXPECT_EQ(ReadIniString((SaveFolder() + L"missing.vtc").c_str(), L"SETTINGS", L"ActiveProfileName", L"dflt"),
              L"dflt");
    EXPECT_EQ(ReadIniString(nullptr, L"SETTINGS", L"ActiveProfileName", L"dflt"), L"dflt");
    EXPECT_EQ(ReadIniString(L"", L"SETTINGS", L"ActiveProfileName", nullptr), L"");
}

TEST_F(SettingsFileTest, LongValuesAreCut) {
    MakeSaveFolder();
    const std::wstring path = SaveFolder() + L"long.vtc";
    std::wstring value(5000, L'v');
    ASSERT_NE(WriteIniString(path.c_str(), L"SETTINGS", L"ActiveProfileName", value.c_str()), 0);
    std::wstring read = ReadIniString(path.c_str(), L"SETTINGS", L"ActiveProfileName", L"");
    EXPECT_EQ(read, value.substr(0, 4095));
}

TEST_F(SettingsFileTest, AnAnsiFileIsKeptAndTurnedIntoUtf16) {
    MakeSaveFolder();
    const std::wstring path = SaveFolder() + L"old.vtc";
    std::string old = "[OTHER]\r\nKeep=yes\r\n[SETTINGS]\r\nActiveProfileName=Old\r\n";
    WriteBytes(path, std::vector<unsigned char>(old.begin(), old.end()));
    const std::wstring name = L"\x041D\x043E\x0432\x044B\x0439";  // "Новый"
    ASSERT_NE(WriteIniString(path.c_str(), L"SETTINGS", L"ActiveProfileName", name.c_str()), 0);
    EXPECT_EQ(ReadIniString(path.c_str(), L"SETTINGS", L"ActiveProfileName", L""), name);
    EXPECT_EQ(ReadIniString(path.c_str(), L"OTHER", L"Keep", L""), L"yes");
    std::vector<unsigned char> bytes = ReadBytes(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_FALSE(Exists(path + L".new"));
}

TEST_F(SettingsFileTest, WritingFailsWithoutTheFolder) {
    const std::wstring path = SaveFolder() + L"x.vtc";
    EXPECT_EQ(WriteIniString(path.c_str(), L"SETTINGS", L"ActiveProfileName", L"x"), 0);
    EXPECT_EQ(WriteIniString(nullptr, L"SETTINGS", L"ActiveProfileName", L"x"), 0);
    EXPECT_FALSE(Exists(path));
}

} // namespace
