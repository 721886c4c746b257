#pragma once
// What every page of the test program's property sheet has: its dialog template, its window once
// the sheet has created it, the sheet that holds the audio manager's objects, and the handlers the
// page's dialog procedure dispatches to. A page reaches the audio manager only through the sheet's
// current device and the objects handed out from it.
#include "VtAudMgr.h"
#include "win/Handles.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace vt::audtest {

class CVtAudApiSheet;

class CSheetPage {
public:
    CSheetPage(CVtAudApiSheet& sheet, UINT templateId) : m_sheet(sheet), m_templateId(templateId) {}
    virtual ~CSheetPage() = default;
    CSheetPage(const CSheetPage&) = delete;
    CSheetPage& operator=(const CSheetPage&) = delete;

    // The page as the property sheet takes it (template from `resources`).
    PROPSHEETPAGEW Descriptor(HINSTANCE resources);
    HWND Window() const { return m_hwnd; }
    UINT TemplateId() const { return m_templateId; }

protected:
    virtual void OnInitDialog() {}
    virtual void OnSetActive() {}
    virtual void OnKillActive() {}
    virtual void OnCommand(UINT id, UINT code) {}
    // True when handled; *result is what the notification answers.
    virtual bool OnNotify(NMHDR* hdr, LRESULT* result) { return false; }
    virtual void OnHScroll(UINT code, HWND control) {}
    // Any other message; true when handled, with *result the dialog procedure's answer.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* result) { return false; }
    virtual void OnDestroy() {}

    // The sheet's current device, a reference of the caller's own; empty when there is none.
    vt::win::ComPtr<IVtAudDevice> Device() const;
    // A feature object of the device's active profile: device, profile manager, active profile,
    // the profile's CreateInterfaceInstance(iid). Every step's reference is released on the way.
    HRESULT ActiveProfileFeature(const IID& iid, void** feature) const;
    // A failure of the audio manager, told in a plain message box owned by this page.
    void Fail(const std::wstring& what, HRESULT hr) const;
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    bool Checked(int id) const { return IsDlgButtonChecked(m_hwnd, id) == BST_CHECKED; }
    void Check(int id, bool on) const { CheckDlgButton(m_hwnd, id, on ? BST_CHECKED : BST_UNCHECKED); }

    CVtAudApiSheet& m_sheet;
    HWND m_hwnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    UINT m_templateId;
};

} // namespace vt::audtest
