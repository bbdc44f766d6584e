#include "app/Engine.h"

#include "toolkit/FileList.h"
#include "toolkit/Variant.h"

#include <windows.h>

#include <cstring>

namespace app {
namespace {

// Until the repair engine is linked in: checks that the file is a database that could be repaired
// in place (there, writable, not in use, with the database signature) and changes nothing.
class CheckingEngine : public DatabaseEngine {
public:
    void RepairDatabase(const std::wstring& path) override {
        HANDLE file = CreateFileW(tk::ExtendedPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            tk::ThrowPlatformError(GetLastError());
        char head[32] = {};
        DWORD got = 0;
        const BOOL read = ReadFile(file, head, sizeof head, &got, nullptr);
        CloseHandle(file);
        if (!read || got < 19 || std::memcmp(head + 4, "Standard Jet DB", 15) != 0)
            throw tk::VbError(3343, "Unrecognized database format");
    }
};

} // namespace

std::unique_ptr<DatabaseEngine> NewDatabaseEngine() {
    return std::make_unique<CheckingEngine>();
}

} // namespace app
