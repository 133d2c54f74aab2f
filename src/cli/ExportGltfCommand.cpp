// tessary export-gltf: write one level of models as binary glTF (.glb) into the working
// folder's obj folder, with the skeleton, the skin weights and the textures; with --all,
// every model of the xmodel folder, ending with a summary.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "cli/BatchExport.h"
#include "cli/CliSupport.h"
#include "cli/NumberCheck.h"
#include "export/ModelExport.h"

namespace tessary::cli {

namespace {

// Scales a glTF reader can use: from micrometres per game unit to a million times the
// game's size. Within them every length of a model (less than 1e32) stays finite.

struct GltfCommandOptions {
  std::string workdir;
  std::optional<int> lod;
  bool showExploded = false;
  float scale = 1.0f;
  bool all = false;
  unsigned jobs = 1;
  std::vector<std::string> models;
  std::vector<std::string> animations;
  std::string withModel;
  bool noRootMotion = false;
};

int RunExportGltf(const GltfCommandOptions& options) {
  Settings settings;  // the stored working folder and paths
  const std::string workdir = ResolveWorkdir(settings, options.workdir);
  ExportOne exportOne = [&](const std::string& name, FileSet* held, Disk* disk, INotifier& notices) {
    ExportRequest request{workdir, name, options.lod, LoadOptions{options.showExploded}};
    request.scale = options.scale;
    request.held = held;
    request.disk = disk;
    request.animations = options.animations;
    request.withModel = options.withModel;
    request.rootMotion = !options.noRootMotion;
    const ExportOutcome outcome = ExportGltfFile(request);
    for (const std::string& warning : outcome.warnings) notices.ShowMessage("warning: " + warning);
    for (const std::string& note : outcome.notes) notices.ShowMessage("note: " + note);
    return outcome;
  };
  return options.all ? ExportAllModels(workdir, exportOne, options.jobs)
                     : ExportNamedModels(options.models, exportOne);
}

}  // namespace

void RegisterExportGltfCommand(CLI::App& app) {
  auto options = std::make_shared<GltfCommandOptions>();
  auto* cmd = app.add_subcommand(
      "export-gltf",
      "Write <level>.glb (binary glTF 2.0) into WORKDIR/obj: the skeleton with its bone "
      "rotations, the skinned mesh with up to four bone weights per vertex, and the colour "
      "images embedded as PNG. Z-up game space becomes glTF's Y-up on a node named after the "
      "model.");
  AddWorkdirOption(*cmd, options->workdir);
  auto* lod = AddLodOption(*cmd, options->lod,
                           "Level of detail to export (its index); default: the first level "
                           "the header names");
  cmd->add_flag("--show-exploded", options->showExploded,
                "Accepted as by the other exports; the skinned geometry always places each "
                "piece at its bone");
  cmd->add_option("--scale", options->scale,
                  "Factor applied to every length: 1 (the default) keeps game units (inches), "
                  "0.0254 gives metres")
      ->check(NumberBetween(kMinScale, kMaxScale));
  auto* all = cmd->add_flag("--all", options->all,
                            "Export every model of WORKDIR/xmodel at its default level and "
                            "print a summary");
  AddJobsOption(*cmd, options->jobs)->needs(all);
  auto* anim = cmd->add_option("--anim", options->animations,
                               "Animation files (names in WORKDIR/xanim, any case, or paths): one glTF "
                               "animation each, on the bones of the same names")
                   ->expected(1, -1);
  cmd->add_flag("--no-root-motion", options->noRootMotion,
                "Leave tag_origin in place instead of moving it by an animation's root motion");
  auto* with = cmd->add_option("--with", options->withModel,
                               "A second model joined into the file (a viewmodel's weapon with its "
                               "arms): its root bones hang from the first model's bones of the same "
                               "names, else from its tag_weapon, else from its root");
  auto* models = cmd->add_option("MODEL", options->models, "Model header file names in WORKDIR/xmodel");
  all->excludes(models)->excludes(lod)->excludes(anim)->excludes(with);
  cmd->footer(
      "Examples: tessary export-gltf --workdir ~/cod2raw zk_vm_stormtrooper\n"
      "          tessary export-gltf --workdir ~/cod4raw --scale 0.0254 --all\n"
      "          tessary export-gltf --workdir ~/cod2raw zk_vm_stormtrooper --with viewmodel_g3 \\\n"
      "                              --anim hoek_cross_reload hoek_cross_idle");
  cmd->callback([options] {
    if (!options->all && options->models.empty())
      throw CLI::ValidationError("MODEL", "give one or more model names, or --all");
    SetCommandStatus(RunExportGltf(*options));
  });
}

}  // namespace tessary::cli
