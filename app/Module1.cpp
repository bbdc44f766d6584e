#include "app/Module1.h"

namespace app {

WalkVariables Module1;

} // namespace app
