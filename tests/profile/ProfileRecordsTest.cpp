// Assignment records and the profile base: layout, id helpers, assignments, lighting, paths, copies.
#include "profile/MouseProfile.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

const GUID kSomeId = {0x11223344, 0x5566, 0x7788, {1, 2, 3, 4, 5, 6, 7, 8}};

bool PayloadIsZero(const AssignmentRecord& r, size_t from = 0, size_t to = 528) {
    for (size_t i = from; i < to; ++i)
        if (r.payload[i] != 0) return false;
    return true;
}

// The base profile with a kind check that stores everything, to exercise the shared map.
struct AnyKindProfile : CBaseProfile {
    using CBaseProfile::CBaseProfile;
    bool IsAssignmentTypeAllowed(int32_t) override { return true; }
};

TEST(AssignmentRecordTest, MakeActionRecordWritesOnlyTheDocumentedBytes) {
    struct Case {
        int32_t kind;
        bool hasId;
        bool hasMacroMode;
    } cases[] = {{6, true, true}, {21, true, false}, {62, true, false}, {5, false, false},
                 {7, false, false}, {22, false, false}, {63, false, false}, {1, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        AssignmentRecord r = MakeActionRecord(c.kind, kSomeId);
        EXPECT_EQ(r.kind, c.kind);
        if (c.hasId) {
            EXPECT_EQ(std::memcmp(r.payload, &kSomeId, 16), 0);
        } else {
            EXPECT_TRUE(PayloadIsZero(r, 0, 16));
        }
        EXPECT_TRUE(PayloadIsZero(r, 16, 520));
        int32_t mode = -7;
        std::memcpy(&mode, r.payload + 520, 4);
        EXPECT_EQ(mode, c.hasMacroMode ? 1 : 0);
        EXPECT_TRUE(PayloadIsZero(r, 524, 528));
    }
}

TEST(AssignmentRecordTest, NameRecordsAreCutToTheirPayload) {
    std::wstring longName(300, L'\x0416');  // non-Latin, longer than the payload holds
    AssignmentRecord r = MakeNameActionRecord(22, longName.c_str());
    const wchar_t* text = reinterpret_cast<const wchar_t*>(r.payload);
    EXPECT_EQ(std::wstring(text, 259), longName.substr(0, 259));
    EXPECT_EQ(text[259], L'\0');
    EXPECT_TRUE(PayloadIsZero(r, 520, 528));

    AssignmentRecord m = MakeNameActionRecord(7, L"Macro \x4E2D");
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(m.payload)), L"Macro \x4E2D");
    int32_t mode = 0;
    std::memcpy(&mode, m.payload + 520, 4);
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(MakeNameActionRecord(22, nullptr).payload[0], 0);
}

TEST(AssignmentRecordTest, GuidsCompareAllFourWords) {
    GUID a = kSomeId, b = kSomeId;
    EXPECT_TRUE(GuidsEqual(a, b));
    for (int byte = 0; byte < 16; ++byte) {
        GUID c = kSomeId;
        reinterpret_cast<uint8_t*>(&c)[byte] ^= 0x80;
        EXPECT_FALSE(GuidsEqual(a, c)) << byte;
    }
    EXPECT_TRUE(IsNullGuid(GUID{}));
    EXPECT_FALSE(IsNullGuid(kSomeId));
}

TEST(AssignmentRecordTest, EntryRecords) {
    EntryRecord e = MakeEntryRecord(nullptr, 7, nullptr);
    EXPECT_EQ(e.name, L"");
    EXPECT_EQ(e.text, L"");
    EXPECT_EQ(e.value, 7);
    EXPECT_EQ(e.extra, 0);
    EntryRecord f = MakeEntryRecord(L"$macro", 6, L"Macro");
    f.extra = 3;
    CopyEntryRecord(e, f);
    EXPECT_EQ(e.name, L"$macro");
    EXPECT_EQ(e.text, L"Macro");
    EXPECT_EQ(e.value, 6);
    EXPECT_EQ(e.extra, 3);
    SingleKeyResult k;
    EXPECT_TRUE(k.text.empty());
    EXPECT_EQ(k.scan + k.vk + k.extended, 0);
}

TEST(BaseProfileTest, NewProfileDefaults) {
    CBaseProfile p(L"One");
    EXPECT_STREQ(p.GetName(), L"One");
    GUID id = kSomeId;
    EXPECT_EQ(p.GetId(&id), &id);
    EXPECT_TRUE(IsNullGuid(id));
    EXPECT_EQ(p.GetProfileFlag(), 0);
    EXPECT_EQ(p.GetProfileOsdEnabled(), 1);
    EXPECT_FALSE(p.HasStoredFile());
    EXPECT_STREQ(p.GetStoredFilePath(), L"");
    EXPECT_FALSE(p.SaveToFile(nullptr, L"C:\\", L"vtp"));
    EXPECT_FALSE(p.LoadFromFile(L"x", L"C:\\", L"vtp"));
    p.SetName(nullptr);
    EXPECT_STREQ(p.GetName(), L"");
    p.SetFileName(nullptr);
    EXPECT_STREQ(p.GetFileName(), L"");
}

