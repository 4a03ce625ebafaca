// What a run leaves in its output folder besides pictures: the weights and the selection as CSV.
#pragma once

#include <string>

#include "session_run.h"

namespace sandbox {

// weights.csv (target,point,weight) and selection.csv (target,point,selected), every point.
void WriteCsv(const SessionRun &run, const std::string &folder);

}  // namespace sandbox
