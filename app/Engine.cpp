#include "app/Engine.h"

#include "toolkit/FileList.h"
#include "toolkit/Variant.h"

#include <windows.h>

#include <cstring>

#ifdef HAVE_JET
#include "jet/DBEngine.h"
#endif

namespace app {
namespace {

#ifdef HAVE_JET
class JetEngine : public DatabaseEngine {
public:
    void RepairDatabase(const std::wstring& path) override {
        try {
            // The extended form keeps paths longer than MAX_PATH working.
            engine_.RepairDatabase(std::filesystem::path(tk::ExtendedPath(path)));
        } catch (const jet::RepairError& e) {
            throw tk::VbError(3049, e.what());
        }
    }

private:
    jet::DBEngine engine_;
};
#else

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
#endif

} // namespace

std::unique_ptr<DatabaseEngine> NewDatabaseEngine() {
#ifdef HAVE_JET
    return std::make_unique<JetEngine>();
#else
    return std::make_unique<CheckingEngine>();
#endif
}

} // namespace app
