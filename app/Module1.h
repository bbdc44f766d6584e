// The maintenance run's walk variables. They outlive the tick that fills them; nothing reads them
// after the run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace app {

// A folder as the file-system object delivers it.
class Folder {
public:
    virtual ~Folder() = default;
    virtual std::wstring Name() const = 0; // without path
    // The direct sub folders, in the platform's order; throws when they cannot be enumerated.
    virtual std::vector<std::shared_ptr<Folder>> SubFolders() const = 0;
};
using FolderPtr = std::shared_ptr<Folder>;

struct WalkVariables {
    FolderPtr RootFolder;
    FolderPtr CompanyFolder;         // as the root's enumeration delivered it
    FolderPtr CompanyFolderReopened; // the same company opened again by path
    FolderPtr SubFolder;             // as the reopened company's enumeration delivered it
    std::int16_t FileIndex = 0;      // 0-based
};

extern WalkVariables Module1;

} // namespace app
