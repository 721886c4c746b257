#pragma once
// The test program's property sheet "Velto Middleware Audio Test Application": it creates the audio
// manager through COM by class id (as any client of the registered server does), keeps the device
// manager and the current device for its seven pages, and releases both when its run ends.
#include "VtAudMgr.h"
#include "audtest/SheetPage.h"
#include "win/Handles.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace vt::audtest {

class CVtAudApiSheet {
public:
    // `resources`: the module that holds the page templates and menus.
    explicit CVtAudApiSheet(HINSTANCE resources);
    ~CVtAudApiSheet();
    CVtAudApiSheet(const CVtAudApiSheet&) = delete;
    CVtAudApiSheet& operator=(const CVtAudApiSheet&) = delete;

    // Creates VtAudDeviceMgr and takes its first device as the current one. Without the server or
    // without a headset the sheet runs with what it got (the pages then stay inert).
    void OpenAudioManager();
    // Runs the sheet modally; then releases the device and the manager, whatever ended the run.
    INT_PTR RunModal();
    // Creates the sheet without a modal loop (for a caller that runs the loop itself); null when
    // it could not be made. Close() ends it.
    HWND CreateModeless();
    void Close();
    // Releases the current device, then the device manager.
    void ReleaseAudioManager();

    IVtAudDeviceMgr* Manager() const { return m_manager.Get(); }
    vt::win::ComPtr<IVtAudDevice> Device() const { return m_device; }
    void SetDevice(vt::win::ComPtr<IVtAudDevice> device) { m_device = std::move(device); }
    size_t PageCount() const { return m_pages.size(); }
    CSheetPage& Page(size_t index) const { return *m_pages.at(index); }
    HINSTANCE Resources() const { return m_resources; }

private:
    PROPSHEETHEADERW Header(std::vector<PROPSHEETPAGEW>& pages, DWORD flags);
    HINSTANCE m_resources;
    vt::win::ComPtr<IVtAudDeviceMgr> m_manager;
    vt::win::ComPtr<IVtAudDevice> m_device;
    std::vector<std::unique_ptr<CSheetPage>> m_pages;
    HWND m_modeless = nullptr;
};

} // namespace vt::audtest
