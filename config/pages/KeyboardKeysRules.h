#pragma once
// What the keyboard's assign-keys page does apart from its window: the options a selected key may
// take (greyed when there is no macro, or no other profile to switch to), what a key shows when
// the pointer is over it, which keys are marked as assigned, and an option chosen for a key: its
// default function, a single key (the single-key popup, with the keyboard in mode 2 while it
// runs), a macro with its play mode and repeat count, a profile switch or a program to launch.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "config/FileDialogs.h"
#include "config/popups/Popup.h"
#include "device/GenDevice.h"
#include "profile/ConfigInterfaces.h"

namespace vt::config {

// An entry of the option list: the action, its name ("$..."), its help text (may be empty) and
// whether it can be chosen now.
struct KeyOption {
    int32_t action;
    std::wstring name;
    std::wstring help;
    bool enabled;
};
// The actions the current profile allows a key, in the profile's order (none without a current
// profile). A macro option is greyed while there is no macro, a profile option while there is no
// other profile to switch to; any other option while no key is selected.
std::vector<KeyOption> KeyOptions(IKeyboardConfig* config, bool keySelected);

// Kind 0 for a key: its own code from the keyboard definition and, in byte 4, whether the code
// has a prefix.
AssignmentRecord DefaultKeyRecord(int32_t keyId);
// The key's assignment in the current profile; kind -1 when there is none (or no profile).
AssignmentRecord KeyAssignment(IKeyboardConfig* config, int32_t keyId);
// A key is marked when it does something else than its own function.
bool IsKeyMarked(IKeyboardConfig* config, int32_t keyId);
// What the key window shows for a key: "<action> | <detail>", the action in the shown language;
// the detail is the key, macro, profile or program it names, else the key's own label. Empty
// without a current profile.
std::wstring ShownKeyAssignment(IKeyboardConfig* config, int32_t keyId, const std::wstring& label);

// A repeat count as entered: 1..255 is taken, anything else is refused (never cut to its low byte).
bool RepeatCountValid(int number);
// The file name and extension of a path.
std::wstring PathFileName(const std::wstring& path);
// The longest program path a key can launch (the record holds 260 units with its terminator).
constexpr size_t kMaxProgramPath = 255;

class KeyboardKeyRules {
public:
    // keyboard: the keyboard's device object as it is bound now (may answer null); it is switched
    // to mode 2 while the single-key popup runs.
    KeyboardKeyRules(IKeyboardConfig*& config, IPopupHost& popups, IFileDialogs& files,
                     std::function<::IKeyboardDevice*()> keyboard)
        : m_config(config), m_popups(popups), m_files(files), m_keyboard(std::move(keyboard)) {}
    void SetOwner(HWND owner) { m_owner = owner; }

    // The option with that action chosen for the key; true when a record was written (false: the
    // option was cancelled or refused, and the key keeps what it had).
    bool Assign(int32_t keyId, int32_t action);
    // Every key of the current profile back to its own function (and the lighting to its
    // defaults), after the user agreed; true when it was done.
    bool RestoreAll();

private:
    bool AssignSingleKey(AssignmentRecord& next);
    bool AssignMacro(int32_t keyId, AssignmentRecord& next);
    bool AssignProfile(AssignmentRecord& next);
    bool AssignProgram(AssignmentRecord& next);

    IKeyboardConfig*& m_config;
    IPopupHost& m_popups;
    IFileDialogs& m_files;
    std::function<::IKeyboardDevice*()> m_keyboard;
    HWND m_owner = nullptr;
};

} // namespace vt::config
