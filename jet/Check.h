// The checker over an open file; shared by the check and by the repair (which runs it on the
// original and again on the fixed copy).
#pragma once

#include "File.h"
#include "Jet.h"

namespace jet {

// Fills report.findings / totalFindings / jetVersion / pages / tables / notes. Returns
// ErrorCode::none when the file could be examined, else the reason it was refused (with
// report.message set).
ErrorCode checkOpenFile(const File& file, const Options& options, Report& report);

} // namespace jet
