#pragma once
// The activity-lighting popup: the stages on one slider over the APM scale (rules in
// config/popups/ApmStages.h). It reads the stages of the device shown and, on OK, writes them into
// every configuration present.
#include <vector>
#include "config/popups/ApmStages.h"
#include "config/popups/PagePopup.h"
#include "config/popups/Popup.h"
#include "skin/ApmSlider.h"
#include "skin/ColourButton.h"

namespace vt::config {

// What the main window runs: the stages to edit and the host its warnings run through. After OK
// (1) Stages() holds the edits; after Cancel (2) they are as they were given.
class ApmPopup : public IPopup {
public:
    ApmPopup(std::vector<ApmStage> stages, IPopupHost& warnings) : m_stages(std::move(stages)), m_warnings(warnings) {}
    const std::vector<ApmStage>& Stages() const { return m_stages; }
    std::vector<ApmStage>& Stages() { return m_stages; }
    INT_PTR Show(HWND parent) override;

private:
    std::vector<ApmStage> m_stages;
    IPopupHost& m_warnings;
};

// The popup's window over the rules.
class CDmApmPopup : public CDmPagePopup {
public:
    CDmApmPopup(HWND parent, ApmStagesRules& rules, IPopupHost& warnings);
    void BindItems() override;

protected:
    bool OnInitDialog() override;
    bool OnItem(int controlId) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The rules' stages onto the slider, and the slider's bounds back into the rules.
    void PushToSlider();
    void PullFromSlider();
    void RefreshLabels();

    ApmStagesRules& m_rules;
    IPopupHost& m_warnings;
    vt::skin::CAPMSlider* m_slider = nullptr;
    vt::skin::CDropdownColorButton* m_colour = nullptr;
    vt::skin::CGUIItem* m_lower = nullptr;
    vt::skin::CGUIItem* m_upper = nullptr;
};

} // namespace vt::config
