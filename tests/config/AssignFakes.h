#pragma once
// The assignment pages' popups answered from a script: the single-key popup (a key with its name),
// the macro selection, the profile selection and the repeat count (a queue of numbers), beside
// what ScriptedPagePopups answers.
#include <deque>
#include "PageFakes.h"
#include "config/popups/DropdownSelectPopup.h"
#include "config/popups/MacroAssignmentPopup.h"
#include "config/popups/NumEntryPopup.h"

namespace vt::test {

class ScriptedAssignPopups : public ScriptedPagePopups {
public:
    // The single-key popup: its answer and the key (name, scan code, virtual key, extended).
    SingleKeyResult singleKey{L"F5", 0x3F, VK_F5, 0};
    // The macro selection popup.
    INT_PTR macroAnswer = 1;
    std::wstring macroChosen;
    unsigned macroMode = 1;
    std::vector<std::wstring> macroOffered;
    unsigned macroModeShown = 0;
    std::wstring macroChosenShown;
    // The profile selection popup.
    INT_PTR profileAnswer = 1;
    std::wstring profileChosen;
    std::vector<std::wstring> profileOffered;
    // The repeat count popup: one answer per showing (1 OK with the number, 2 Cancel).
    std::deque<std::pair<INT_PTR, int>> counts;
    int countShown = 0;

    INT_PTR Run(HWND parent, vt::config::IPopup& popup) override {
        using namespace vt::config;
        if (auto* k = dynamic_cast<SingleKeyPopup*>(&popup)) {
            calls.push_back({L"key", L"", L""});
            if (keyAnswer != 1) return keyAnswer;
            k->Key().displayName = singleKey.text;
            k->Key().scanCode = singleKey.scan;
            k->Key().virtualKey = singleKey.vk;
            k->Key().flags = singleKey.extended;
            return 1;
        }
        if (auto* m = dynamic_cast<MacroAssignmentPopup*>(&popup)) {
            calls.push_back({L"macro", L"SelectMacroPopup.xml", L""});
            macroOffered = m->Names();
            macroModeShown = m->Mode();
            macroChosenShown = m->Chosen();
            if (macroAnswer == 1) {
                m->Chosen() = macroChosen;
                m->Mode() = macroMode;
            }
            return macroAnswer;
        }
        if (auto* s = dynamic_cast<SelectPopup*>(&popup)) {
            calls.push_back({L"select", s->File(), L""});
            profileOffered = s->Choices();
            if (profileAnswer == 1) s->Chosen() = profileChosen;
            return profileAnswer;
        }
        if (auto* n = dynamic_cast<NumberEntryPopup*>(&popup)) {
            calls.push_back({L"number", n->File(), L""});
            ++countShown;
            if (counts.empty()) return 2;
            auto [answer, number] = counts.front();
            counts.pop_front();
            if (answer == 1) n->Number() = number;
            return answer;
        }
        return ScriptedPagePopups::Run(parent, popup);
    }
    size_t Count(const wchar_t* what) const {
        size_t n = 0;
        for (const PopupCall& c : calls) n += c.what == what;
        return n;
    }
};

} // namespace vt::test
