// Profile and macro files are untrusted: every malformed file is refused with a failure code and
// leaves the engine's state as it was.
#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <random>
#include "BinaryIo.h"
#include "Engine.h"
#include "EngineTestUtil.h"

using namespace vt::test::engine;

namespace {

class EngineImport : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        vt::engine::EngineOptions o;
        o.persist = false;
        o.notifyWindows = false;
        engine = vt::engine::Engine::Create(o);
        vt::engine::CreateDeviceManager(engine, IID_IVtDeviceMgr, mgr.PutVoid());
        for (ULONG pid : {VT_PID_MOUSE, VT_PID_KEYBOARD}) {
            auto dev = DeviceOf(mgr.Get(), pid);
            ComPtr<IVtProfile> p;
            Feature<IVtProfileManager>(dev.Get(), IID_IVtProfileManager)->GetActiveProfile(p.Put());
            p->SetName(L"Source profile");
            std::wstring file = dir.File(pid == VT_PID_MOUSE ? L"good-mouse.vtp" : L"good-keyboard.vtp");
            ASSERT_EQ(S_OK, p->Export(file.c_str()));
            (pid == VT_PID_MOUSE ? goodMouse : goodKeyboard) = ReadAll(file);
        }
        store = Feature<IVtMacroStore>(DeviceOf(mgr.Get(), VT_PID_KEYBOARD).Get(), IID_IVtMacroStore);
        ComPtr<IVtMacro> m;
        store->CreateMacro(m.Put());
        m->SetName(L"Source macro");
        struct { ULONG zero, count; LONG t1; USHORT k1, f1; LONG t2; LONG ms; ULONG slack[2]; } buf = {0, 2, 2, 0x1E, 0, 3, 50, {0, 0}};
        m->SetEvents(sizeof buf, reinterpret_cast<BYTE*>(&buf));
        ASSERT_EQ(S_OK, m->Export(dir.File(L"good.vtm").c_str()));
        goodMacro = ReadAll(dir.File(L"good.vtm"));
        ASSERT_GT(goodMacro.size(), 20u);
        profiles = Feature<IVtProfileManager>(DeviceOf(mgr.Get(), VT_PID_MOUSE).Get(), IID_IVtProfileManager);
    }
    void TearDown() override {
        store.Reset();
        profiles.Reset();
        mgr.Reset();
        engine.reset();
        CoUninitialize();
    }
    // Imports a file made of the given bytes into the mouse; expects refusal and no change.
    void ExpectProfileRefused(const std::vector<uint8_t>& bytes, const char* what) {
        std::wstring file = dir.File(L"bad.vtp");
        ASSERT_TRUE(WriteAll(file, bytes));
        std::string before = engine->Dump();
        ComPtr<IVtProfile> p;
        EXPECT_TRUE(FAILED(profiles->ImportProfile(file.c_str(), p.Put()))) << what;
        EXPECT_FALSE(p) << what;
        EXPECT_EQ(before, engine->Dump()) << what;
    }
    void ExpectMacroRefused(const std::vector<uint8_t>& bytes, const char* what) {
        std::wstring file = dir.File(L"bad.vtm");
        ASSERT_TRUE(WriteAll(file, bytes));
        std::string before = engine->Dump();
        ComPtr<IVtMacro> m;
        EXPECT_TRUE(FAILED(store->ImportMacro(file.c_str(), m.Put()))) << what;
        EXPECT_FALSE(m) << what;
        EXPECT_EQ(before, engine->Dump()) << what;
    }
    // Recomputes the frame's CRC so that a mutation reaches the parser and its checks.
    static std::vector<uint8_t> Reseal(std::vector<uint8_t> b) {
        if (b.size() < 20) return b;
        uint32_t n = uint32_t(b.size() - 20);
        memcpy(&b[12], &n, 4);
        uint32_t crc = vt::engine::Crc32(b.data() + 20, n);
        memcpy(&b[16], &crc, 4);
        return b;
    }

    TempDir dir;
    std::shared_ptr<vt::engine::Engine> engine;
    ComPtr<IVtDeviceMgr> mgr;
    ComPtr<IVtMacroStore> store;
    ComPtr<IVtProfileManager> profiles;
    std::vector<uint8_t> goodMouse, goodKeyboard, goodMacro;
};