TEST(BaseProfileTest, GetAssignmentInsertsAnEmptyRecord) {
    AnyKindProfile p(L"p");
    AssignmentRecord r = p.GetAssignment(42);
    EXPECT_EQ(r.kind, -1);
    EXPECT_TRUE(PayloadIsZero(r));
    EXPECT_EQ(p.Assignments().count(42), 1u);
    p.SetAssignment(42, MakeActionRecord(21, kSomeId));
    EXPECT_EQ(p.GetAssignment(42).kind, 21);
}

TEST(BaseProfileTest, BaseAndMouseProfilesRefuseBaseAssignments) {
    CBaseProfile base;
    CDmProfile_Mouse mouse;
    for (int32_t kind : {-1, 0, 1, 5, 6, 7, 21, 22, 62, 63, 64}) {
        base.SetAssignment(1, MakeActionRecord(kind, kSomeId));
        mouse.SetAssignment(1, MakeActionRecord(kind, kSomeId));
    }
    EXPECT_TRUE(base.Assignments().empty());
    EXPECT_TRUE(mouse.Assignments().empty());
}

TEST(BaseProfileTest, LightGettersNeverCreateZones) {
    CBaseProfile p;
    EXPECT_EQ(p.GetLightOn(3), 0);
    EXPECT_EQ(p.GetLightColor(3), 0);
    EXPECT_EQ(p.GetLightFlag(3), 0);
    EXPECT_FALSE(p.HasLightZone(3));

    p.SetLightColor(3, 0xFF0000);
    EXPECT_EQ(p.GetLightOn(3), 0);
    EXPECT_EQ(p.GetLightColor(3), 0xFF0000);
    p.SetLightOn(9, 1);
    EXPECT_EQ(p.GetLightColor(9), 0);
    EXPECT_EQ(p.GetLightOn(9), 1);
    p.SetLightFlag(10, 1);
    EXPECT_EQ(p.GetLightFlag(10), 1);
    EXPECT_EQ(p.GetLightOn(10), 0);  // the effect byte lives apart from the on byte
}

TEST(BaseProfileTest, ProfilePathGivesTheLastComponent) {
    std::wstring longName(300, L'a');
    struct Case {
        std::wstring path, fileName;
    } cases[] = {
        {L"C:\\Games\\Tessaran\\bin\\game.exe", L"game.exe"},
        {L"C:\\a\\b\\c\\d\\noext", L"noext"},
        {L"D:\\dir.with.dots\\trail.", L"trail."},
        {L"relative/forward/slash.exe", L"slash.exe"},
        {L"E:tool.exe", L"tool.exe"},
        {L"game.exe", L"game.exe"},
        {L"C:\\folder\\", L""},
        {L"", L""},
        {L"C:\\x\\" + longName + L".exe", longName + L".exe"},
        {L"C:\\\x0418\x0433\x0440\x044B\\\x0438\x0433\x0440\x0430.exe", L"\x0438\x0433\x0440\x0430.exe"},
    };
    for (const auto& c : cases) {
        CBaseProfile p;
        p.SetProfilePath(c.path.c_str());
        EXPECT_EQ(std::wstring(p.GetProfilePath()), c.path);
        EXPECT_EQ(std::wstring(p.GetFileName()), c.fileName) << std::string(c.path.begin(), c.path.end());
    }
    CBaseProfile p;
    p.SetProfilePath(nullptr);
    EXPECT_STREQ(p.GetFileName(), L"");
}

TEST(BaseProfileTest, CopyKeepsEverythingButAssignments) {
    AnyKindProfile src(L"Source");
    src.SetId(kSomeId);
    src.SetProfileFlag(1);
    src.SetProfileOsdEnabled(0);
    src.SetProfilePath(L"C:\\g\\game.exe");
    src.SetLightOn(3, 1);
    src.SetLightColor(3, 0x123456);
    src.SetLightFlag(3, 1);
    src.SetAssignment(5, MakeActionRecord(6, kSomeId));
    AnyKindProfile copy(src);
    EXPECT_STREQ(copy.GetName(), L"Source");
    EXPECT_TRUE(GuidsEqual(copy.Id(), kSomeId));
    EXPECT_EQ(copy.GetProfileFlag(), 1);
    EXPECT_EQ(copy.GetProfileOsdEnabled(), 0);
    EXPECT_STREQ(copy.GetFileName(), L"game.exe");
    EXPECT_EQ(copy.GetLightOn(3), 1);
    EXPECT_EQ(copy.GetLightColor(3), 0x123456);
    EXPECT_EQ(copy.GetLightFlag(3), 1);
    EXPECT_TRUE(copy.Assignments().empty());
}

} // namespace
