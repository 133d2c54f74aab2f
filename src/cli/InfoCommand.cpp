// tessary info: prints the model tree the desktop program shows for a model.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/Disk.h"
#include "cli/CliSupport.h"
#include "cli/TreePrinter.h"
#include "model/ShowModelTree.h"
#include "platform/Path.h"

namespace tessary::cli {

namespace {

struct InfoOptions {
  std::string workdir;
  bool json = false;
  std::string model;
};

int RunInfo(const InfoOptions& options) {
  Settings settings;  // the stored working folder and paths
  std::string workdir = ResolveWorkdir(settings, options.workdir);
  std::string header = ModelFolder(workdir) + "\\" + options.model;
  Disk disk;
  auto version = ReadModelVersion(disk, header);
  if (!version) {
    PrintError("cannot open the model header " + ToNativeSeparators(header));
    return kExitFailed;
  }
  ModelTree tree;
  std::vector<std::string> messages;
  const std::string whyEmpty = ShowModelTree(disk, tree, workdir, options.model, *version, messages);
  for (const std::string& message : messages) PrintError(message);
  std::string out = options.json ? TreeToJson(*tree.Root()) : TreeToText(*tree.Root());
  std::fwrite(out.data(), 1, out.size(), stdout);
  // The root and its two groups alone are printed as the form shows them, and why.
  if (!whyEmpty.empty()) {
    PrintError(whyEmpty);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

void RegisterInfoCommand(CLI::App& app) {
  auto options = std::make_shared<InfoOptions>();
  auto* cmd = app.add_subcommand("info", "Print the model tree: levels of detail, materials, "
                                         "images and the parts file, each marked present or missing.");
  AddWorkdirOption(*cmd, options->workdir);
  cmd->add_flag("--json", options->json, "Print the tree as JSON");
  cmd->add_option("MODEL", options->model, "Model header file name in WORKDIR/xmodel")->required();
  cmd->footer("Example: tessary info --workdir ~/cod2raw weapon_g36c");
  cmd->callback([options] { SetCommandStatus(RunInfo(*options)); });
}

}  // namespace tessary::cli