TEST_F(EngineImport, MalformedProfileFilesAreRefusedWithoutChange) {
    auto with = [&](std::function<void(std::vector<uint8_t>&)> f) {
        std::vector<uint8_t> b = goodMouse;
        f(b);
        return b;
    };
    // Offset of the name length: magic 8, version 4, size 4, crc 4, pid 4, id 16.
    const size_t nameLen = 20 + 4 + 16;
    struct Case { const char* what; std::vector<uint8_t> bytes; };
    const Case cases[] = {
        {"empty", {}},
        {"header only", std::vector<uint8_t>(goodMouse.begin(), goodMouse.begin() + 20)},
        {"truncated", std::vector<uint8_t>(goodMouse.begin(), goodMouse.end() - 7)},
        {"one byte short, resealed", Reseal(std::vector<uint8_t>(goodMouse.begin(), goodMouse.end() - 1))},
        {"trailing byte, resealed", Reseal(with([](auto& b) { b.push_back(0); }))},
        {"wrong magic", with([](auto& b) { b[0] = 'X'; })},
        {"wrong version", with([](auto& b) { b[8] = 2; })},
        {"size field larger than file", with([](auto& b) { b[12] += 1; })},
        {"bad checksum", with([](auto& b) { b[b.size() - 1] ^= 1; })},
        {"keyboard file into the mouse", goodKeyboard},
        {"macro file as profile", goodMacro},
        {"name length huge, resealed", Reseal(with([&](auto& b) { b[nameLen + 3] = 0x7F; }))},
        {"name of 257 characters, resealed", Reseal(with([&](auto& b) { uint32_t n = 257; memcpy(&b[nameLen], &n, 4); }))},
        {"oversized", std::vector<uint8_t>((1 << 20) + 1, 0)},
        {"text", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}},
    };
    for (const Case& c : cases) ExpectProfileRefused(c.bytes, c.what);
    ComPtr<IVtProfile> p;
    EXPECT_TRUE(FAILED(profiles->ImportProfile(dir.File(L"missing.vtp").c_str(), p.Put())));
    EXPECT_EQ(E_POINTER, profiles->ImportProfile(nullptr, p.Put()));
    // The unmodified file still imports.
    ASSERT_TRUE(WriteAll(dir.File(L"ok.vtp"), goodMouse));
    EXPECT_EQ(S_OK, profiles->ImportProfile(dir.File(L"ok.vtp").c_str(), p.Put()));
}

TEST_F(EngineImport, MalformedMacroFilesAreRefusedWithoutChange) {
    auto with = [&](std::function<void(std::vector<uint8_t>&)> f) {
        std::vector<uint8_t> b = goodMacro;
        f(b);
        return b;
    };
    // Offset of the event count: header 20, id 16, name length 4, name "Source macro" 24.
    const size_t count = 20 + 16 + 4 + 24;
    struct Case { const char* what; std::vector<uint8_t> bytes; };
    const Case cases[] = {
        {"empty", {}},
        {"truncated", std::vector<uint8_t>(goodMacro.begin(), goodMacro.end() - 3)},
        {"truncated, resealed", Reseal(std::vector<uint8_t>(goodMacro.begin(), goodMacro.end() - 8))},
        {"wrong version", with([](auto& b) { b[8] = 9; })},
        {"event count beyond the data, resealed", Reseal(with([&](auto& b) { b[count] = 3; }))},
        {"event count huge, resealed", Reseal(with([&](auto& b) { b[count + 3] = 0xFF; }))},
        {"event type 7, resealed", Reseal(with([&](auto& b) { b[count + 4] = 7; }))},
        {"profile file as macro", goodMouse},
        {"oversized", std::vector<uint8_t>((1 << 20) + 1, 'x')},
    };
    for (const Case& c : cases) ExpectMacroRefused(c.bytes, c.what);
    ComPtr<IVtMacro> m;
    EXPECT_TRUE(FAILED(store->ImportMacro(dir.File(L"missing.vtm").c_str(), m.Put())));
}

// Random mutations (flips, truncations, insertions), each with and without a valid checksum:
// never a crash, and either a refusal without change or a valid import.
TEST_F(EngineImport, RandomlyMutatedFilesNeverCorruptTheState) {
    std::mt19937 rng(0x5EED);
    int refused = 0, accepted = 0;
    for (int round = 0; round < 400; ++round) {
        bool macro = round % 2 == 1;
        std::vector<uint8_t> b = macro ? goodMacro : goodMouse;
        int edits = 1 + int(rng() % 4);
        for (int e = 0; e < edits && !b.empty(); ++e) {
            size_t at = rng() % b.size();
            switch (rng() % 4) {
            case 0: b[at] ^= uint8_t(1u << (rng() % 8)); break;
            case 1: b[at] = uint8_t(rng()); break;
            case 2: b.resize(at); break;
            case 3: b.insert(b.begin() + at, uint8_t(rng())); break;
            }
        }
        if (round % 4 >= 2) b = Reseal(b);
        std::wstring file = dir.File(macro ? L"fuzz.vtm" : L"fuzz.vtp");
        ASSERT_TRUE(WriteAll(file, b));
        std::string before = engine->Dump();
        HRESULT hr;
        if (macro) {
            ComPtr<IVtMacro> m;
            hr = store->ImportMacro(file.c_str(), m.Put());
            if (SUCCEEDED(hr)) store->DeleteMacro(m.Get());
        } else {
            ComPtr<IVtProfile> p;
            hr = profiles->ImportProfile(file.c_str(), p.Put());
            if (SUCCEEDED(hr)) profiles->DeleteProfile(p.Get());
        }
        if (FAILED(hr)) {
            ++refused;
            ASSERT_EQ(before, engine->Dump()) << "round " << round;
        } else {
            ++accepted;
        }
    }
    EXPECT_GT(refused, 300);
    RecordProperty("accepted", accepted);
}

}  // namespace
