#pragma once
// The mouse device object: opens the mouse through the engine and reads it into the mouse
// configuration, writes the configuration back on its worker thread, and reads it again.
#include "device/DeviceBase.h"
#include "device/GenDevice.h"
#include "device/MouseTransfer.h"
#include <cstdint>
#include <string>
#include <vector>

namespace vt::device {

class CMouse : public IMouseDevice, public CBaseDevice<IMouseConfig*, IMouseProfile*, CMouse> {
public:
    explicit CMouse(const DeviceDescription* description = &kMouseDescription);
    ~CMouse() override;

    bool Open(IMouseConfig* config) override;
    void Close() override {}
    bool IsBusy() override { return DeviceCore::IsBusy(); }
    bool ImportMacro(const wchar_t* path, IMouseConfig* config) override { return BaseImportMacro(path, config); }
    bool ExportMacro(const wchar_t* path, CMacro* macro) override { return BaseExportMacro(path, macro); }
    bool HasEngineMacro(CMacro* macro) override { return BaseHasEngineMacro(macro); }
    bool ImportProfile(const wchar_t* path, IMouseConfig* config) override;
    bool ExportProfile(const wchar_t* path, IMouseProfile* profile) override { return BaseExportProfile(path, profile); }
    bool HasEngineProfile(IMouseProfile* profile) override { return BaseHasEngineProfile(profile); }
    bool SelectMode2() override { return false; }
    bool SelectMode1() override { return false; }
    bool QueryKeyboardValue(ULONG*) override { return false; }
    bool TransferProfiles(IMouseConfig* config, int32_t mode, uint32_t mask) override;
    bool IsConnected() override { return DeviceCore::IsConnected(); }
    bool GetFirmwareVersion(std::wstring& text) override { text = m_firmware; return true; }
    bool GetDriverVersion(std::wstring& text) override { text = m_driver; return true; }
    int32_t GetProductId() override { return int32_t(ProductId()); }
    int32_t GetProfileCount() override { return BaseGetProfileCount(); }
    int32_t GetLastWriteResult() override { return LastWriteResult(); }

    // The configuration's key entries, read from the engine when first needed (see
    // CBaseDevice::BaseReadKeyEntries).
    bool ReadKeyEntries(IMouseConfig* config) { return BaseReadKeyEntries(config); }

    // The supported button bits read on open (ascending).
    const std::vector<uint32_t>& SupportedButtons() const { return m_supported; }

private:
    std::vector<uint32_t> m_supported;
};

} // namespace vt::device
