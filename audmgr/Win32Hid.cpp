// The Win32 HID backend: SetupAPI enumeration of HID interfaces and hid.dll/overlapped file I/O.
#include "audmgr/HidIo.h"

#include <windows.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

#include <mutex>
#include <vector>

namespace vt::aud {
namespace {

class Win32HidHandle : public IHidHandle {
public:
    ~Win32HidHandle() override {
        if (m_read != INVALID_HANDLE_VALUE) CloseHandle(m_read);
        if (m_write != INVALID_HANDLE_VALUE) CloseHandle(m_write);
        if (m_event) CloseHandle(m_event);
    }

    bool Open(const std::wstring& path) {
        HANDLE info = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (info == INVALID_HANDLE_VALUE) return false;
        PHIDP_PREPARSED_DATA data = nullptr;
        bool ok = false;
        if (HidD_GetPreparsedData(info, &data)) {
            HIDP_CAPS caps{};
            if (HidP_GetCaps(data, &caps) == HIDP_STATUS_SUCCESS) {
                m_caps.inputLength = caps.InputReportByteLength;
                m_caps.outputLength = caps.OutputReportByteLength;
                ok = true;
            }
            HidD_FreePreparsedData(data);
        }
        CloseHandle(info);
        if (!ok) return false;
        m_write = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        m_read = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED, nullptr);
        m_event = CreateEventW(nullptr, FALSE, TRUE, nullptr);
        return true;
    }

    HidCaps Caps() const override { return m_caps; }
    bool CanWrite() const override { return m_write != INVALID_HANDLE_VALUE; }
    bool CanRead() const override { return m_read != INVALID_HANDLE_VALUE && m_event; }

    bool SetOutputReport(const unsigned char* report, unsigned length) override {
        if (!CanWrite()) return false;
        return HidD_SetOutputReport(m_write, const_cast<unsigned char*>(report), length) != FALSE;
    }

    HidRead ReadInput(unsigned char* buffer, unsigned length, unsigned timeoutMs, unsigned* got,
                      unsigned long* error) override {
        *got = 0;
        *error = 0;
        if (!CanRead()) { *error = ERROR_INVALID_HANDLE; return HidRead::Failed; }
        // The read lands in our own buffer, which outlives any cancelled read.
        m_buffer.assign(m_caps.inputLength ? m_caps.inputLength : length, 0);
        OVERLAPPED ov{};
        ov.hEvent = m_event;
        ResetEvent(m_event);
        DWORD n = 0;
        if (!ReadFile(m_read, m_buffer.data(), static_cast<DWORD>(m_buffer.size()), &n, &ov)) {
            const DWORD e = GetLastError();
            if (e != ERROR_IO_PENDING) { *error = e; return HidRead::Failed; }
        }
        if (WaitForSingleObject(m_event, timeoutMs) != WAIT_OBJECT_0) {
            CancelIo(m_read);
            GetOverlappedResult(m_read, &ov, &n, TRUE);  // wait for the cancelled read to finish
            return HidRead::Timeout;
        }
        if (!GetOverlappedResult(m_read, &ov, &n, FALSE)) { *error = GetLastError(); return HidRead::Failed; }
        const unsigned copy = n < length ? n : length;
        std::copy(m_buffer.begin(), m_buffer.begin() + copy, buffer);
        *got = copy;
        return HidRead::Ok;
    }

    void FlushInput() override {
        if (m_read != INVALID_HANDLE_VALUE) HidD_FlushQueue(m_read);
    }

private:
    HidCaps m_caps;
    HANDLE m_write = INVALID_HANDLE_VALUE;
    HANDLE m_read = INVALID_HANDLE_VALUE;
    HANDLE m_event = nullptr;
    std::vector<unsigned char> m_buffer;
};

class Win32HidBackend : public IHidBackend {
public:
    std::vector<std::wstring> EnumerateInterfaces() override {
        std::vector<std::wstring> paths;
        GUID hid{};
        HidD_GetHidGuid(&hid);
        HDEVINFO set = SetupDiGetClassDevsW(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE) return paths;
        for (DWORD member = 0;; ++member) {
            SP_DEVICE_INTERFACE_DATA data{};
            data.cbSize = sizeof data;
            if (!SetupDiEnumDeviceInterfaces(set, nullptr, &hid, member, &data)) break;
            DWORD size = 0;
            SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &size, nullptr);
            if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
            std::vector<unsigned char> buffer(size);
            auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
            if (SetupDiGetDeviceInterfaceDetailW(set, &data, detail, size, nullptr, nullptr))
                paths.emplace_back(detail->DevicePath);
        }
        SetupDiDestroyDeviceInfoList(set);
        return paths;
    }

    std::unique_ptr<IHidHandle> Open(const std::wstring& path) override {
        auto handle = std::make_unique<Win32HidHandle>();
        if (!handle->Open(path)) return nullptr;
        return handle;
    }

    void Sleep(unsigned ms) override { ::Sleep(ms); }
    unsigned long NowMs() override { return GetTickCount(); }
};

std::mutex g_backendLock;
std::shared_ptr<IHidBackend> g_backend;

} // namespace

std::shared_ptr<IHidBackend> MakeWin32HidBackend() { return std::make_shared<Win32HidBackend>(); }

std::shared_ptr<IHidBackend> CurrentHidBackend() {
    std::lock_guard lock(g_backendLock);
    if (!g_backend) g_backend = MakeWin32HidBackend();
    return g_backend;
}

void SetHidBackend(std::shared_ptr<IHidBackend> backend) {
    std::lock_guard lock(g_backendLock);
    g_backend = std::move(backend);
}

} // namespace vt::aud
