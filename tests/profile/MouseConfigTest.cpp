// The mouse configuration: the default profile, the cached DPI values, rates and acceleration.
#include "ProgramFolderFixture.h"
#include "profile/MouseConfig.h"
#include <vector>

namespace {

using MouseConfigTest = ProgramFolderTest;

TEST_F(MouseConfigTest, NewProfileDefaults) {
    CDmConfig_Mouse cfg;
    IMouseProfile* p = cfg.CreateProfile(L"PROFILE01");
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->GetName(), L"PROFILE01");
    EXPECT_EQ(cfg.GetCurrentProfile(), nullptr);  // a new profile does not become current
    EXPECT_EQ(p->GetMaxDpiStageCount(), 5u);
    EXPECT_EQ(p->GetDpiStageCount(), 5u);
    const uint32_t stages[5] = {800, 1200, 1800, 4000, 5600};
    for (uint32_t s = 1; s <= 5; ++s) {
        EXPECT_EQ(p->GetDpiStageValue(s), stages[s - 1]);
        EXPECT_EQ(p->GetDpiStageValueX(s), 0u);
        EXPECT_EQ(p->GetDpiStageValueY(s), 0u);
        EXPECT_EQ(p->GetDpiStageSeparateXY(s), 0);
    }
    EXPECT_EQ(p->GetActiveDpiStage(), 3);
    EXPECT_EQ(p->GetDpi(), 1800);
    EXPECT_EQ(p->GetSeparateXY(), 0);
    int32_t mn = 0, mx = 0, st = 0;
    p->GetDpiRange(&mn, &mx, &st);
    EXPECT_EQ(mn, 100);
    EXPECT_EQ(mx, 5600);
    EXPECT_EQ(st, 100);
    EXPECT_EQ(p->GetDpiOsdEnabled(), 1);
    EXPECT_EQ(p->GetProfileOsdEnabled(), 1);
    EXPECT_EQ(p->GetAltButtonsEnabled(), 1);
    for (int32_t zone : {3, 10, 9}) {
        EXPECT_EQ(p->GetLightOn(zone), 1);
        EXPECT_EQ(p->GetLightFlag(zone), 1);
        EXPECT_EQ(p->GetLightColor(zone), 0xFF0000);
    }
    EXPECT_EQ(p->GetLightOn(4), 0);
    struct Button {
        int32_t button, kind;
    } buttons[] = {{1, 1}, {2, 2}, {3, 3}, {6, 33}, {7, 32}, {10, 40}, {11, 41}, {4, -1}, {5, -1}, {25, -1}};
    for (const auto& b : buttons) EXPECT_EQ(p->GetButtonAssignment(b.button).kind, b.kind) << b.button;
    EXPECT_TRUE(p->HasLeftClickAssigned());
    // The first profile also brings the mouse-wide defaults.
    EXPECT_EQ(cfg.GetRateIndex(nullptr), 1);
    EXPECT_EQ(cfg.GetAccelerationEnabled(nullptr), 0);
    EXPECT_EQ(cfg.GetAcceleration(nullptr), 0u);  // range still 0..0
}

TEST_F(MouseConfigTest, LaterProfilesKeepMouseWideSettings) {
    CDmConfig_Mouse cfg;
    cfg.CreateProfile(L"First");
    cfg.SetAccelerationRange(1, 10);
    cfg.SetAcceleration(8, nullptr);
    cfg.SetAccelerationEnabled(1, nullptr);
    cfg.SetRateIndex(2, nullptr);
    for (const wchar_t* name : {L"New", L"Imported"}) {
        cfg.CreateProfile(name);
        EXPECT_EQ(cfg.GetRateIndex(nullptr), 2);
        EXPECT_EQ(cfg.GetAcceleration(nullptr), 8u);
        EXPECT_EQ(cfg.GetAccelerationEnabled(nullptr), 1);
    }
    // Restore on an existing profile leaves them alone as well.
    FillMouseProfileDefaults(&cfg, cfg.GetProfileAt(0));
    EXPECT_EQ(cfg.GetRateIndex(nullptr), 2);
    EXPECT_EQ(cfg.GetAcceleration(nullptr), 8u);
}

