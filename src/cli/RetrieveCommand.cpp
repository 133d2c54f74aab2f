// tessary retrieve: fetches a model's missing files from the game (the fourth game's raw
// folder, or the games' archives) and prints the refreshed model tree.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/Disk.h"
#include "cli/CliSupport.h"
#include "cli/TreePrinter.h"
#include "model/ShowModelTree.h"
#include "platform/Path.h"
#include "workspace/Retrieval.h"

namespace tessary::cli {

namespace {

struct RetrieveOptions {
  std::string workdir;
  bool all = false;
  uint64_t maxEntryMiB = 256;
  std::string model;
  std::vector<std::string> items;
};

// The item named `text`: the first missing one in tree order, else the first at all.
TreeItem* FindItem(TreeItem& root, const std::string& text) {
  TreeItem* first = nullptr;
  TreeItem* missing = nullptr;
  VisitPreOrder(root, [&](TreeItem& item) {
    if (item.text != text) return;
    if (!first) first = &item;
    if (!missing && item.image == kImageMissing) missing = &item;
  });
  return missing ? missing : first;
}

bool AnyMissing(TreeItem& root, const std::string* text) {
  bool found = false;
  VisitPreOrder(root, [&](TreeItem& item) {
    if (item.image == kImageMissing && (!text || item.text == *text)) found = true;
  });
  return found;
}

int RunRetrieve(const RetrieveOptions& options) {
  Settings settings;  // the stored working folder and paths
  auto workspace = OpenWorkspace(settings, options.workdir);
  std::string header = ModelFolder(workspace->workingFolder) + "\\" + options.model;
  Disk headerDisk;
  auto version = ReadModelVersion(headerDisk, header);
  if (!version) {
    PrintError("cannot open the model header " + ToNativeSeparators(header));
    return kExitFailed;
  }
  ModelTree tree;
  StderrNotifier notifier;
  Retrieval retrieval(*workspace, notifier);
  retrieval.extractLimits.maxEntryBytes = options.maxEntryMiB << 20;
  retrieval.reloadModel = [&] {
    Disk disk;  // each reload sees what the retrieval fetched
    retrieval.modelVersion = ReadModelVersion(disk, header).value_or(0);
    std::vector<std::string> messages;
    ShowModelTree(disk, tree, workspace->workingFolder, options.model, retrieval.modelVersion, messages);
    for (const std::string& message : messages) retrieval.Notices().ShowMessage(message);
  };
  retrieval.reloadModel();

  int status = kExitOk;
  if (options.all) {
    // The desktop program runs the second pass a second later from a timer.
    while (retrieval.RetrieveAllFiles(tree) == Retrieval::Pass::SecondPassDue) {
    }
    if (AnyMissing(*tree.Root(), nullptr)) status = kExitFailed;
  } else {
    for (const auto& name : options.items) {
      TreeItem* item = FindItem(*tree.Root(), name);
      if (!item) {
        PrintError("the tree of " + options.model + " has no item " + name);
        status = kExitFailed;
        continue;
      }
      retrieval.RetrieveFile(*item);
      if (AnyMissing(*tree.Root(), &name)) status = kExitFailed;
    }
  }
  std::string out = TreeToText(*tree.Root());
  std::fwrite(out.data(), 1, out.size(), stdout);
  return status;
}

}  // namespace

void RegisterRetrieveCommand(CLI::App& app) {
  auto options = std::make_shared<RetrieveOptions>();
  auto* cmd = app.add_subcommand(
      "retrieve",
      "Fetch a model's missing files: for a version 25 model first from the fourth game's raw "
      "folder, otherwise from the game's main/iw_*.iwd archives (with WinRAR when its path is "
      "set, else the built-in extractor), converting fetched IWI images to DDS. Prints the "
      "refreshed model tree; exit status 1 when something asked for is still missing.");
  AddWorkdirOption(*cmd, options->workdir);
  cmd->add_flag("--all", options->all,
                "Fetch every missing file, in two passes (the second fetches the images of "
                "materials the first one brought in)");
  cmd->add_option("--max-entry-size", options->maxEntryMiB,
                  "Largest file the built-in extractor writes, in MiB (default 256; the games' "
                  "files are a few MiB); larger archive entries are skipped and reported")
      ->check(CLI::Range(1, 1 << 20));
  cmd->add_option("MODEL", options->model, "Model header file name in WORKDIR/xmodel")->required();
  cmd->add_option("ITEM", options->items, "Names of missing items of the model tree to fetch");
  cmd->footer("Examples: tessary retrieve --all weapon_g36c\n"
              "          tessary retrieve viewmodel_g3 weapon_g3_col.iwi\n"
              "Set the game folders and WinRAR with 'tessary paths'.");
  cmd->callback([options] {
    if (options->all == !options->items.empty())
      throw CLI::ValidationError("ITEM", "give either --all or the names of the items to fetch");
    SetCommandStatus(RunRetrieve(*options));
  });
}

}  // namespace tessary::cli
