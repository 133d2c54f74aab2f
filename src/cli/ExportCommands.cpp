// tessary export-obj and export-x: write one level of models into the working folder's obj
// folder, as the desktop program's Export .OBJ and Export .X do; with --all, every model of
// the xmodel folder, ending with a summary.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <vector>

#include "cli/BatchExport.h"
#include "cli/CliSupport.h"
#include "export/ModelExport.h"

namespace tessary::cli {

namespace {

using LevelExporter = ExportOutcome (*)(const ExportRequest& request);

struct ExportOptions {
  std::string workdir;
  std::optional<int> lod;
  bool showExploded = false;
  bool skinned = false;
  bool all = false;
  unsigned jobs = 1;
  std::vector<std::string> models;
};

int RunExport(const ExportOptions& options, LevelExporter exporter) {
  Settings settings;  // the stored working folder and paths
  std::string workdir = ResolveWorkdir(settings, options.workdir);
  ExportOne exportOne = [&](const std::string& name, FileSet* held, Disk* disk, INotifier&) {
    ExportRequest request{workdir, name, options.lod, LoadOptions{options.showExploded}};
    request.skinned = options.skinned;
    request.held = held;
    request.disk = disk;
    return exporter(request);
  };
  return options.all ? ExportAllModels(workdir, exportOne, options.jobs)
                     : ExportNamedModels(options.models, exportOne);
}

void RegisterLevelExport(CLI::App& app, const std::string& name, const std::string& description,
                         const std::string& examples, LevelExporter exporter, bool offerSkinned = false) {
  auto options = std::make_shared<ExportOptions>();
  auto* cmd = app.add_subcommand(name, description);
  AddWorkdirOption(*cmd, options->workdir);
  auto* lod = AddLodOption(*cmd, options->lod,
                           "Level of detail to export (its index); default: the first level "
                           "the header names");
  cmd->add_flag("--show-exploded", options->showExploded,
                "Show destructible parts (as the desktop program's check box; destructible levels only)");
  if (offerSkinned)
    cmd->add_flag("--skinned", options->skinned,
                  "Write the skinned geometry: every vertex moved by its bone's full transform, "
                  "read from the files' real layout (as export-gltf places it)");
  auto* all = cmd->add_flag("--all", options->all,
                            "Export every model of WORKDIR/xmodel at its default level and "
                            "print a summary");
  AddJobsOption(*cmd, options->jobs)->needs(all);
  auto* models = cmd->add_option("MODEL", options->models, "Model header file names in WORKDIR/xmodel");
  all->excludes(models)->excludes(lod);
  cmd->footer(examples);
  cmd->callback([options, exporter] {
    if (!options->all && options->models.empty())
      throw CLI::ValidationError("MODEL", "give one or more model names, or --all");
    SetCommandStatus(RunExport(*options, exporter));
  });
}

}  // namespace

void RegisterExportObjCommand(CLI::App& app) {
  RegisterLevelExport(
      app, "export-obj",
      "Write <level>.obj, <level>.mtl and <model>_tags.txt into WORKDIR/obj, as the desktop "
      "program's Export .OBJ does (version 14 models: no tags listing, levels 0 to 2 only).",
      "Examples: tessary export-obj --workdir ~/cod2raw weapon_g36c\n"
      "          tessary export-obj --workdir ~/cod2raw --all",
      static_cast<LevelExporter>(&ExportObjFiles), true);
}

void RegisterExportXCommand(CLI::App& app) {
  RegisterLevelExport(
      app, "export-x",
      "Write <level>.x (DirectX text) into WORKDIR/obj, as the desktop program's Export .X "
      "does; version 25 models only.",
      "Examples: tessary export-x --workdir ~/cod4raw weapon_dragunov\n"
      "          tessary export-x --workdir ~/cod4raw --all --show-exploded",
      static_cast<LevelExporter>(&ExportXFile));
}

}  // namespace tessary::cli
