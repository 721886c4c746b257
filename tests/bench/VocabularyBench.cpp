// Per-call costs of the tables every page and every shown text go through: control names to ids
// (once per page element), language lookups (once per shown text), and the parses of the language
// and keyboard definition files (once per run). Usage: vocab_bench [repetitions]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/KeyTable.h"
#include "skin/LangTable.h"
#include "skin/Vocabulary.h"

using namespace vt::skin;

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(frequency.QuadPart);
}

template <typename F>
double MedianSeconds(int repetitions, F&& run) {
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        double start = Now();
        run();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::vector<uint8_t> ReadImageFile(const wchar_t* relative) {
    const char* dir = std::getenv("VT_IMAGE_DIR");
    std::wstring path = L".";
    if (dir && *dir) path.assign(dir, dir + strlen(dir));
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (auto& c : path) if (c == L'/') c = L'\\';
    path += L"\\";
    path += relative;
    std::vector<uint8_t> data;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        uint8_t chunk[4096];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) data.insert(data.end(), chunk, chunk + n);
        fclose(f);
    }
    return data;
}

} // namespace

int main(int argc, char** argv) {
    int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 21;
    volatile int64_t sink = 0;

    double build = MedianSeconds(repetitions, [] { BuildVocabularyTables(); });
    std::vector<std::wstring> names;
    for (const auto& [id, name] : VocabularyTable(Vocab::Controls)) names.push_back(name);
    for (auto& n : names) std::transform(n.begin(), n.end(), n.begin(), ::towlower);
    double findAll = MedianSeconds(repetitions, [&] {
        for (const auto& n : names) sink += FindControlIdByName(n);
    });
    double findLast = MedianSeconds(repetitions, [&] {
        for (int i = 0; i < 100; ++i) sink += FindControlIdByName(L"text_eq_enableequalizer");
    });
    double findMissing = MedianSeconds(repetitions, [&] {
        for (int i = 0; i < 100; ++i) sink += FindControlIdByName(L"NO_SUCH_CONTROL_NAME");
    });

    std::vector<uint8_t> english = ReadImageFile(L"lang\\English.txt");
    std::vector<uint8_t> definition = ReadImageFile(L"bin\\KeyboardDef.bin");
    if (english.empty() || definition.empty()) {
        std::printf("vocab_bench: shipped files not found under VT_IMAGE_DIR\n");
        return 1;
    }
    double parseLanguage = MedianSeconds(repetitions, [&] {
        CLangTable t;
        LoadLanguageText(english.data(), int64_t(english.size()), t);
        sink += t.m_pairCount;
    });
    CLangTable table;
    LoadLanguageText(english.data(), int64_t(english.size()), table);
    std::vector<std::wstring> asked;
    for (const auto& [key, value] : table.m_texts) {
        std::wstring a = L"$";
        for (wchar_t c : key) if (c != L' ') a += c;
        asked.push_back(a);
    }
    std::wstring out;
    double resolveAll = MedianSeconds(repetitions, [&] {
        for (const auto& a : asked) sink += ResolveText(&table, a, out);
    });
    double parseDefinition = MedianSeconds(repetitions, [&] {
        vt::base::KeyTable def;
        vt::base::ParseKeyDefinitions(definition.data(), int64_t(definition.size()), def);
        sink += int64_t(def.m_allKeys.size());
    });

    std::printf("vocabulary: %zu control names, %d repetitions (medians)\n", names.size(), repetitions);
    std::printf("  fill all tables (again)           %8.3f ms\n", build * 1e3);
    std::printf("  control name -> id, average       %8.3f us  (all %zu names, lower case)\n",
                findAll * 1e6 / double(names.size()), names.size());
    std::printf("  control name -> id, last row      %8.3f us\n", findLast * 1e6 / 100);
    std::printf("  control name -> id, no row        %8.3f us\n", findMissing * 1e6 / 100);
    std::printf("language: English.txt, %zu bytes, %d pairs\n", english.size(), table.m_pairCount);
    std::printf("  parse the language file           %8.3f ms\n", parseLanguage * 1e3);
    std::printf("  \"$\" key -> text, average          %8.3f us\n", resolveAll * 1e6 / double(asked.size()));
    std::printf("keyboard definition: KeyboardDef.bin, %zu bytes\n", definition.size());
    std::printf("  parse the definition              %8.3f ms\n", parseDefinition * 1e3);
    return sink == -1 ? 2 : 0;
}
