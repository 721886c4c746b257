#pragma once
// "Profiles": the headset profiles of the audio manager's store in a list with check boxes (the
// ticked one is the active profile), with a context menu to create, delete, import, export,
// activate and restore them, and in-place renaming. The profile manager is held while the page is
// shown; the list is rebuilt from it after every change.
#include "audtest/SheetPage.h"

namespace vt::audtest {

class CProfilesPage : public CSheetPage {
public:
    using CSheetPage::CSheetPage;
    ~CProfilesPage() override;

    // Private messages: 0x600 (wParam entry, lParam sub-item) after a click on an entry's check
    // box; 0x500 ticks the entry of the active profile again.
    static constexpr UINT kCheckClicked = 0x600;
    static constexpr UINT kRetickActive = 0x500;

    // Carries out a command of the context menu on an entry (-1: the click hit no entry).
    void Carry(UINT command, int entry);

protected:
    void OnInitDialog() override;
    void OnSetActive() override;
    void OnKillActive() override;
    bool OnNotify(NMHDR* hdr, LRESULT* result) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void OnDestroy() override;

private:
    HWND List() const { return Item(1005); }
    void Refresh();
    void ClearEntries();
    IVtProfile* EntryProfile(int entry) const;
    GUID ActiveId() const;
    void TickOnly(int entry);
    void SetActive(int entry);
    void EndLabelEdit(const NMLVDISPINFOW* info);

    vt::win::ComPtr<IVtProfileManager> m_manager;
};

} // namespace vt::audtest
