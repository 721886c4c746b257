#include "TestRun.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace vt::test {
namespace {

// Ends the program when one case overstays its time, naming the case: CTest's own bound covers a
// whole program run, and would only say that the program as a whole was too slow.
class CaseWatchdog : public ::testing::EmptyTestEventListener {
public:
    explicit CaseWatchdog(DWORD limitMs) : limitMs_(limitMs) {
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, [](void* self) -> DWORD {
            static_cast<CaseWatchdog*>(self)->Watch();
            return 0;
        }, this, 0, nullptr);
    }
    ~CaseWatchdog() override {
        SetEvent(stop_);
        if (thread_) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
        }
        CloseHandle(stop_);
    }
    void OnTestStart(const ::testing::TestInfo& info) override {
        std::lock_guard<std::mutex> lock(mutex_);
        current_ = std::string(info.test_suite_name()) + "." + info.name();
        started_ = GetTickCount64();
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::lock_guard<std::mutex> lock(mutex_);
        current_.clear();
    }

private:
    void Watch() {
        while (WaitForSingleObject(stop_, 500) == WAIT_TIMEOUT) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (current_.empty() || GetTickCount64() - started_ < limitMs_) continue;
            std::printf("\n[  TIMEOUT ] %s did not end within %lu s; the program ends here\n", current_.c_str(),
                        limitMs_ / 1000);
            std::fflush(stdout);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }

    const DWORD limitMs_;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
    std::mutex mutex_;
    std::string current_;
    ULONGLONG started_ = 0;
};

// The case running now, for the crash report below (the watchdog keeps its own copy under its lock).
char g_currentCase[512];

class CurrentCase : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo& info) override {
        std::snprintf(g_currentCase, sizeof g_currentCase, "%s.%s", info.test_suite_name(), info.name());
    }
    void OnTestEnd(const ::testing::TestInfo&) override { g_currentCase[0] = 0; }
};

// A crash names its case and the exception before the program ends: the output a test printed is
// otherwise all that is left, and a crash outside every case leaves none.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* e) {
    const EXCEPTION_RECORD* r = e ? e->ExceptionRecord : nullptr;
    std::printf("\n[  CRASH   ] %s: exception 0x%08lx at %p\n", g_currentCase[0] ? g_currentCase : "outside the cases",
                r ? static_cast<unsigned long>(r->ExceptionCode) : 0ul, r ? r->ExceptionAddress : nullptr);
    std::fflush(stdout);
    return EXCEPTION_CONTINUE_SEARCH;
}

// The value of a --name=value argument left over by GoogleTest, or null.
const char* Option(int argc, char** argv, const char* name) {
    const size_t n = std::strlen(name);
    for (int i = 1; i < argc; ++i)
        if (!std::strncmp(argv[i], name, n) && argv[i][n] == '=') return argv[i] + n + 1;
    return nullptr;
}

// A suite GoogleTest holds but CTest was not told of: typed and parameterised suites carry a
// "Prefix/" or "/N" beside the name the sources give.
bool Listed(const std::set<std::string>& listed, const std::string& suite) {
    if (listed.count(suite)) return true;
    const size_t slash = suite.find('/');
    if (slash == std::string::npos) return false;
    return listed.count(suite.substr(0, slash)) || listed.count(suite.substr(slash + 1)) ||
           listed.count(suite.substr(suite.rfind('/') + 1));
}

bool AllSuitesListed(const char* list) {
    std::set<std::string> listed;
    for (const char* p = list; *p;) {
        const char* end = std::strchr(p, ':');
        if (!end) end = p + std::strlen(p);
        if (end > p) listed.emplace(p, end);
        p = *end ? end + 1 : end;
    }
    const auto* unit = ::testing::UnitTest::GetInstance();
    bool all = true;
    for (int i = 0; i < unit->total_test_suite_count(); ++i) {
        const std::string name = unit->GetTestSuite(i)->name();
        if (Listed(listed, name)) continue;
        std::printf("[  ERROR   ] suite %s is not registered with CTest: its cases would never run there "
                    "(cmake/VtTestList.cmake finds suites by their TEST and TEST_F lines)\n", name.c_str());
        all = false;
    }
    return all;
}

} // namespace

int RunTests(int argc, char** argv, const std::function<void()>& beforeRun, const std::function<void()>& afterRun) {
    SetUnhandledExceptionFilter(ReportCrash);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new CurrentCase);
    if (const char* list = Option(argc, argv, "--vt_listed_suites"); list && !AllSuitesListed(list)) return 1;
    const bool listing = GTEST_FLAG_GET(list_tests);
    CaseWatchdog* watchdog = nullptr;
    if (const char* s = Option(argc, argv, "--vt_case_timeout"); s && !listing && std::atoi(s) > 0) {
        watchdog = new CaseWatchdog(DWORD(std::atoi(s)) * 1000);
        ::testing::UnitTest::GetInstance()->listeners().Append(watchdog);
    }
    if (beforeRun) beforeRun();
    int rc = RUN_ALL_TESTS();
    if (afterRun) afterRun();
    if (watchdog) delete ::testing::UnitTest::GetInstance()->listeners().Release(watchdog);
    if (!listing && ::testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        std::printf("[  ERROR   ] no case matches the filter %s\n", GTEST_FLAG_GET(filter).c_str());
        rc = 1;
    }
    return rc;
}

} // namespace vt::test
