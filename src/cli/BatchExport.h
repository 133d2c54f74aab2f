#pragma once
// What the export commands share: exporting the models named on the command line, or
// every model of the working folder with a progress bar and a closing summary.
#include <functional>
#include <string>
#include <vector>

#include "export/ModelExport.h"

namespace tessary::cli {

// Exports one model header of the working folder; with `held`, its files are left there
// for the caller to commit (ExportRequest::held).
using ExportOne = std::function<ExportOutcome(const std::string& modelName, FileSet* held)>;

// Exports `names` in order, printing each failure on standard error.
int ExportNamedModels(const std::vector<std::string>& names, const ExportOne& exportOne);

// Exports every model header of `workdir`/xmodel, then prints how many were written and
// every model that failed with its reason. Messages of the readers go to standard error.
// `jobs` models are exported at once (`exportOne` must then be safe to call from several
// threads); whatever the number, the files written, the messages and the summary are
// those of a run exporting one model after the other.
int ExportAllModels(const std::string& workdir, const ExportOne& exportOne, unsigned jobs = 1);

// The number of models exported at once unless the user says otherwise: one per core.
unsigned DefaultJobs();

}  // namespace tessary::cli
