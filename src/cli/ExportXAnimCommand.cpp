// tessary export-xanim: write animations as the SDK's source files (XANIM_EXPORT) with
// their .gdt entries, and the model they were laid onto as an XMODEL_EXPORT beside them, so
// that the games' own tools compile them again.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliSupport.h"
#include "export/ModelExport.h"

namespace tessary::cli {

namespace {

struct XAnimCommandOptions {
  std::string workdir;
  std::string model;
  std::string withModel;
  std::optional<int> lod;
  std::vector<std::string> animations;
};

int RunExportXAnim(const XAnimCommandOptions& options) {
  Settings settings;  // the stored working folder and paths
  const std::string workdir = ResolveWorkdir(settings, options.workdir);
  int status = kExitOk;
  bool modelWritten = false;
  // Each animation is a set of its own; the model's file comes with the first one written.
  for (const std::string& animation : options.animations) {
    ExportRequest request{workdir, options.model, options.lod, {}};
    request.animations = {animation};
    request.withModel = options.withModel;
    const ExportOutcome outcome = ExportXAnimFiles(request, !modelWritten);
    for (const std::string& warning : outcome.warnings) PrintError("warning: " + warning);
    for (const std::string& note : outcome.notes) PrintError("note: " + note);
    if (!outcome.ok) {
      PrintError(outcome.error);
      status = kExitFailed;
      continue;
    }
    modelWritten = true;
  }
  return status;
}

}  // namespace

void RegisterExportXAnimCommand(CLI::App& app) {
  auto options = std::make_shared<XAnimCommandOptions>();
  auto* cmd = app.add_subcommand(
      "export-xanim",
      "Write each animation as the SDK's source, <xanim>.XANIM_EXPORT (every bone's place in "
      "world space per frame, and the notetracks), with its entry <xanim>.gdt, into "
      "WORKDIR/obj, and the model it is laid onto as <level>.XMODEL_EXPORT beside them.");
  AddWorkdirOption(*cmd, options->workdir);
  cmd->add_option("--model", options->model, "The model header (in WORKDIR/xmodel) whose skeleton the animations move")
      ->required();
  cmd->add_option("--with", options->withModel,
                  "A second model joined to the first (a viewmodel's weapon with its arms), as "
                  "export-gltf --with joins it; the model file is then <level>_<level2>.XMODEL_EXPORT");
  cmd->add_option("--lod", options->lod, "Level of detail of --model (its index); default: the first level "
                                         "the header names");
  cmd->add_option("XANIM", options->animations,
                  "Animation files: names in WORKDIR/xanim (any case) or paths")
      ->required();
  cmd->footer(
      "Examples: tessary export-xanim --workdir ~/cod4raw --model viewhands_usmc --with viewmodel_m16 \\\n"
      "                               viewmodel_m16_idle viewmodel_m16_ads_up\n"
      "          tessary export-xanim --workdir ~/cod4raw --model defaultactor unarmed_walk_slow");
  cmd->callback([options] { SetCommandStatus(RunExportXAnim(*options)); });
}

}  // namespace tessary::cli
