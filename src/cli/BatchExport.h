#pragma once
// What the export commands share: exporting the models named on the command line, or
// every model of the working folder with a progress bar and a closing summary.
#include <functional>
#include <string>
#include <vector>

#include "export/ModelExport.h"
#include "platform/Notifier.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace tessary::cli {

// Exports one model header of the working folder; with `held`, its files are left there
// for the caller to commit (ExportRequest::held); with `disk`, it reads and looks up on
// that disk (ExportRequest::disk). What it has to say beyond the outcome (a note, a
// warning) goes to `notices`: a batch on several threads prints each model's lines in turn.
using ExportOne = std::function<ExportOutcome(const std::string& modelName, FileSet* held, Disk* disk,
                                              INotifier& notices)>;

// Exports `names` in order, printing each failure on standard error.
int ExportNamedModels(const std::vector<std::string>& names, const ExportOne& exportOne);

// Exports every model header of `workdir`/xmodel, then prints how many were written,
// every model that failed with its reason, and the files that a later model of the batch
// wrote again (models whose levels share a name). Messages of the readers go to standard
// error. Up to `jobs` models are exported at once (`exportOne` must then be safe to call
// from several threads), never more threads than models or kMaxJobs; whatever the number,
// the files written, the messages and the summary are those of a run exporting one model
// after the other.
int ExportAllModels(const std::string& workdir, const ExportOne& exportOne, unsigned jobs = 1);

// The most models exported at once: past it more threads only wait on the disk and hold
// more temporary files in the output folder.
inline constexpr unsigned kMaxJobs = 64;

// The number of models exported at once unless the user says otherwise: one per core.
unsigned DefaultJobs();

// Adds --jobs (with --all: how many models at once; a positive whole number, default
// DefaultJobs()) to an export command.
CLI::Option* AddJobsOption(CLI::App& command, unsigned& jobs);

}  // namespace tessary::cli
