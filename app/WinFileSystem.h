// The file-system object on the W APIs: folders opened by path (also longer than MAX_PATH) and their
// sub folders enumerated with the names the platform delivers.
#pragma once

#include "app/MaintenanceRun.h"

namespace app {

class WinFileSystem : public FileSystem {
public:
    FolderPtr GetFolder(const std::wstring& path) override;
};

} // namespace app
