// tessary tags: writes a model's tags listing into the working folder's obj folder.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/CliSupport.h"
#include "export/ModelExport.h"

namespace tessary::cli {

namespace {

struct TagsOptions {
  std::string workdir;
  std::string model;
};

int RunTags(const TagsOptions& options) {
  Settings settings;  // the stored working folder and paths
  ExportOutcome outcome = ExportTagsFile(ResolveWorkdir(settings, options.workdir), options.model);
  // What the reading brought up comes first, as the other exports print it.
  for (const std::string& message : outcome.messages) PrintError(message);
  if (!outcome.ok) {
    PrintError(outcome.error);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

void RegisterTagsCommand(CLI::App& app) {
  auto options = std::make_shared<TagsOptions>();
  auto* cmd = app.add_subcommand(
      "tags", "Write <model>_tags.txt into WORKDIR/obj: the model's tags with their positions "
              "and parents, and their hierarchy (16-bit text, view it with a fixed-pitch font).");
  AddWorkdirOption(*cmd, options->workdir);
  cmd->add_option("MODEL", options->model, "Model header file name in WORKDIR/xmodel")->required();
  cmd->footer("Example: tessary tags --workdir ~/cod2raw weapon_g36c");
  cmd->callback([options] { SetCommandStatus(RunTags(*options)); });
}

}  // namespace tessary::cli
