// tessary export-xmodel: write levels of models as the SDK's model source text
// (<level>.XMODEL_EXPORT) with the asset entry that compiles them (<model>.gdt) into the
// working folder's obj folder; with --all, every model of the xmodel folder, ending with a
// summary.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <vector>

#include "cli/BatchExport.h"
#include "cli/CliSupport.h"
#include "cli/NumberCheck.h"
#include "export/ModelExport.h"
#include "platform/Notifier.h"

namespace tessary::cli {

namespace {

struct XModelCommandOptions {
  std::string workdir;
  std::optional<int> lod;
  bool allLevels = false;
  float scale = 1.0f;
  bool all = false;
  unsigned jobs = DefaultJobs();
  std::vector<std::string> models;
};

int RunExportXModel(const XModelCommandOptions& options) {
  Settings settings;  // the stored working folder and paths
  const std::string workdir = ResolveWorkdir(settings, options.workdir);
  ExportOne exportOne = [&](const std::string& name, FileSet* held, Disk* disk, INotifier& notices) {
    ExportRequest request{workdir, name, options.lod, {}};
    request.scale = options.scale;
    request.disk = disk;
    // One level's files can wait in the batch's set; several levels are placed level by level.
    if (!options.allLevels) request.held = held;
    ExportOutcome outcome = options.allLevels ? ExportXModelAllLevels(request) : ExportXModelFiles(request);
    for (const std::string& note : outcome.notes) notices.ShowMessage("note: " + note);
    return outcome;
  };
  return options.all ? ExportAllModels(workdir, exportOne, options.jobs) : ExportNamedModels(options.models, exportOne);
}

}  // namespace

void RegisterExportXModelCommand(CLI::App& app) {
  auto options = std::make_shared<XModelCommandOptions>();
  auto* cmd = app.add_subcommand(
      "export-xmodel",
      "Write <level>.XMODEL_EXPORT, the model source text of the games' mod tools, and "
      "<model>.gdt, the asset entry that compiles it, into WORKDIR/obj: the skeleton in its "
      "bind pose, every vertex with its bone weights, every surface's faces with per-corner "
      "normals, colours and texture coordinates, and the material names.");
  AddWorkdirOption(*cmd, options->workdir);
  auto* lod = cmd->add_option("--lod", options->lod,
                              "Level of detail to export (its index); default: the first level "
                              "the header names")
                  ->check(CLI::Range(0, 65535));
  auto* allLevels = cmd->add_flag("--all-lods", options->allLevels,
                                  "Export every level the header names; the .gdt names them all as "
                                  "its medium, low and lowest levels, at the header's distances");
  lod->excludes(allLevels);
  cmd->add_option("--scale", options->scale,
                  "Factor applied to every length: 1 (the default) keeps game units (inches)")
      ->check(NumberBetween(kMinScale, kMaxScale));
  auto* all = cmd->add_flag("--all", options->all,
                            "Export every model of WORKDIR/xmodel and print a summary; a model "
                            "that fails is reported and the others are written");
  AddJobsOption(*cmd, options->jobs)->needs(all);
  auto* models = cmd->add_option("MODEL", options->models, "Model header file names in WORKDIR/xmodel");
  all->excludes(models)->excludes(lod);
  cmd->footer(
      "Examples: tessary export-xmodel --workdir ~/cod2raw --all-lods weapon_g36c\n"
      "          tessary export-xmodel --workdir ~/cod4raw --all --jobs 2");
  cmd->callback([options] {
    if (!options->all && options->models.empty())
      throw CLI::ValidationError("MODEL", "give one or more model names, or --all");
    SetCommandStatus(RunExportXModel(*options));
  });
}

}  // namespace tessary::cli