TEST_F(MouseConfigTest, ProfileDisplaySwitchFollowsTheCurrentProfile) {
    CDmConfig_Mouse cfg;
    IMouseProfile* a = cfg.CreateProfile(L"A");
    a->SetProfileOsdEnabled(0);
    IMouseProfile* b = cfg.CreateProfile(L"B");  // no current profile: every profile on
    EXPECT_EQ(a->GetProfileOsdEnabled(), 1);
    EXPECT_EQ(b->GetProfileOsdEnabled(), 1);
    cfg.SetCurrentProfile(a);
    cfg.SetProfileOsdEnabled(0, nullptr);
    IMouseProfile* c = cfg.CreateProfile(L"C");  // copied from the current profile
    EXPECT_EQ(a->GetProfileOsdEnabled(), 0);
    EXPECT_EQ(b->GetProfileOsdEnabled(), 0);
    EXPECT_EQ(c->GetProfileOsdEnabled(), 0);
}

TEST_F(MouseConfigTest, CachedValuesWithoutAProfile) {
    CDmConfig_Mouse cfg;
    EXPECT_EQ(cfg.GetActiveDpiStage(nullptr), 0);
    EXPECT_EQ(cfg.GetMaxDpiStageCount(nullptr), 0u);
    // No cached arrays yet: every stage reads 0 and writes nothing.
    for (uint32_t stage : {0u, 1u, 7u}) {
        cfg.SetDpiStageValue(stage, 800, nullptr);
        EXPECT_EQ(cfg.GetDpiStageValue(stage, nullptr), 0u);
        EXPECT_EQ(cfg.GetDpiStageValueX(stage, nullptr), 0u);
    }
    EXPECT_FALSE(cfg.SetMaxDpiStageCount(0, nullptr));
    EXPECT_TRUE(cfg.SetMaxDpiStageCount(12, nullptr));
    EXPECT_EQ(cfg.GetMaxDpiStageCount(nullptr), 10u);
    EXPECT_TRUE(cfg.SetMaxDpiStageCount(5, nullptr));
    cfg.SetDpiRange(100, 5600, 100, nullptr);
    int32_t mn = 0, mx = 0, st = 0;
    EXPECT_TRUE(cfg.GetDpiRange(&mn, &mx, &st, nullptr));
    EXPECT_EQ(mx, 5600);

    struct Case {
        uint32_t stage, dpi;
        uint32_t readStage, value;
    } values[] = {
        {3, 90000, 3, 5600}, {2, 50, 2, 100}, {1, 800, 1, 800},
        {7, 4000, 5, 4000},  // past the capacity: the last stage
        {0, 1200, 1, 1200},  // stage 0: the first stage, never outside the arrays
        {0xFFFFFFFF, 3000, 5, 3000},
    };
    for (const auto& c : values) {
        cfg.SetDpiStageValue(c.stage, c.dpi, nullptr);
        cfg.SetDpiStageValueX(c.stage, c.dpi, nullptr);
        cfg.SetDpiStageValueY(c.stage, c.dpi, nullptr);
        EXPECT_EQ(cfg.GetDpiStageValue(c.readStage, nullptr), c.value) << c.stage;
        EXPECT_EQ(cfg.GetDpiStageValueX(c.readStage, nullptr), c.value);
        EXPECT_EQ(cfg.GetDpiStageValueY(c.readStage, nullptr), c.value);
        EXPECT_EQ(cfg.GetDpiStageValue(c.stage, nullptr), c.value);
    }
    struct Active {
        uint32_t stage;
        int32_t read;
    } actives[] = {{1, 1}, {3, 3}, {5, 5}, {7, 5}, {0, 0}};
    for (const auto& a : actives) {
        cfg.SetActiveDpiStage(a.stage, nullptr);
        EXPECT_EQ(cfg.GetActiveDpiStage(nullptr), a.read) << a.stage;
    }
    cfg.SetDpiStageCount(8, nullptr);
    EXPECT_EQ(cfg.GetDpiStageCount(nullptr), 5u);
    cfg.SetDpiStageSeparateXY(4, 1, nullptr);
    EXPECT_EQ(cfg.GetDpiStageSeparateXY(1, nullptr), 1);  // one byte for every stage
    cfg.SetSeparateXY(0, nullptr);
    EXPECT_EQ(cfg.GetDpiStageSeparateXY(4, nullptr), 0);
}

