// What the three configurations share: the profile list operations, the profile argument rule,
// macros, linked programs, the key map, lighting entries and the profile file enumeration.
#include "ProgramFolderFixture.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"
#include <memory>
#include <set>
#include <string>

namespace {

const GUID kIdA = {0xA, 1, 1, {1, 1, 1, 1, 1, 1, 1, 1}};
const GUID kIdB = {0xB, 2, 2, {2, 2, 2, 2, 2, 2, 2, 2}};

std::string Narrow(const wchar_t* w) { return w ? std::string(w, w + std::wcslen(w)) : "(null)"; }

using BaseConfigTest = ProgramFolderTest;

TEST_F(BaseConfigTest, RenameKeepsTheObjectAndItsPlace) {
    CDmConfig_Keyboard cfg;
    IKeyboardProfile* a = cfg.CreateProfile(L"Alpha");
    IKeyboardProfile* b = cfg.CreateProfile(L"Beta");
    IKeyboardProfile* c = cfg.CreateProfile(L"Gamma");
    cfg.SetCurrentProfile(b);
    struct Case {
        IKeyboardProfile* profile;
        const wchar_t* name;
        bool renamed;
        const wchar_t* nameAfter;
    } cases[] = {
        {b, L"Beta", false, L"Beta"},                  // exactly the same name
        {b, L"BETA", true, L"BETA"},                   // case only
        {b, L"\x0411\x0435\x0442\x0430", true, L"\x0411\x0435\x0442\x0430"},  // non-Latin
        {b, L"Alpha", true, L"Alpha"},                 // another profile's name: not checked
        {b, nullptr, false, L"Alpha"},
        {nullptr, L"X", false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        IKeyboardProfile* r = cfg.RenameProfile(c.profile, c.name);
        EXPECT_EQ(r, c.renamed ? c.profile : nullptr);
        if (c.profile) {
            EXPECT_STREQ(c.profile->GetName(), c.nameAfter);
        }
    }
    // Same objects, same positions, current unchanged: nobody holds a dangling pointer.
    EXPECT_EQ(cfg.GetProfileAt(0), a);
    EXPECT_EQ(cfg.GetProfileAt(1), b);
    EXPECT_EQ(cfg.GetProfileAt(2), c);
    EXPECT_EQ(cfg.GetCurrentProfile(), b);
    EXPECT_EQ(cfg.GetProfileCount(), 3);
}

TEST_F(BaseConfigTest, RenameOfAProfileNotInTheListChangesNothing) {
    CDmConfig_Keyboard one, other;
    IKeyboardProfile* foreign = other.CreateProfile(L"Foreign");
    one.CreateProfile(L"Mine");
    EXPECT_EQ(one.RenameProfile(foreign, L"Renamed"), nullptr);
    EXPECT_STREQ(foreign->GetName(), L"Foreign");
    // A pointer to a deleted profile is not used either.
    IKeyboardProfile* gone = one.CreateProfile(L"Gone");
    one.DeleteProfile(gone);
    EXPECT_EQ(one.RenameProfile(gone, L"Again"), nullptr);
    EXPECT_EQ(one.GetProfileCount(), 1);
}

TEST_F(BaseConfigTest, LongAndNonLatinNames) {
    CDmConfig_Mouse cfg;
    std::wstring longName(300, L'\x4E2D');
    IMouseProfile* p = cfg.CreateProfile(longName.c_str());
    EXPECT_EQ(std::wstring(p->GetName()), longName);
    EXPECT_EQ(cfg.FindProfileByName(longName.c_str()), p);
    IMouseProfile* q = cfg.CreateProfile(L"\x0441\x043F\x0430\x043C");  // "спам"
    EXPECT_EQ(cfg.FindProfileByName(L"\x0421\x041F\x0410\x041C"), q);      // "СПАМ"
    EXPECT_NE(cfg.RenameProfile(q, (longName + L"x").c_str()), nullptr);
    EXPECT_EQ(cfg.FindProfileByName((longName + L"X").c_str()), q);
}

TEST_F(BaseConfigTest, Duplicate) {
    CDmConfig_Keyboard cfg;
    IKeyboardProfile* a = cfg.CreateProfile(L"Alpha");
    a->SetId(kIdA);
    a->SetAssignment(7, MakeActionRecord(5, kIdA));
    cfg.CreateProfile(L"Beta");
    EXPECT_EQ(cfg.DuplicateProfile(a, L"Alpha"), nullptr);
    EXPECT_EQ(cfg.DuplicateProfile(nullptr, L"New"), nullptr);
    EXPECT_EQ(cfg.DuplicateProfile(a, nullptr), nullptr);
    EXPECT_EQ(cfg.GetProfileCount(), 2);
    IKeyboardProfile* d = cfg.DuplicateProfile(a, L"Beta");  // a third profile's name is allowed
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(cfg.GetProfileAt(2), d);
    GUID id = kIdB;
    d->GetId(&id);
    EXPECT_TRUE(IsNullGuid(id));
    EXPECT_STREQ(d->GetName(), L"Beta");
    EXPECT_EQ(d->GetAssignment(7).kind, 5);
    EXPECT_EQ(cfg.FindProfileByName(L"beta"), cfg.GetProfileAt(1));  // the first of two
    EXPECT_NE(cfg.DuplicateProfile(a, L"ALPHA"), nullptr);           // case differs: allowed
}

TEST_F(BaseConfigTest, DeleteAndCurrent) {
    CDmConfig_Headset cfg;
    IAudioProfile* a = cfg.CreateProfile(L"A");
    IAudioProfile* b = cfg.CreateProfile(L"B");
    cfg.SetCurrentProfile(b);
    cfg.DeleteProfile(nullptr);
    EXPECT_EQ(cfg.GetProfileCount(), 2);
    cfg.DeleteProfile(b);
    EXPECT_EQ(cfg.GetCurrentProfile(), nullptr);
    EXPECT_EQ(cfg.GetProfileCount(), 1);
    EXPECT_EQ(cfg.GetProfileAt(0), a);
    EXPECT_EQ(cfg.GetProfileAt(1), nullptr);
    cfg.DeleteProfile(b);  // already gone: nothing happens
    EXPECT_EQ(cfg.GetProfileCount(), 1);
    CDmConfig_Headset other;
    IAudioProfile* foreign = other.CreateProfile(L"F");
    cfg.SetCurrentProfile(foreign);  // not ours: no current profile
    EXPECT_EQ(cfg.GetCurrentProfile(), nullptr);
    cfg.DeleteProfile(foreign);
    EXPECT_EQ(other.GetProfileCount(), 1);
    cfg.SetCurrentProfile(a);
    cfg.DeleteAllProfiles();
    EXPECT_EQ(cfg.GetProfileCount(), 0);
    EXPECT_EQ(cfg.GetCurrentProfile(), nullptr);
}

TEST_F(BaseConfigTest, FindByIdNeverMatchesTheZeroId) {
    CDmConfig_Mouse cfg;
    IMouseProfile* unknown = cfg.CreateProfile(L"Unknown to the engine");
    IMouseProfile* known = cfg.CreateProfile(L"Known");
    known->SetId(kIdA);
    EXPECT_EQ(cfg.FindProfileById(GUID{}), nullptr);
    EXPECT_EQ(cfg.FindProfileById(kIdA), known);
    EXPECT_EQ(cfg.FindProfileById(kIdB), nullptr);
    EXPECT_EQ(cfg.FindProfileByName(nullptr), nullptr);
    EXPECT_EQ(cfg.FindProfileByName(L"UNKNOWN TO THE ENGINE"), unknown);

    CMacro* m = cfg.AddMacro(L"m");
    CVtApp* app = cfg.AddApp(L"game.exe");
    EXPECT_EQ(cfg.FindMacroByGuid(GUID{}), nullptr);
    EXPECT_EQ(cfg.FindAppByGuid(GUID{}), nullptr);
    m->id = kIdB;
    app->id = kIdB;
    EXPECT_EQ(cfg.FindMacroByGuid(kIdB), m);
    EXPECT_EQ(cfg.FindAppByGuid(kIdB), app);
}

TEST_F(BaseConfigTest, CopiesOfProfiles) {
    CDmConfig_Mouse cfg;
    IMouseProfile* src = cfg.CreateProfile(L"Src");
    src->SetId(kIdA);
    IMouseProfile* copy = cfg.AddProfileCopy(src);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, src);
    GUID id{};
    copy->GetId(&id);
    EXPECT_TRUE(GuidsEqual(id, kIdA));
    EXPECT_EQ(copy->GetDpiStageValue(5), 5600u);
    EXPECT_EQ(cfg.AddProfileCopy(nullptr), nullptr);
    EXPECT_EQ(cfg.GetProfileCount(), 2);
}

TEST_F(BaseConfigTest, MacrosAndApps) {
    CDmConfig_Keyboard cfg;
    EXPECT_EQ(cfg.AddMacro(nullptr), nullptr);
    CMacro* m1 = cfg.AddMacro(L"One");
    EXPECT_EQ(cfg.AddMacro(L"ONE"), nullptr);
    CMacro* m2 = cfg.AddMacro(L"Two");
    EXPECT_EQ(cfg.GetMacroCount(), 2);
    EXPECT_EQ(cfg.GetMacroAt(1), m2);
    EXPECT_EQ(cfg.GetMacroAt(2), nullptr);
    EXPECT_EQ(cfg.FindMacro(L"two"), m2);
    cfg.RemoveMacro(m1);
    EXPECT_EQ(cfg.GetMacroAt(0), m2);
    cfg.RemoveMacro(nullptr);
    EXPECT_EQ(cfg.GetMacroCount(), 1);

    CVtApp* a = cfg.AddApp(L"C:\\A.exe");
    EXPECT_EQ(cfg.AddApp(L"c:\\a.EXE"), nullptr);
    EXPECT_EQ(cfg.GetAppCount(), 1);
    EXPECT_EQ(cfg.GetAppAt(0), a);
    EXPECT_EQ(cfg.GetAppAt(1), nullptr);
    EXPECT_EQ(cfg.FindApp(L"C:\\a.exe"), a);
    cfg.RemoveApp(a);
    EXPECT_EQ(cfg.GetAppCount(), 0);
}

TEST_F(BaseConfigTest, KeyMapHoldsOnlyKeySlots) {
    CDmConfig_Headset cfg;
    ASSERT_EQ(cfg.GetConfigAssignmentCount(), 16);
    AssignmentRecord slot{};
    slot.kind = 64;
    slot.payload[8] = 'K';
    cfg.SetConfigAssignment(40, MakeActionRecord(6, kIdA));
    EXPECT_EQ(cfg.GetConfigAssignmentCount(), 16);
    cfg.SetConfigAssignment(3, slot);
    AssignmentRecord r{};
    EXPECT_EQ(cfg.GetConfigAssignment(&r, 3), &r);
    EXPECT_EQ(r.payload[8], 'K');
    EXPECT_EQ(cfg.GetConfigAssignment(&r, 40)->kind, -1);
    EXPECT_EQ(cfg.GetConfigAssignmentCount(), 17);
    EXPECT_EQ(cfg.GetConfigAssignment(nullptr, 41), nullptr);
    EXPECT_EQ(cfg.GetConfigAssignmentCount(), 18);
    for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(cfg.GetConfigAssignmentKeyAt(i), int32_t(i + 1));
    EXPECT_EQ(cfg.GetConfigAssignmentKeyAt(16), 40);
    EXPECT_EQ(cfg.GetConfigAssignmentKeyAt(17), 41);
    EXPECT_EQ(cfg.GetConfigAssignmentKeyAt(18), 0);
}

TEST_F(BaseConfigTest, LightingEntries) {
    CDmConfig_Keyboard cfg;
    for (uint32_t h : {300u, 100u, 200u}) EXPECT_TRUE(cfg.AddApmStage(int32_t(h), int32_t(h) - 99, h));
    EXPECT_FALSE(cfg.AddApmStage(1, 1, 200));
    EXPECT_EQ(cfg.GetApmStageCount(), 3);
    struct Case {
        uint32_t index;
        int32_t colour, low;
        uint32_t high;
        bool ok;
    } reads[] = {{0, 100, 1, 100, true}, {2, 300, 201, 300, true}, {3, 0, 0, 0, false}};
    for (const auto& c : reads) {
        int32_t colour = 0, low = 0;
        uint32_t high = 0;
        EXPECT_EQ(cfg.GetApmStageColor(c.index, &colour), c.ok);
        EXPECT_EQ(cfg.GetApmStageRange(c.index, &low, &high), c.ok);
        if (c.ok) {
            EXPECT_EQ(colour, c.colour);
            EXPECT_EQ(low, c.low);
            EXPECT_EQ(high, c.high);
        }
    }
    EXPECT_TRUE(cfg.SetApmStageColor(1, 0x00FF00));
    EXPECT_FALSE(cfg.SetApmStageColor(3, 0));
    EXPECT_FALSE(cfg.SetApmStageRange(3, 0, 1));
    EXPECT_FALSE(cfg.SetApmStageRange(0, 0, 300));  // another entry's high bound: refused
    // Out of order on purpose: the list is not re-sorted, and a later insert goes by the order as it is.
    EXPECT_TRUE(cfg.SetApmStageRange(0, 0, 250));
    EXPECT_TRUE(cfg.AddApmStage(7, 0, 220));
    uint32_t highs[4] = {};
    int32_t low = 0;
    for (uint32_t i = 0; i < 4; ++i) cfg.GetApmStageRange(i, &low, &highs[i]);
    EXPECT_EQ(std::vector<uint32_t>(highs, highs + 4), (std::vector<uint32_t>{220, 250, 200, 300}));
    cfg.ClearApmStages();
    EXPECT_EQ(cfg.GetApmStageCount(), 0);
}

TEST_F(BaseConfigTest, ProfileArgumentRule) {
    CDmConfig_Mouse cfg;
    // No profile at all: getters answer 0 and setters do nothing.
    EXPECT_EQ(cfg.GetLightOn(3, nullptr), 0);
    cfg.SetLightOn(3, 1, nullptr);
    EXPECT_EQ(cfg.GetProfileOsdEnabled(nullptr), 0);
    EXPECT_STREQ(cfg.GetProfilePath(nullptr), L"");
    EXPECT_EQ(cfg.GetDpi(nullptr), 0);
    AssignmentRecord r = MakeActionRecord(6, kIdA);
    EXPECT_EQ(cfg.GetButtonAssignment(&r, 1, nullptr)->kind, -1);
    EXPECT_EQ(cfg.GetAssignment(&r, 1, nullptr)->kind, -1);
    EXPECT_FALSE(cfg.HasLeftClickAssigned(nullptr));

    IMouseProfile* a = cfg.CreateProfile(L"A");
    IMouseProfile* b = cfg.CreateProfile(L"B");
    cfg.SetCurrentProfile(a);
    cfg.SetLightColor(3, 0x0000FF, nullptr);  // null: the current profile
    cfg.SetLightColor(3, 0x00FF00, b);        // explicit
    EXPECT_EQ(a->GetLightColor(3), 0x0000FF);
    EXPECT_EQ(b->GetLightColor(3), 0x00FF00);
    EXPECT_EQ(cfg.GetLightColor(3, nullptr), 0x0000FF);
    cfg.SetProfilePath(nullptr, L"C:\\x\\run.exe");
    EXPECT_STREQ(a->GetFileName(), L"run.exe");
    cfg.SetProfileFlag(b, 1);
    EXPECT_EQ(cfg.GetProfileFlag(b), 1);
    EXPECT_EQ(cfg.GetProfileFlag(nullptr), 0);

    // A profile of another configuration is no profile here.
    CDmConfig_Mouse other;
    IMouseProfile* foreign = other.CreateProfile(L"F");
    cfg.SetDpi(1234, foreign);
    EXPECT_EQ(foreign->GetDpi(), 1800);
    EXPECT_EQ(cfg.GetDpi(foreign), 0);
}

TEST_F(BaseConfigTest, ProfileFilesAreEnumeratedWithoutLosingProfiles) {
    CDmConfig_Keyboard cfg;
    IKeyboardProfile* keep = cfg.CreateProfile(L"Keep");
    cfg.SetCurrentProfile(keep);
    // No save folder, then an empty one, then files of other extensions only, then a profile file
    // that cannot be loaded: the list stays as it was every time.
    EXPECT_EQ(cfg.LoadAllProfiles(), 0);
    MakeSaveFolder();
    EXPECT_EQ(cfg.LoadAllProfiles(), 0);
    WriteBytes(SaveFolder() + L"other.vtpx", {1, 2, 3});
    WriteBytes(SaveFolder() + L"notes.txt", {1});
    EXPECT_EQ(cfg.LoadAllProfiles(), 0);
    WriteBytes(SaveFolder() + L"Profile1.vtp", {0, 1, 2});
    EXPECT_EQ(cfg.LoadAllProfiles(), 0);
    EXPECT_EQ(cfg.GetProfileCount(), 1);
    EXPECT_EQ(cfg.GetProfileAt(0), keep);
    EXPECT_EQ(cfg.GetCurrentProfile(), keep);
    EXPECT_TRUE(cfg.SaveProfile(nullptr));
    EXPECT_FALSE(cfg.SaveProfile(keep));

    CDmConfig_Headset headset;  // no profile files at all
    headset.CreateProfile(L"H");
    EXPECT_EQ(headset.LoadAllProfiles(), 0);
    EXPECT_EQ(headset.GetProfileCount(), 1);
}

TEST_F(BaseConfigTest, FoldersComeFromTheProgramFolder) {
    CDmConfig_Mouse mouse;
    CDmConfig_Keyboard keyboard;
    EXPECT_EQ(mouse.ProfileFolder(), m_folder + L"save\\");
    EXPECT_EQ(mouse.MacroFolder(), m_folder + L"save\\");
    EXPECT_EQ(keyboard.SettingsPath(), m_folder + L"save\\Tessaran.vtc");
    EXPECT_EQ(mouse.SettingsPath(), m_folder + L"save\\Pylit.vtc");
    EXPECT_EQ(mouse.GetMaxMacroBytes(), 1024);
    EXPECT_STREQ(mouse.GetProfileExtension(), L"vtp");
    CDmConfig_Headset headset;
    EXPECT_EQ(headset.GetProfileExtension(), nullptr);
}

TEST_F(BaseConfigTest, TooLongProgramFolderGivesNoPaths) {
    std::wstring deep = m_folder + std::wstring(250, L'd') + L"\\";
    ASSERT_TRUE(vt::base::InitProgramFolder(deep.c_str()));
    CDmConfig_Keyboard cfg;
    EXPECT_TRUE(cfg.ProfileFolder().empty());
    EXPECT_TRUE(cfg.SettingsPath().empty());
    IKeyboardProfile* p = cfg.CreateProfile(L"P");
    cfg.SetCurrentProfile(p);
    EXPECT_FALSE(cfg.SaveActiveProfile());
    EXPECT_EQ(cfg.LoadAllProfiles(), 0);
    cfg.LoadActiveProfile();
    EXPECT_EQ(cfg.GetCurrentProfile(), p);
}

// Configurations are deleted through their interfaces (the program holds them as such).
static_assert(std::has_virtual_destructor_v<IMouseConfig> && std::has_virtual_destructor_v<IKeyboardConfig> &&
              std::has_virtual_destructor_v<IAudioConfig>);

} // namespace

