// tessary export-obj: writes the OBJ, the MTL and the tags listing of models into the
// working folder's obj folder, as the desktop program's Export .OBJ does; with --all,
// every model of the xmodel folder, ending with a summary.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

#include "cli/CliSupport.h"
#include "cli/ProgressBar.h"
#include "export/ModelExport.h"
#include "model/Model.h"

namespace tessary::cli {

namespace {

struct ExportObjOptions {
  std::string workdir;
  std::optional<int> lod;
  bool showExploded = false;
  bool all = false;
  std::vector<std::string> models;
};

int ExportListed(const std::string& workdir, const ExportObjOptions& options) {
  int status = kExitOk;
  for (const std::string& name : options.models) {
    ExportOutcome outcome = ExportObjFiles(workdir, name, options.lod);
    if (!outcome.ok) {
      PrintError(outcome.error);
      status = kExitFailed;
    }
  }
  return status;
}

int ExportAll(const std::string& workdir) {
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
    ExportOutcome outcome = ExportObjFiles(workdir, name, std::nullopt);
    if (outcome.ok)
      ++written;
    else
      failures.emplace_back(name, outcome.error);
  }
  bar.Clear();
  std::printf("%zu of %zu models written", written, names->size());
  if (!failures.empty()) std::printf(", %zu failed:", failures.size());
  std::printf("\n");
  for (const auto& [name, why] : failures) std::printf("  %s: %s\n", name.c_str(), why.c_str());
  std::fflush(stdout);
  return failures.empty() ? kExitOk : kExitFailed;
}

int RunExportObj(const ExportObjOptions& options) {
  std::string workdir = ResolveWorkdir(options.workdir);
  g_showExploded = options.showExploded ? 1 : 0;
  return options.all ? ExportAll(workdir) : ExportListed(workdir, options);
}

}  // namespace

void RegisterExportObjCommand(CLI::App& app) {
  auto options = std::make_shared<ExportObjOptions>();
  auto* cmd = app.add_subcommand(
      "export-obj",
      "Write <level>.obj, <level>.mtl and <model>_tags.txt into WORKDIR/obj, as the desktop "
      "program's Export .OBJ does (version 14 models: no tags listing, levels 0 to 2 only).");
  cmd->add_option("--workdir", options->workdir,
                  "Working folder (holds xmodel, xmodelsurfs, ...); default: the stored one, "
                  "else the current directory");
  auto* lod = cmd->add_option("--lod", options->lod,
                              "Level of detail to export (its index); default: the first level "
                              "the header names");
  cmd->add_flag("--show-exploded", options->showExploded,
                "Show destructible parts (as the desktop program's check box)");
  auto* all = cmd->add_flag("--all", options->all,
                            "Export every model of WORKDIR/xmodel at its default level and "
                            "print a summary");
  auto* models = cmd->add_option("MODEL", options->models, "Model header file names in WORKDIR/xmodel");
  all->excludes(models)->excludes(lod);
  cmd->footer("Examples: tessary export-obj --workdir ~/cod2raw weapon_g36c\n"
              "          tessary export-obj --workdir ~/cod2raw --all");
  cmd->callback([options] {
    if (!options->all && options->models.empty())
      throw CLI::ValidationError("MODEL", "give one or more model names, or --all");
    SetCommandStatus(RunExportObj(*options));
  });
}

}  // namespace tessary::cli
