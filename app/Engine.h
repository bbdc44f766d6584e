// The program's database engine behind the run's interface.
#pragma once

#include "app/MaintenanceRun.h"

#include <memory>

namespace app {

// Throws when the engine cannot be made.
std::unique_ptr<DatabaseEngine> NewDatabaseEngine();

} // namespace app
