// libFuzzer entry: every input is written to a file and checked, then repaired. Crashes and
// sanitizer reports are the failures; anything the engine says about the bytes is fine.
#include "jet/Jet.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("jet-fuzz-" + std::to_string(getpid()) + ".mdb");
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    jet::checkDatabase(path);
    jet::repairDatabase(path);
    return 0;
}
