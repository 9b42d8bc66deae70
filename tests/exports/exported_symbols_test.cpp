// A host binds the engine by name: every function the public header declares must be exported by
// the shared library, and nothing else may be.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

namespace {

std::set<std::string> declared_in_header() {
    std::set<std::string> names;
    // Declarations are one per line, starting with VLM_API.
    const std::regex declaration(R"(^VLM_API\s+[^;(]*?\b(\w+)\s*\()");
    for (const auto& entry : std::filesystem::directory_iterator(VLM_INCLUDE_DIR "/velmora")) {
        std::ifstream in(entry.path());
        std::string line;
        std::smatch m;
        while (std::getline(in, line))
            if (std::regex_search(line, m, declaration)) names.insert(m[1]);
    }
    return names;
}

std::set<std::string> exported_by_library() {
    std::set<std::string> names;
    FILE* p = popen("nm -D --defined-only '" VLM_LIBRARY_PATH "'", "r");
    if (!p) return names;
    char line[1024];
    while (fgets(line, sizeof line, p)) {
        char type = 0;
        char name[1000];
        unsigned long long address = 0;
        if (sscanf(line, "%llx %c %999s", &address, &type, name) != 3) continue;
        if (type == 'T' || type == 'D' || type == 'B' || type == 'W' || type == 'V' || type == 'R' || type == 'i' ||
            type == 'u')
            names.insert(name);
    }
    pclose(p);
    return names;
}

TEST(ExportedSymbols, LibraryExportsExactlyTheHeader) {
    const auto declared = declared_in_header();
    const auto exported = exported_by_library();
    ASSERT_FALSE(declared.empty());
    for (const auto& name : declared) EXPECT_TRUE(exported.count(name)) << "declared, not exported: " << name;
    for (const auto& name : exported) EXPECT_TRUE(declared.count(name)) << "exported, not declared: " << name;
}

TEST(ExportedSymbols, HostBindsByNameWithDlopen) {
    void* lib = dlopen(VLM_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    for (const auto& name : declared_in_header()) EXPECT_NE(dlsym(lib, name.c_str()), nullptr) << name;

    using Create = void (*)(void*, int, int, int, int);
    using Delete = void (*)();
    using GetError = const char* (*)();
    using SetError = void (*)(const char*);
    using SetViewSize = int (*)(int, int);
    auto create = reinterpret_cast<Create>(dlsym(lib, "VLM_CreateImage"));
    auto destroy = reinterpret_cast<Delete>(dlsym(lib, "VLM_DeleteImage"));
    auto get_error = reinterpret_cast<GetError>(dlsym(lib, "VLM_GetLastError"));
    auto set_error = reinterpret_cast<SetError>(dlsym(lib, "VLM_SetLastError"));
    auto view = reinterpret_cast<SetViewSize>(dlsym(lib, "VLM_SetViewSize"));
    ASSERT_TRUE(create && destroy && get_error && set_error && view);
    create(nullptr, 32, 32, 8, 0);
    EXPECT_EQ(view(320, 200), 320);
    EXPECT_STREQ(get_error(), "");
    set_error("from the host");
    EXPECT_STREQ(get_error(), "from the host");
    destroy();
    destroy();
    dlclose(lib);
}

} // namespace
