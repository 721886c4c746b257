// The configuration program when the device engine's process is killed under it: the next
// operation reaches a fresh engine without a restart of the program, and a write the kill broke
// keeps the edits and is offered again. Driven from outside by the controls' window ids.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "ConfigProgram.h"
#include "EngineCtl.h"
#include "WindowTest.h"
#include "skin/VocabularyIds.h"

namespace ctl = vt::skin::ctl;
using vt::test::PumpUntil;
using vt::test::RunEngineCtl;

namespace {

constexpr UINT kSliderValueSet = WM_USER + 70;

// The program, started from its image folder, its main window shown and the mouse read (its first
// page's buttons show); ended at the end of the test if it is still running.
class Program : public vt::test::ConfigProgram {
public:
    bool Start() { return ConfigProgram::Start() && PumpUntil([&] { return Shown(ctl::BUTTON_ADJUSTPERFORMANCE); }, 20000); }
};

bool Click(HWND window, int id) {
    HWND c = GetDlgItem(window, id);
    if (!c) return false;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(c));
    vt::test::PumpMessages(30, 300);
    return true;
}

// The DPI stages popup: down to three stages, the first at the slider's position `first`.
void EditStages(Program& program, int first) {
    ASSERT_TRUE(Click(program.main, ctl::BUTTON_ADJUSTPERFORMANCE));
    ASSERT_TRUE(PumpUntil([&] { return program.Shown(ctl::BUTTON_SENSITIVITY_STAGES); }, 5000));
    ASSERT_TRUE(Click(program.main, ctl::BUTTON_SENSITIVITY_STAGES));
    HWND popup = program.Popup(ctl::BUTTON_DPISTAGES_OK, 5000);
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(Click(popup, ctl::BUTTON_DPISTAGES_DEC));
    ASSERT_TRUE(Click(popup, ctl::BUTTON_DPISTAGES_DEC));
    PostMessageW(popup, kSliderValueSet, first, ctl::SLIDER_DPI_MULTI_STAGE1_POPUP);
    vt::test::PumpMessages(30, 300);
    ASSERT_TRUE(Click(popup, ctl::BUTTON_DPISTAGES_OK));
    PumpUntil([&] { return !IsWindow(popup); }, 3000);
    ASSERT_TRUE(PumpUntil([&] { return program.Enabled(ctl::BUTTON_APPLY); }, 3000));
}

// The engine's DPI stages of the active mouse profile, as enginectl dump shows them.
std::string Stages() {
    std::string dump;
    if (RunEngineCtl(L"dump", &dump) != 0) return "<no dump>";
    size_t a = dump.find("\"stages\":");
    size_t b = a == std::string::npos ? a : dump.find("]]", a);
    return b == std::string::npos ? std::string() : dump.substr(a + 9, b - a - 9 + 2);
}

const char kThreeStages[] = "[[800,800],[1200,1200],[2400,2400]]";

class EngineRecovery : public vt::test::WindowTest {
protected:
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        // Servers started from here end soon after their last client.
        SetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", L"20");
        ASSERT_EQ(RunEngineCtl(L"reset"), 0);
        ASSERT_EQ(RunEngineCtl(L"unplug all"), 0);
        ASSERT_EQ(RunEngineCtl(L"plug mouse"), 0);
    }
    void TearDown() override {
        // The program started the tray program, which outlives it as an engine client: close it.
        vt::test::CloseTrayPrograms();
        vt::test::WindowTest::TearDown();
    }
};

// Killed while the program waits for the user: the next Apply starts a fresh engine and writes,
// with no word to the user and no restart of the program.
TEST_F(EngineRecovery, TheNextOperationAfterAKillReachesAFreshEngine) {
    Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_EQ(RunEngineCtl(L"kill"), 0);
    EditStages(program, 24);
    ASSERT_TRUE(Click(program.main, ctl::BUTTON_APPLY));
    std::string stages;
    EXPECT_TRUE(PumpUntil([&] { return (stages = Stages()) == kThreeStages; }, 20000)) << stages;
    EXPECT_TRUE(PumpUntil([&] { return !program.Enabled(ctl::BUTTON_APPLY); }, 5000));
    EXPECT_EQ(program.Popup(ctl::BUTTON_POPUP_OK, 500), nullptr) << "a warning was shown";
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(program.Enabled(ctl::BUTTON_PRODSELECT_MOUSE));
    ASSERT_TRUE(Click(program.main, ctl::BUTTON_CANCEL));
    EXPECT_TRUE(program.Ended(15000));
}

// Killed in the middle of Apply's write: the mouse tab and the edits stay, Apply is offered again,
// and the next Apply writes to a fresh engine.
TEST_F(EngineRecovery, AKillDuringAWriteKeepsTheEditsForTheNextApply) {
    Program program;
    ASSERT_TRUE(program.Start());
    EditStages(program, 24);
    ASSERT_EQ(RunEngineCtl(L"log clear"), 0);
    ASSERT_EQ(RunEngineCtl(L"delay IVtDpi.SetDpiStages 10000"), 0);
    ASSERT_TRUE(Click(program.main, ctl::BUTTON_APPLY));
    std::string log;
    ASSERT_TRUE(PumpUntil([&] {
        RunEngineCtl(L"log", &log);
        return log.find("IVtDpi.SetDpiStages") != std::string::npos;
    }, 20000)) << "the write never reached the stages";
    ASSERT_EQ(RunEngineCtl(L"kill"), 0);

    // The program asks the engine whether the mouse is still there, which starts a fresh engine:
    // the device stays without a word to the user (who is told only when no engine answers).
    EXPECT_TRUE(PumpUntil([&] { return program.Enabled(ctl::BUTTON_APPLY); }, 30000));
    if (HWND warning = program.Popup(ctl::BUTTON_POPUP_OK, 300)) Click(warning, ctl::BUTTON_POPUP_OK);
    EXPECT_TRUE(program.Enabled(ctl::BUTTON_PRODSELECT_MOUSE));
    EXPECT_TRUE(program.Shown(ctl::BUTTON_ADJUSTPERFORMANCE));

    ASSERT_TRUE(Click(program.main, ctl::BUTTON_APPLY));
    std::string stages;
    EXPECT_TRUE(PumpUntil([&] { return (stages = Stages()) == kThreeStages; }, 20000)) << stages;
    EXPECT_TRUE(PumpUntil([&] { return !program.Enabled(ctl::BUTTON_APPLY); }, 5000));
    EXPECT_TRUE(program.Enabled(ctl::BUTTON_PRODSELECT_MOUSE));
    vt::test::CaptureClient(program.main).SaveBmp(vt::test::OutputPath(L"config_engine_recovered.bmp"));
    ASSERT_TRUE(Click(program.main, ctl::BUTTON_CANCEL));
    EXPECT_TRUE(program.Ended(15000));
}

}  // namespace