TEST_F(MouseConfigTest, ProfileOperationsAlsoFeedTheCache) {
    CDmConfig_Mouse cfg;
    cfg.SetMaxDpiStageCount(5, nullptr);
    IMouseProfile* p = cfg.CreateProfile(L"P");
    // CreateProfile wrote through the configuration: the cache took the defaults too.
    EXPECT_EQ(cfg.GetActiveDpiStage(nullptr), 3);
    EXPECT_EQ(cfg.GetDpiStageCount(nullptr), 5u);
    EXPECT_EQ(cfg.GetDpiStageValue(5, nullptr), 5600u);
    cfg.SetDpiStageValue(2, 9000, p);  // clamped by the profile's range
    EXPECT_EQ(p->GetDpiStageValue(2), 5600u);
    EXPECT_EQ(cfg.GetDpiStageValue(2, p), 5600u);
    EXPECT_FALSE(cfg.SetMaxDpiStageCount(0, p));
    EXPECT_EQ(p->GetMaxDpiStageCount(), 5u);
    EXPECT_TRUE(cfg.SetMaxDpiStageCount(3, p));
    EXPECT_EQ(cfg.GetMaxDpiStageCount(p), 3u);
    EXPECT_EQ(cfg.GetMaxDpiStageCount(nullptr), 5u);  // null means the cache here
}

TEST_F(MouseConfigTest, RatesAndAcceleration) {
    CDmConfig_Mouse cfg;
    cfg.SetRateList({125, 250, 500, 1000, 2000, 4000, 8000});
    EXPECT_EQ(cfg.GetRateCount(), 5);
    EXPECT_EQ(cfg.GetRateAt(4), 2000u);
    cfg.SetRateList({125, 500, 1000});
    EXPECT_EQ(cfg.GetRateCount(), 3);
    EXPECT_EQ(cfg.GetRateAt(1), 500u);
    EXPECT_EQ(cfg.GetRateAt(4), 2000u);  // older entries above the count stay
    EXPECT_EQ(cfg.GetRateAt(9), 0u);
    cfg.SetRateList({});
    EXPECT_EQ(cfg.GetRateCount(), 0);
    EXPECT_EQ(cfg.GetRateIndex(nullptr), -1);

    struct Case {
        uint32_t min, max, value, stored;
    } cases[] = {{1, 10, 12, 10}, {1, 10, 0, 1}, {1, 10, 5, 5}, {0, 0, 5, 0},
                 {1, 10, 0xFFFFFFFF, 10}, {10, 1, 5, 1}};
    for (const auto& c : cases) {
        cfg.SetAccelerationRange(c.min, c.max);
        cfg.SetAcceleration(c.value, nullptr);
        EXPECT_EQ(cfg.GetAcceleration(nullptr), c.stored) << c.min << ".." << c.max << " " << c.value;
        EXPECT_EQ(cfg.GetAccelerationMin(), c.min);
        EXPECT_EQ(cfg.GetAccelerationMax(), c.max);
    }
}

TEST_F(MouseConfigTest, ConstructionAndDevice) {
    CDmConfig_Mouse cfg;
    EXPECT_EQ(cfg.GetConfigAssignmentCount(), 16);
    AssignmentRecord r{};
    for (uint32_t i = 0; i < 16; ++i) {
        EXPECT_EQ(cfg.GetConfigAssignmentKeyAt(i), int32_t(i + 1));
        cfg.GetConfigAssignment(&r, int32_t(i + 1));
        EXPECT_EQ(r.kind, 64);
    }
    EXPECT_EQ(cfg.Device(), nullptr);
    auto* device = reinterpret_cast<IGenDevice<IMouseConfig*, IMouseProfile*>*>(&r);  // only kept, never called
    cfg.SetDevice(device);
    cfg.SetDevice(nullptr);
    EXPECT_EQ(cfg.Device(), device);
}

