#pragma once
// Fakes for the device pages' rules: a device object that holds an engine's profile and macro
// stores in memory and can be told to fail, popups that answer from a script and record what they
// were asked, and file dialogs that hand back a scripted answer.
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "config/pages/DeviceKind.h"
#include "config/DeviceSet.h"
#include "config/FileDialogs.h"
#include "config/popups/NameEntryPopup.h"
#include "config/popups/PredefinedMacroPopup.h"
#include "config/popups/PreviewPopup.h"
#include "config/popups/SingleKeyPopup.h"
#include "config/popups/WarningPopup.h"
#include "skin/LangTable.h"

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

// A popup host that answers from a script and records what it was asked: which popup (by its
// class), its page file and its texts.
class ScriptedPagePopups : public vt::config::IPopupHost {
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

    INT_PTR Run(HWND, vt::config::IPopup& popup) override {
        using namespace vt::config;
        if (auto* w = dynamic_cast<WarningPopup*>(&popup)) {
            calls.push_back({L"warning", w->File(), w->Message() + L"|" + w->Appended()});
            return warningAnswer;
        }
        if (auto* n = dynamic_cast<NameEntryPopup*>(&popup)) {
            calls.push_back({L"name", n->File(), L"|" + n->Appended()});
            if (nameAnswer == 1) n->Name() = name;
            return nameAnswer;
        }
        if (auto* p = dynamic_cast<PredefinedMacroPopup*>(&popup)) {
            calls.push_back({L"predefined", L"", L""});
            if (predefinedAnswer == 1) p->Chosen() = predefined;
            return predefinedAnswer;
        }
        if (auto* v = dynamic_cast<PreviewPopup*>(&popup)) {
            calls.push_back({L"preview", L"PreviewPopup.xml", v->Title()});
            return 1;
        }
        if (auto* k = dynamic_cast<SingleKeyPopup*>(&popup)) {
            calls.push_back({L"key", L"", L""});
            keyShown = k->Key();
            if (keyAnswer == 1) {
                k->Key().scanCode = key.scanCode;
                k->Key().virtualKey = key.virtualKey;
                k->Key().flags = key.flags;
            }
            return keyAnswer;
        }
        calls.push_back({L"other", L"", L""});
        return 2;
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

// A device set whose mouse and keyboard are fake device objects; reads give each device one profile.
class FakePageDevices : public vt::config::IDeviceSet {
public:
    FakePageDevices(IMouseConfig*& mouse, IKeyboardConfig*& keyboard) : m_mouseConfig(mouse), m_keyboardConfig(keyboard) {}
    FakeDevice<IMouseConfig> mouse;
    FakeDevice<IKeyboardConfig> keyboard;

    void Open() override {}
    bool Read(int d) override {
        if (d == vt::config::kMouse && m_mouseConfig->GetProfileCount() == 0) m_mouseConfig->CreateProfile(L"PROFILE01");
        if (d == vt::config::kKeyboard && m_keyboardConfig->GetProfileCount() == 0) m_keyboardConfig->CreateProfile(L"PROFILE01");
        mouse.engineProfiles = m_mouseConfig->GetProfileCount();
        keyboard.engineProfiles = m_keyboardConfig->GetProfileCount();
        return d != vt::config::kHeadset;
    }
    bool StartWrite(int) override { return true; }
    bool IsBusy(int) override { return false; }
    int LastWriteResult(int) override { return 1; }
    bool FirmwareVersion(int, std::wstring& t) override { t = L"1.00"; return true; }
    bool DriverVersion(int, std::wstring& t) override { t = L"1.00"; return true; }
    bool Recreate(int d) override { return d != vt::config::kHeadset; }
    bool QueryKeyboardLayout(ULONG*) override { return false; }
    void SetNotifyWindow(HWND) override {}
    void Destroy() override {}
    ::IMouseDevice* MouseDevice() override { return &mouse; }
    ::IKeyboardDevice* KeyboardDevice() override { return &keyboard; }

private:
    IMouseConfig*& m_mouseConfig;
    IKeyboardConfig*& m_keyboardConfig;
};

constexpr int kEnglish = 544, kGerman = 549;
// The texts as the program shows them: the language file read once (German selected, so that its
// table and the default English one are built), then the language chosen. False when it has none.
inline bool UseLanguage(int id) {
    // Kept to the end of the process: the tables must outlive every window and the skin store.
    static auto* languages = new vt::skin::CGUIItems;
    if (languages->Count() == 0) {
        vt::skin::SetSelectedLanguageId(kGerman);
        if (!languages->LoadSkinPage(L"Language.xml", nullptr)) return false;
    }
    auto found = vt::skin::LanguageMap().find(id);
    if (found == vt::skin::LanguageMap().end()) return false;
    vt::skin::SetCurrentLanguageTable(found->second);
    return true;
}

} // namespace vt::test