namespace {

// A profile kind whose files do load, to check the enumeration itself: the extension filter and
// the replacement of the list only once something has loaded.
class LoadableProfile : public CDmProfile_Keyboard {
public:
    LoadableProfile() = default;
    explicit LoadableProfile(const wchar_t* name) : CDmProfile_Keyboard(name) {}
    bool LoadFromFile(const wchar_t* fileName, const wchar_t* folder, const wchar_t* extension) override {
        if (std::wcsncmp(fileName, L"bad", 3) == 0) return false;
        CBaseProfile::SetName(fileName);
        return true;
    }
};

struct NoInterface {
    virtual ~NoInterface() = default;
};

class LoadableConfig : public CBaseConfig<LoadableProfile, IKeyboardProfile, NoInterface> {
public:
    const wchar_t* GetProfileExtension() const override { return L"vtp"; }
    IKeyboardProfile* Add(const wchar_t* name) { return AppendNewProfile(name); }
};

TEST_F(BaseConfigTest, LoadingReplacesTheListOnlyWithProfilesOfTheExactExtension) {
    LoadableConfig cfg;
    IKeyboardProfile* old = cfg.Add(L"Old");
    cfg.SetCurrentProfile(old);
    MakeSaveFolder();
    WriteBytes(SaveFolder() + L"Gamma.vtpx", {1});  // would load, were it taken
    EXPECT_EQ(cfg.LoadAllProfiles(), 0);
    EXPECT_EQ(cfg.GetProfileAt(0), old);
    WriteBytes(SaveFolder() + L"bad.vtp", {1});
    EXPECT_EQ(cfg.LoadAllProfiles(), 0);  // the only profile file fails: nothing replaced
    EXPECT_EQ(cfg.GetCurrentProfile(), old);
    DeleteFileW((SaveFolder() + L"bad.vtp").c_str());
    WriteBytes(SaveFolder() + L"Alpha.vtp", {1});
    WriteBytes(SaveFolder() + L"Beta.VTP", {1});
    EXPECT_EQ(cfg.LoadAllProfiles(), 2);
    ASSERT_EQ(cfg.GetProfileCount(), 2);
    std::set<std::wstring> names{cfg.GetProfileAt(0)->GetName(), cfg.GetProfileAt(1)->GetName()};
    EXPECT_EQ(names, (std::set<std::wstring>{L"Alpha", L"Beta"}));
    EXPECT_EQ(cfg.GetCurrentProfile(), nullptr);
}

} // namespace
