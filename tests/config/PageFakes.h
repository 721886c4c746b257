#pragma once
// Fakes for the device pages' rules: a device object that holds an engine's profile and macro
// stores in memory and can be told to fail, popups that answer from a script and record what they
// were asked, and file dialogs that hand back a scripted answer.
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "config/pages/DeviceKind.h"
#include "config/FileDialogs.h"
#include "config/popups/PagePopups.h"

namespace vt::test {

template <class ConfigT>
class FakeDevice : public vt::config::DeviceOf<ConfigT> {
public:
    using ProfileT = typename vt::config::DeviceKind<ConfigT>::Profile;
    int engineProfiles = 0;                 // what GetProfileCount answers
    bool holdsProfile = true, holdsMacro = true;
    bool exportOk = true, importOk = true;
    std::vector<std::wstring> exported, imported;
    std::vector<int> modes;                 // SelectMode2 / SelectMode1 calls, as 2 and 1
    // What an import adds to the configuration (a profile or a macro of this name).
    std::wstring importName = L"IMPORTED";
    std::vector<MacroEvent> importEvents;

    bool Open(ConfigT*) override { return true; }
    void Close() override {}
    bool IsBusy() override { return false; }
    bool ImportMacro(const wchar_t* path, ConfigT* config) override {
        imported.push_back(path);
        if (!importOk) return false;
        CMacro* m = config->AddMacro(importName.c_str());
        if (!m) return false;
        m->events = importEvents;
        return true;
    }
    bool ExportMacro(const wchar_t* path, CMacro*) override { exported.push_back(path); return exportOk; }
    bool HasEngineMacro(CMacro*) override { return holdsMacro; }
    bool ImportProfile(const wchar_t* path, ConfigT* config) override {
        imported.push_back(path);
        if (!importOk) return false;
        if (!config->CreateProfile(importName.c_str())) return false;
        ++engineProfiles;
        return true;
    }
    bool ExportProfile(const wchar_t* path, ProfileT*) override { exported.push_back(path); return exportOk; }
    bool HasEngineProfile(ProfileT*) override { return holdsProfile; }
    bool SelectMode2() override { modes.push_back(2); return true; }
    bool SelectMode1() override { modes.push_back(1); return true; }
    bool QueryKeyboardValue(ULONG*) override { return false; }
    bool TransferProfiles(ConfigT*, int32_t, uint32_t) override { return true; }
    bool IsConnected() override { return true; }
    bool GetFirmwareVersion(std::wstring&) override { return false; }
    bool GetDriverVersion(std::wstring&) override { return false; }
    int32_t GetProductId() override { return 0; }
    int32_t GetProfileCount() override { return engineProfiles; }
    int32_t GetLastWriteResult() override { return -1; }
};

struct PopupCall {
    std::wstring what;       // "warning", "name", "preview", "predefined", "key"
    std::wstring file;
    std::wstring message;    // message or "" ; appended text after "|"
};

class ScriptedPagePopups : public vt::config::IPagePopups {
public:
    std::vector<PopupCall> calls;
    INT_PTR warningAnswer = 1;
    // Name entry: the answer and the name it gives back.
    INT_PTR nameAnswer = 1;
    std::wstring name;
    INT_PTR predefinedAnswer = 1;
    std::wstring predefined;
    INT_PTR keyAnswer = 1;
    vt::skin::KeyEventRecord key;
    vt::skin::KeyEventRecord keyShown;

    INT_PTR Warning(HWND, const wchar_t* file, const wchar_t* message, const wchar_t* appended) override {
        calls.push_back({L"warning", file, std::wstring(message ? message : L"") + L"|" + (appended ? appended : L"")});
        return warningAnswer;
    }
    INT_PTR NameEntry(HWND, const wchar_t* file, std::wstring& out, const wchar_t* appended) override {
        calls.push_back({L"name", file, std::wstring(L"|") + (appended ? appended : L"")});
        if (nameAnswer == 1) out = name;
        return nameAnswer;
    }
    INT_PTR NumberEntry(HWND, const wchar_t*, int&) override { return 2; }
    INT_PTR Select(HWND, const wchar_t*, const std::vector<std::wstring>&, std::wstring&) override { return 2; }
    INT_PTR MacroAssignment(HWND, unsigned&, const std::vector<std::wstring>&, std::wstring&) override { return 2; }
    INT_PTR PredefinedMacro(HWND, std::wstring& chosen) override {
        calls.push_back({L"predefined", L"", L""});
        if (predefinedAnswer == 1) chosen = predefined;
        return predefinedAnswer;
    }
    INT_PTR Preview(HWND, IMouseProfile*, IMouseConfig*, const std::wstring& title) override {
        calls.push_back({L"preview", L"PreviewPopup.xml", title});
        return 1;
    }
    INT_PTR SingleKey(HWND, vt::skin::KeyEventRecord& k) override {
        calls.push_back({L"key", L"", L""});
        keyShown = k;
        if (keyAnswer == 1) {
            k.scanCode = key.scanCode;
            k.virtualKey = key.virtualKey;
            k.flags = key.flags;
        }
        return keyAnswer;
    }
    // The warnings shown, by file name.
    std::vector<std::wstring> Warnings() const {
        std::vector<std::wstring> out;
        for (const PopupCall& c : calls)
            if (c.what == L"warning") out.push_back(c.file);
        return out;
    }
    const PopupCall* Last() const { return calls.empty() ? nullptr : &calls.back(); }
};

// Answers every dialog with `chosen` (or Cancel) and records what it was asked.
class ScriptedFileDialogs : public vt::config::IFileDialogs {
public:
    struct Call { bool open; std::wstring filter, folder, extension, proposal; };
    bool answer = true;
    std::wstring chosen = L"C:\\save\\file.vtp";
    std::vector<Call> calls;
    bool Open(HWND, const std::wstring& filter, const std::wstring& folder, std::wstring& path) override {
        calls.push_back({true, filter, folder, L"", path});
        if (answer) path = chosen;
        return answer;
    }
    bool Save(HWND, const std::wstring& filter, const std::wstring& folder, const std::wstring& ext, std::wstring& path) override {
        calls.push_back({false, filter, folder, ext, path});
        if (answer) path = chosen;
        return answer;
    }
    size_t Opens() const { size_t n = 0; for (const Call& c : calls) n += c.open; return n; }
    size_t Saves() const { return calls.size() - Opens(); }
};

} // namespace vt::test
