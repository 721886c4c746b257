#pragma once
// Editing every mouse group of a configuration, and comparing two configurations group by group.
#include "device/CodeTables.h"
#include "profile/MouseConfig.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

namespace vt::test {

// The mouse's supported buttons as the engine reports them (mask 0x19F) and the zones it has.
inline const std::vector<int32_t> kMouseButtons = {1, 2, 3, 7, 6, 10, 11};
inline const std::vector<int32_t> kMouseZones = {3, 9, 10};

inline AssignmentRecord Rec(int32_t kind, const void* payload = nullptr, size_t bytes = 0) {
    AssignmentRecord r{};
    r.kind = kind;
    if (payload) std::memcpy(r.payload, payload, bytes);
    return r;
}

inline AssignmentRecord KeyRec(uint16_t key, uint16_t vk, uint32_t modifiers) {
    uint32_t w[2] = {uint32_t(key) | (uint32_t(vk) << 16), modifiers};
    return Rec(5, w, sizeof w);
}

inline AssignmentRecord MacroRec(const GUID& id, int32_t mode, int32_t repeat) {
    AssignmentRecord r = Rec(6, &id, sizeof id);
    std::memcpy(r.payload + vt::profile::kMacroModeOffset, &mode, 4);
    std::memcpy(r.payload + vt::profile::kMacroFlagOffset, &repeat, 4);
    return r;
}

// The record one allowed action stands for on a button (kinds that carry a payload get one).
inline AssignmentRecord ActionRecord(int32_t kind, const GUID& macroId, const GUID& profileId, int seed) {
    switch (kind) {
    case 5: return KeyRec(uint16_t(0x10 + seed), 0, uint32_t(seed % 16));
    case 6: return MacroRec(macroId, 1 + seed % 4, seed % 3);
    case 21: return Rec(21, &profileId, sizeof profileId);
    default: return Rec(kind);
    }
}

// Writes values that differ from the defaults into every mouse group of `p`.
inline void EditProfile(IMouseConfig* c, IMouseProfile* p, int seed) {
    c->SetDpiStageCount(4, p);
    const uint32_t base = 400 + 100 * uint32_t(seed);
    for (uint32_t s = 1; s <= 4; ++s) {
        uint32_t v = base + 500 * s;
        if (s == 2) {
            c->SetDpiStageSeparateXY(s, 1, p);
            c->SetDpiStageValueX(s, v, p);
            c->SetDpiStageValueY(s, v + 300, p);
            c->SetDpiStageValue(s, v, p);
        } else {
            c->SetDpiStageSeparateXY(s, 0, p);
            c->SetDpiStageValue(s, v, p);
            c->SetDpiStageValueX(s, v, p);
            c->SetDpiStageValueY(s, v, p);
        }
    }
    c->SetActiveDpiStage(2 + seed % 2, p);
    c->SetSeparateXY(1, p);
    c->SetDpiX(int32_t(base + 100), p);
    c->SetDpiY(int32_t(base + 200), p);
    c->SetDpi(int32_t(base + 100), p);
    for (size_t i = 0; i < kMouseZones.size(); ++i) {
        int32_t z = kMouseZones[i];
        c->SetLightOn(z, uint8_t((seed + i) % 2), p);
        c->SetLightColor(z, int32_t(0x102030 * (seed + 1) + int32_t(i)), p);
        c->SetLightFlag(z, uint8_t((seed + i + 1) % 2), p);
    }
    std::wstring program = L"game" + std::to_wstring(seed) + L".exe";
    p->SetFileName(program.c_str());
    p->SetProfileFlag(uint8_t(seed % 2));
    p->SetDpiOsdEnabled(uint8_t((seed + 1) % 2));
    p->SetProfileOsdEnabled(1);
}

// Device-wide groups: rate, acceleration, macros, lighting entries, key entries.
inline void EditDeviceWide(IMouseConfig* c, int seed) {
    c->SetRateIndex(seed % 3, nullptr);
    c->SetAcceleration(uint32_t(3 + seed % 7), nullptr);
    c->SetAccelerationEnabled(uint8_t(seed % 2), nullptr);
    using namespace vt::profile;
    CMacro* m = c->AddMacro((L"Macro " + std::to_wstring(seed)).c_str());
    if (m) {
        m->events = {MakeKeyEvent(0x1E, 0, kKeyDown, 0), MakeDelayEvent(25 + seed), MakeKeyEvent(0x1E, 0, kKeyUp, 0),
                     MakeKeyEvent(69, 19, kKeyDown, 0), MakeKeyEvent(69, 144, kKeyUp, 0),
                     MakeKeyEvent(0x48, 0, kKeyDown, 1), MakeMouseEvent(1, kKeyDown), MakeMouseEvent(7, kKeyUp)};
    }
    c->ClearApmStages();
    c->AddApmStage(0x0000FF + seed, 0, 60);
    c->AddApmStage(0x00FF00, 60, 130 + uint32_t(seed));
    c->AddApmStage(0xFF0000, 130 + seed, 400);
    AssignmentRecord slot{};
    slot.kind = kKindKeySlot;
    uint32_t w[3] = {uint32_t(seed), 2u, 3u};
    std::memcpy(slot.payload, w, sizeof w);
    c->SetConfigAssignment(3, slot);
    w[0] = 7;
    w[2] = uint32_t(seed + 9);
    std::memcpy(slot.payload, w, sizeof w);
    c->SetConfigAssignment(16, slot);
}

inline std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

inline void ExpectSameProfile(IMouseConfig* a, IMouseProfile* pa, IMouseConfig* b, IMouseProfile* pb) {
    SCOPED_TRACE(Narrow(pa->GetName()));
    EXPECT_STREQ(pa->GetName(), pb->GetName());
    GUID ia{}, ib{};
    pa->GetId(&ia);
    pb->GetId(&ib);
    EXPECT_TRUE(GuidsEqual(ia, ib));
    // DPI
    EXPECT_EQ(a->GetDpiStageCount(pa), b->GetDpiStageCount(pb));
    for (uint32_t s = 1; s <= a->GetDpiStageCount(pa); ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(a->GetDpiStageSeparateXY(s, pa), b->GetDpiStageSeparateXY(s, pb));
        EXPECT_EQ(a->GetDpiStageValue(s, pa), b->GetDpiStageValue(s, pb));
        EXPECT_EQ(a->GetDpiStageValueX(s, pa), b->GetDpiStageValueX(s, pb));
        EXPECT_EQ(a->GetDpiStageValueY(s, pa), b->GetDpiStageValueY(s, pb));
    }
    EXPECT_EQ(a->GetActiveDpiStage(pa), b->GetActiveDpiStage(pb));
    EXPECT_EQ(a->GetSeparateXY(pa), b->GetSeparateXY(pb));
    EXPECT_EQ(a->GetDpi(pa), b->GetDpi(pb));
    EXPECT_EQ(a->GetDpiX(pa), b->GetDpiX(pb));
    EXPECT_EQ(a->GetDpiY(pa), b->GetDpiY(pb));
    int32_t la, ha, sa, lb, hb, sb;
    a->GetDpiRange(&la, &ha, &sa, pa);
    b->GetDpiRange(&lb, &hb, &sb, pb);
    EXPECT_EQ(la, lb);
    EXPECT_EQ(ha, hb);
    EXPECT_EQ(sa, sb);
    // Buttons
    for (int32_t button : kMouseButtons) {
        SCOPED_TRACE(testing::Message() << "button " << button);
        AssignmentRecord ra{}, rb{};
        a->GetButtonAssignment(&ra, button, pa);
        b->GetButtonAssignment(&rb, button, pb);
        EXPECT_EQ(ra.kind, rb.kind);
        EXPECT_TRUE(AssignmentsEqual(ra, rb));
    }
    // Lighting zones
    for (int32_t z : kMouseZones) {
        SCOPED_TRACE(testing::Message() << "zone " << z);
        EXPECT_EQ(a->GetLightOn(z, pa), b->GetLightOn(z, pb));
        EXPECT_EQ(a->GetLightColor(z, pa), b->GetLightColor(z, pb));
        EXPECT_EQ(a->GetLightFlag(z, pa), b->GetLightFlag(z, pb));
    }
    // Program link
    EXPECT_STREQ(pa->GetFileName(), pb->GetFileName());
    EXPECT_EQ(pa->GetProfileFlag(), pb->GetProfileFlag());
    EXPECT_EQ(pa->GetDpiOsdEnabled(), pb->GetDpiOsdEnabled());
    EXPECT_EQ(pa->GetProfileOsdEnabled(), pb->GetProfileOsdEnabled());
}

inline void ExpectSameModel(IMouseConfig* a, IMouseConfig* b) {
    ASSERT_EQ(a->GetProfileCount(), b->GetProfileCount());
    for (int32_t i = 0; i < a->GetProfileCount(); ++i)
        ExpectSameProfile(a, a->GetProfileAt(uint32_t(i)), b, b->GetProfileAt(uint32_t(i)));
    ASSERT_TRUE(a->GetCurrentProfile() && b->GetCurrentProfile());
    EXPECT_STREQ(a->GetCurrentProfile()->GetName(), b->GetCurrentProfile()->GetName());
    EXPECT_EQ(a->GetRateIndex(nullptr), b->GetRateIndex(nullptr));
    EXPECT_EQ(a->GetAcceleration(nullptr), b->GetAcceleration(nullptr));
    EXPECT_EQ(a->GetAccelerationEnabled(nullptr), b->GetAccelerationEnabled(nullptr));
    ASSERT_EQ(a->GetMacroCount(), b->GetMacroCount());
    for (int32_t i = 0; i < a->GetMacroCount(); ++i) {
        CMacro* ma = a->GetMacroAt(uint32_t(i));
        CMacro* mb = b->FindMacroByGuid(ma->id);
        ASSERT_TRUE(mb) << Narrow(ma->name);
        EXPECT_STREQ(ma->name, mb->name);
        EXPECT_TRUE(MacroEventsEqual(ma->events, mb->events)) << Narrow(ma->name);
    }
    ASSERT_EQ(a->GetApmStageCount(), b->GetApmStageCount());
    for (int32_t i = 0; i < a->GetApmStageCount(); ++i) {
        int32_t ca, cb, la, lb;
        uint32_t ha, hb;
        a->GetApmStageColor(uint32_t(i), &ca);
        b->GetApmStageColor(uint32_t(i), &cb);
        a->GetApmStageRange(uint32_t(i), &la, &ha);
        b->GetApmStageRange(uint32_t(i), &lb, &hb);
        EXPECT_EQ(ca, cb);
        EXPECT_EQ(la, lb);
        EXPECT_EQ(ha, hb);
    }
    for (int32_t key = 1; key <= 16; ++key) {
        AssignmentRecord ra{}, rb{};
        a->GetConfigAssignment(&ra, key);
        b->GetConfigAssignment(&rb, key);
        EXPECT_TRUE(AssignmentsEqual(ra, rb)) << "key entry " << key;
    }
}

} // namespace vt::test
