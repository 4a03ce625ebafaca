// What a run leaves in its output folder besides pictures: the weights and the selection as CSV.
#pragma once

#include <string>

#include "session_run.h"

namespace sandbox {

// weights.csv (target,point,weight) and selection.csv (target,point,selected), every point; fields
// quoted as RFC 4180 asks. Throws SessionError when a file cannot be written in full.
void WriteCsv(const SessionRun &run, const std::string &folder);

// Makes the output folder and proves a file can be written there, before any event runs.
void PrepareOutputFolder(const std::string &folder);

// A CSV field: as it is, or quoted (quotes doubled) when it holds a comma, quote or line break.
std::string CsvField(const std::string &text);

}  // namespace sandbox
