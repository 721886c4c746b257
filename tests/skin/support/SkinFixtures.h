#pragma once
// Helpers of the toolkit's tests: a scratch program folder with the skin sub-folders, small BMP and
// text files written into it, and the program folder image of the build.
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vt::test {

// A fresh folder under the system's temporary folder with xml\ skins\ fonts\ lang\ bin\ inside;
// removed with its contents when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return m_path; }   // ends in a backslash
    // Writes bytes to Path() + relative (e.g. L"skins\\a.bmp").
    void Write(const std::wstring& relative, const std::string& bytes) const;
    void WriteBmp(const std::wstring& relative, int width, int height,
                  const std::function<COLORREF(int x, int y)>& pixel) const;
private:
    std::wstring m_path;
};

// Bytes of a 24-bit BMP file.
std::string MakeBmp(int width, int height, const std::function<COLORREF(int x, int y)>& pixel);
// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
// The build's program folder image (VT_IMAGE_DIR as a Windows path, ending in a backslash).
std::wstring ImageDir();
// The tests' program folder (VT_TEST_IMAGE_DIR): the image's data plus the test pages and their bitmaps.
std::wstring TestImageDir();
// Folder for files a person may look at after a run (VT_TEST_OUT), ending in a backslash.
std::wstring TestOutDir();

} // namespace vt::test