TEST_F(MouseConfigTest, ButtonsAndRequiredOperations) {
    CDmConfig_Mouse cfg;
    IMouseProfile* p = cfg.CreateProfile(L"P");
    const GUID id = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    cfg.SetButtonAssignment(10, MakeActionRecord(4, id), p);  // not allowed on the wheel
    AssignmentRecord r{};
    EXPECT_EQ(cfg.GetButtonAssignment(&r, 10, p)->kind, 40);
    cfg.SetButtonAssignment(4, MakeActionRecord(6, id), p);
    EXPECT_EQ(cfg.GetButtonAssignment(&r, 4, p)->kind, 6);
    cfg.SetAssignment(4, MakeActionRecord(5, id), p);  // mouse profiles keep no key assignments
    EXPECT_EQ(cfg.GetAssignment(&r, 4, p)->kind, -1);
    cfg.SetAltButtonsEnabled(0, p);
    EXPECT_EQ(cfg.GetAltButtonsEnabled(p), 0);
    EXPECT_EQ(cfg.GetAltButtonCount(p), 0u);
    cfg.SetDpiX(700, p);
    cfg.SetDpiY(900, p);
    EXPECT_EQ(cfg.GetDpiX(p), 700);
    EXPECT_EQ(cfg.GetDpiY(p), 900);
    cfg.SetDpiOsdEnabled(0, p);
    EXPECT_EQ(cfg.GetDpiOsdEnabled(p), 0);
    // Without a profile the required operations answer nothing rather than crash.
    EXPECT_EQ(cfg.GetAltButtonsEnabled(nullptr), 0);
    EXPECT_EQ(cfg.GetDpiOsdEnabled(nullptr), 0);
    EXPECT_EQ(cfg.GetButtonAssignment(nullptr, 1, nullptr), nullptr);
}

TEST_F(MouseConfigTest, ReservedSlotsAnswerAsDocumented) {
    CDmConfig_Mouse cfg;
    IMouseConfig& i = cfg;
    i.Reserved55(1, 2);
    EXPECT_FALSE(i.Reserved56(1));
    EXPECT_FALSE(i.Reserved85());
    EXPECT_FALSE(i.Reserved87());
    EXPECT_FALSE(i.Reserved95(1, 2));
    EXPECT_EQ(i.Reserved97(1), 0);
    EXPECT_FALSE(i.Reserved99(1));
    EXPECT_EQ(i.Reserved109(1), 0);
    EXPECT_EQ(i.Reserved114(), 0);
    EXPECT_EQ(i.Reserved123(), 0);
    EXPECT_FALSE(i.Reserved130(0));
}

TEST_F(MouseConfigTest, ActiveProfileSettingsFile) {
    MakeSaveFolder();
    CDmConfig_Mouse cfg;
    EXPECT_FALSE(cfg.SaveActiveProfile());
    IMouseProfile* p = cfg.CreateProfile(L"\x041C\x044B\x0448\x044C");  // "Мышь"
    cfg.SetCurrentProfile(p);
    EXPECT_TRUE(cfg.SaveActiveProfile());
    EXPECT_EQ(ReadIniString(cfg.SettingsPath().c_str(), L"SETTINGS", L"ActiveProfileName", L""),
              std::wstring(L"\x041C\x044B\x0448\x044C"));
    IMouseProfile* q = cfg.CreateProfile(L"Other");
    cfg.SetCurrentProfile(q);
    cfg.LoadActiveProfile();  // no profile files: the current profile stays
    EXPECT_EQ(cfg.GetCurrentProfile(), q);
}

} // namespace
