#pragma once
// The keyboard definition of the program folder for the device tests, editing every keyboard group
// of a configuration, and comparing two keyboard configurations group by group.
#include "MouseModelUtil.h"
#include "device/KeyboardTransfer.h"
#include "profile/KeyboardConfig.h"
#include "base/KeyTable.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace vt::test::kbd {

// A Unix folder of the test environment as Wine sees it.
inline std::wstring WinePath(const char* unixPath) {
    std::wstring w = L"Z:";
    for (const char* p = unixPath; p && *p; ++p) w.push_back(*p == '/' ? L'\\' : wchar_t(*p));
    return w;
}

inline std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return bytes;
    uint8_t buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    fclose(f);
    return bytes;
}

// The program folder's keyboard definition and key defaults become the program's definition.
inline bool LoadKeyboardDefinition() {
    auto& def = vt::base::GlobalKeyTable();
    if (def.IsParsed()) return def.ParseSucceeded();
    const char* image = std::getenv("VT_IMAGE_DIR");
    if (!image) return false;
    const std::wstring bin = WinePath(image) + L"\\bin\\";
    const auto keys = ReadWholeFile(bin + L"KeyboardDef.bin");
    const auto defaults = ReadWholeFile(bin + L"KeyDefaults.bin");
    return vt::base::ParseKeyDefinitions(keys.data(), int64_t(keys.size()), def) &&
           vt::base::ParseKeyDefaults(defaults.data(), def, int64_t(defaults.size()));
}

inline std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, buffer);
    std::wstring s = buffer;
    while (!s.empty() && s.back() == L'\\') s.pop_back();
    return s;
}

inline int32_t Key(const wchar_t* name) { return vt::base::KeyNameHash(name); }

template <class P>
GUID IdOf(P* p) {
    GUID g{};
    if (p) p->GetId(&g);
    return g;
}

// A record that names a profile, macro or program (kinds 22, 7, 63).
inline AssignmentRecord NameRec(int32_t kind, const wchar_t* name) {
    AssignmentRecord r{};
    r.kind = kind;
    std::memcpy(r.payload, name, std::min(sizeof r.payload - 2, wcslen(name) * sizeof(wchar_t)));
    return r;
}

// A key on its own code (kind 0): the code and whether it has a prefix.
inline AssignmentRecord SelfRec(uint16_t code, uint8_t prefix = 0) {
    AssignmentRecord r{};
    r.kind = 0;
    std::memcpy(r.payload, &code, 2);
    r.payload[4] = prefix;
    return r;
}

// The keys every profile edit touches, and the zones the keyboard has.
inline const std::vector<const wchar_t*> kEditedKeys = {L"Keyboard a and A", L"Keyboard b and B", L"Keyboard c and C",
                                                        L"Keyboard d and D", L"Keyboard e and E", L"Keyboard RightControl",
                                                        L"Keyboard Pause", L"Keyboard f and F"};
inline const std::vector<int32_t> kKeyboardZones = {3, 6, 9, 10};

// Device-wide groups: a macro, a linked program, lighting entries and key entries.
inline void EditDeviceWide(IKeyboardConfig* c) {
    using namespace vt::profile;
    CMacro* m = c->AddMacro(L"Keyboard macro");
    if (m) m->events = {MakeKeyEvent(0x1E, 0, kKeyDown, 0), MakeDelayEvent(30), MakeKeyEvent(0x1E, 0, kKeyUp, 0)};
    c->AddApp(L"C:\\Games\\Dunes\\dunes.exe");
    c->ClearApmStages();
    c->AddApmStage(0x0000FF, 0, 80);
    c->AddApmStage(0x00FF00, 80, 200);
    AssignmentRecord slot{};
    slot.kind = kKindKeySlot;
    uint32_t w[3] = {5u, 6u, 7u};
    std::memcpy(slot.payload, w, sizeof w);
    c->SetConfigAssignment(4, slot);
}

