// tessary export-x: writes the DirectX text file of version 25 models into the working
// folder's obj folder, as the desktop program's Export .X does; with --all, every model
// of the xmodel folder, ending with a summary.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <vector>

#include "cli/BatchExport.h"
#include "cli/CliSupport.h"
#include "export/ModelExport.h"
#include "model/Model.h"

namespace tessary::cli {

namespace {

struct ExportXOptions {
  std::string workdir;
  std::optional<int> lod;
  bool showExploded = false;
  bool all = false;
  std::vector<std::string> models;
};

int RunExportX(const ExportXOptions& options) {
  std::string workdir = ResolveWorkdir(options.workdir);
  g_showExploded = options.showExploded ? 1 : 0;
  ExportOne exportOne = [&](const std::string& name) {
    return ExportXFile(workdir, name, options.lod);
  };
  return options.all ? ExportAllModels(workdir, exportOne)
                     : ExportNamedModels(options.models, exportOne);
}

}  // namespace

void RegisterExportXCommand(CLI::App& app) {
  auto options = std::make_shared<ExportXOptions>();
  auto* cmd = app.add_subcommand(
      "export-x",
      "Write <level>.x (DirectX text) into WORKDIR/obj, as the desktop program's Export .X "
      "does; version 25 models only.");
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
  cmd->footer("Examples: tessary export-x --workdir ~/cod4raw weapon_dragunov\n"
              "          tessary export-x --workdir ~/cod4raw --all --show-exploded");
  cmd->callback([options] {
    if (!options->all && options->models.empty())
      throw CLI::ValidationError("MODEL", "give one or more model names, or --all");
    SetCommandStatus(RunExportX(*options));
  });
}

}  // namespace tessary::cli
