#pragma once
// Test data that ends exactly where an inaccessible page begins: a parser that reads one byte past
// the end faults instead of reading on unnoticed.
#include <windows.h>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vt::test {

class GuardedBuffer {
public:
    explicit GuardedBuffer(const std::vector<uint8_t>& data) {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        const size_t page = si.dwPageSize, dataPages = (data.size() + page - 1) / page + 1;
        m_base = static_cast<uint8_t*>(VirtualAlloc(nullptr, (dataPages + 1) * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(m_base + dataPages * page, page, PAGE_NOACCESS, &old);
        m_data = m_base + dataPages * page - data.size();
        if (!data.empty()) std::memcpy(m_data, data.data(), data.size());
    }
    ~GuardedBuffer() { VirtualFree(m_base, 0, MEM_RELEASE); }
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;
    const uint8_t* Data() const { return m_data; }

private:
    uint8_t* m_base = nullptr;
    uint8_t* m_data = nullptr;
};

} // namespace vt::test