// Every keyboard group of a profile: assignments of each kind a key may take (by-name kinds that
// the write turns into ids), zones, program link.
inline void EditProfile(IKeyboardConfig* c, IKeyboardProfile* p, int seed) {
    using vt::test::KeyRec;
    c->SetAssignment(Key(L"Keyboard a and A"), KeyRec(uint16_t(0x30 + seed), 0, 0), p);      // another key
    c->SetAssignment(Key(L"Keyboard b and B"), KeyRec(0x30, 0, uint32_t(2 + seed)), p);       // itself with modifiers
    c->SetAssignment(Key(L"Keyboard c and C"), NameRec(7, L"Keyboard macro"), p);
    c->SetAssignment(Key(L"Keyboard d and D"), NameRec(63, L"C:\\Games\\Dunes\\dunes.exe"), p);
    c->SetAssignment(Key(L"Keyboard e and E"), NameRec(22, c->GetProfileAt(0)->GetName()), p);
    c->SetAssignment(Key(L"Keyboard RightControl"), SelfRec(0x1D, 1), p);
    c->SetAssignment(Key(L"Keyboard Pause"), KeyRec(0x45, 19, 1), p);
    for (size_t i = 0; i < kKeyboardZones.size(); ++i) {
        const int32_t z = kKeyboardZones[i];
        c->SetLightOn(z, uint8_t((seed + i) % 2), p);
        c->SetLightColor(z, int32_t(0x112233 * (seed + 1) + int32_t(i)), p);
        c->SetLightFlag(z, uint8_t((seed + i + 1) % 2), p);
    }
    const std::wstring program = L"game" + std::to_wstring(seed) + L".exe";
    p->SetFileName(program.c_str());
    p->SetProfileFlag(uint8_t(seed % 2));
    p->SetProfileOsdEnabled(uint8_t((seed + 1) % 2));
}

inline void ExpectSameAssignments(IKeyboardConfig* c, IKeyboardProfile* a, IKeyboardProfile* b) {
    for (const wchar_t* name : kEditedKeys) {
        AssignmentRecord ra{}, rb{};
        c->GetAssignment(&ra, Key(name), a);
        c->GetAssignment(&rb, Key(name), b);
        EXPECT_EQ(ra.kind, rb.kind) << vt::test::Narrow(name);
        EXPECT_TRUE(AssignmentsEqual(ra, rb)) << vt::test::Narrow(name);
    }
}

inline void ExpectSameProfile(IKeyboardConfig* a, IKeyboardProfile* pa, IKeyboardConfig* b, IKeyboardProfile* pb) {
    SCOPED_TRACE(vt::test::Narrow(pa->GetName()));
    EXPECT_STREQ(pa->GetName(), pb->GetName());
    EXPECT_TRUE(GuidsEqual(IdOf(pa), IdOf(pb)));
    for (const wchar_t* name : kEditedKeys) {
        AssignmentRecord ra{}, rb{};
        a->GetAssignment(&ra, Key(name), pa);
        b->GetAssignment(&rb, Key(name), pb);
        if (ra.kind == -1) {
            EXPECT_EQ(rb.kind, 0) << "a key without a record is written on its own code: " << vt::test::Narrow(name);
            continue;
        }
        EXPECT_EQ(ra.kind, rb.kind) << vt::test::Narrow(name);
        EXPECT_TRUE(AssignmentsEqual(ra, rb)) << vt::test::Narrow(name);
    }
    for (int32_t z : kKeyboardZones) {
        SCOPED_TRACE(testing::Message() << "zone " << z);
        EXPECT_EQ(a->GetLightOn(z, pa), b->GetLightOn(z, pb));
        EXPECT_EQ(a->GetLightColor(z, pa), b->GetLightColor(z, pb));
        EXPECT_EQ(a->GetLightFlag(z, pa), b->GetLightFlag(z, pb));
    }
    EXPECT_STREQ(pa->GetFileName(), pb->GetFileName());
    EXPECT_EQ(pa->GetProfileFlag(), pb->GetProfileFlag());
    EXPECT_EQ(pa->GetProfileOsdEnabled(), pb->GetProfileOsdEnabled());
}

inline void ExpectSameModel(IKeyboardConfig* a, IKeyboardConfig* b) {
    ASSERT_EQ(a->GetProfileCount(), b->GetProfileCount());
    for (int32_t i = 0; i < a->GetProfileCount(); ++i)
        ExpectSameProfile(a, a->GetProfileAt(uint32_t(i)), b, b->GetProfileAt(uint32_t(i)));
    ASSERT_TRUE(a->GetCurrentProfile() && b->GetCurrentProfile());
    EXPECT_STREQ(a->GetCurrentProfile()->GetName(), b->GetCurrentProfile()->GetName());
    ASSERT_EQ(a->GetMacroCount(), b->GetMacroCount());
    for (int32_t i = 0; i < a->GetMacroCount(); ++i) {
        CMacro* ma = a->GetMacroAt(uint32_t(i));
        CMacro* mb = b->FindMacroByGuid(ma->id);
        ASSERT_TRUE(mb);
        EXPECT_STREQ(ma->name, mb->name);
        EXPECT_TRUE(MacroEventsEqual(ma->events, mb->events));
    }
    ASSERT_EQ(a->GetAppCount(), b->GetAppCount());
    for (int32_t i = 0; i < a->GetAppCount(); ++i) {
        CVtApp* aa = a->GetAppAt(uint32_t(i));
        CVtApp* ab = b->FindAppByGuid(aa->id);
        ASSERT_TRUE(ab);
        EXPECT_EQ(aa->path, ab->path);
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

} // namespace vt::test::kbd
