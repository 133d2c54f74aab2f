#include "cli/BatchExport.h"

#include <cstdio>
#include <unistd.h>

#include "cli/CliSupport.h"
#include "cli/ProgressBar.h"
#include "platform/PrintableText.h"

namespace tessary::cli {

int ExportNamedModels(const std::vector<std::string>& names, const ExportOne& exportOne) {
  int status = kExitOk;
  for (const std::string& name : names) {
    ExportOutcome outcome = exportOne(name);
    if (!outcome.ok) {
      PrintError(outcome.error);
      status = kExitFailed;
    }
  }
  return status;
}

int ExportAllModels(const std::string& workdir, const ExportOne& exportOne) {
  auto names = ListModelHeaders(workdir);
  if (!names) {
    PrintError("cannot list the model headers in " + workdir + "/xmodel");
    return kExitFailed;
  }
  // One check for the whole batch: without an output folder no model can be written.
  if (std::string problem = CheckOutputFolder(workdir); !problem.empty()) {
    PrintError(problem);
    return kExitFailed;
  }
  ProgressBar bar(names->size(), isatty(STDERR_FILENO) != 0);
  StderrNotifier stderrNotifier;
  ProgressNotifier notifier(stderrNotifier, bar);
  ScopedNotifier scoped(notifier);

  size_t written = 0;
  std::vector<std::pair<std::string, std::string>> failures;
  for (size_t i = 0; i < names->size(); ++i) {
    const std::string& name = (*names)[i];
    bar.Update(i, name);
    ExportOutcome outcome = exportOne(name);
    if (outcome.ok)
      ++written;
    else
      failures.emplace_back(name, outcome.error);
  }
  bar.Clear();
  std::printf("%zu of %zu models written", written, names->size());
  if (!failures.empty()) std::printf(", %zu failed:", failures.size());
  std::printf("\n");
  for (const auto& [name, why] : failures)
    std::printf("  %s: %s\n", PrintableText(name).c_str(), PrintableText(why).c_str());
  std::fflush(stdout);
  return failures.empty() ? kExitOk : kExitFailed;
}

}  // namespace tessary::cli
