#include "SkinFixtures.h"
#include <cstdio>
#include <cstdlib>

namespace vt::test {

namespace {
std::wstring UnixPathAsWindowsPath(const char* v) {
    if (!v || !*v) return L"";
    std::string s = v;
    std::wstring w(s.begin(), s.end());
    if (!w.empty() && w[0] == L'/') w = L"Z:" + w;
    for (auto& c : w) if (c == L'/') c = L'\\';
    if (w.back() != L'\\') w += L'\\';
    return w;
}

std::wstring UnixEnvAsWindowsPath(const char* var) { return UnixPathAsWindowsPath(std::getenv(var)); }

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring n = fd.cFileName;
            if (n == L"." || n == L"..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(dir + n + L"\\");
            else DeleteFileW((dir + n).c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}
} // namespace

ScratchFolder::ScratchFolder() {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    static int counter = 0;
    m_path = std::wstring(tmp) + L"vtskin-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++counter) + L"-" + std::to_wstring(GetTickCount()) + L"\\";
    CreateDirectoryW(m_path.c_str(), nullptr);
    for (const wchar_t* sub : {L"xml", L"skins", L"fonts", L"lang", L"bin"})
        CreateDirectoryW((m_path + sub).c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(m_path); }

void ScratchFolder::Write(const std::wstring& relative, const std::string& bytes) const {
    FILE* f = _wfopen((m_path + relative).c_str(), L"wb");
    if (!f) return;
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

void ScratchFolder::WriteBmp(const std::wstring& relative, int width, int height,
                             const std::function<COLORREF(int, int)>& pixel) const {
    Write(relative, MakeBmp(width, height, pixel));
}

std::string MakeBmp(int width, int height, const std::function<COLORREF(int, int)>& pixel) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t imageSize = uint32_t(stride) * height;
    std::string out(54 + imageSize, '\0');
    auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) out[at + i] = char((v >> (8 * i)) & 0xFF); };
    auto put16 = [&](size_t at, uint16_t v) { out[at] = char(v & 0xFF); out[at + 1] = char(v >> 8); };
    out[0] = 'B'; out[1] = 'M';
    put32(2, uint32_t(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    for (int y = 0; y < height; ++y) {
        size_t row = 54 + size_t(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            COLORREF c = pixel(x, y);
            out[row + x * 3 + 0] = char(GetBValue(c));
            out[row + x * 3 + 1] = char(GetGValue(c));
            out[row + x * 3 + 2] = char(GetRValue(c));
        }
    }
    return out;
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string out;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) out.append(buf, n);
    fclose(f);
    return out;
}

std::wstring ImageDir() { return UnixEnvAsWindowsPath("VT_IMAGE_DIR"); }
std::wstring TestImageDir() { return UnixEnvAsWindowsPath("VT_TEST_IMAGE_DIR"); }

std::wstring TestOutDir() {
    std::wstring d = UnixEnvAsWindowsPath("VT_TEST_OUT");
    if (d.empty()) d = UnixPathAsWindowsPath(VT_TEST_OUT_DEFAULT);
    CreateDirectoryW(d.c_str(), nullptr);
    return d;
}

} // namespace vt::test
