// tessary convert: turns IWI images into DDS files beside them.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/Disk.h"
#include "cli/CliSupport.h"
#include "platform/Path.h"
#include "workspace/IwiConverter.h"
#include "workspace/TextureConversion.h"

namespace tessary::cli {

namespace {

struct ConvertOptions {
  std::string workdir;
  std::vector<std::string> images;
};

// A name without a folder lies in the working folder's images folder; anything else is
// a path.
std::string SourceFor(const Workspace& workspace, const std::string& image) {
  if (image.find_first_of("/\\") != std::string::npos) return image;
  return workspace.workingFolder + "\\images\\" + image;
}

int RunConvert(const ConvertOptions& options) {
  Settings settings;  // the stored working folder and paths
  auto workspace = OpenWorkspace(settings, options.workdir);
  int status = kExitOk;
  for (const auto& image : options.images) {
    std::string source = SourceFor(*workspace, image);
    std::string shown = ToNativeSeparators(source);
    if (workspace->converterFound) {
      std::string out;
      StderrNotifier notifier;
      if (!ConvertToDds(*workspace, source, out, notifier)) status = kExitFailed;
      continue;
    }
    std::string out;
    IwiConversion result = ConvertIwiToDds(source, out);
    if (result != IwiConversion::Converted) {
      PrintError("cannot convert " + shown + ": " + DescribeIwiConversion(result));
      status = kExitFailed;
      continue;
    }
    std::printf("%s\n", Disk().Resolve(out).string().c_str());
  }
  return status;
}

}  // namespace

void RegisterConvertCommand(CLI::App& app) {
  auto options = std::make_shared<ConvertOptions>();
  auto* cmd = app.add_subcommand(
      "convert",
      "Convert IWI images to DDS files beside them (the DDS path is the image's path in lower "
      "case, ending in .dds). Uses the converter tool when its key is in registry.ini, else the "
      "built-in conversion, which prints each DDS file written.");
  AddWorkdirOption(*cmd, options->workdir);
  cmd->add_option("IMAGE", options->images,
                  "An .iwi name in WORKDIR/images, or a path (anything with a '/')")
      ->required();
  cmd->footer("Example: tessary convert --workdir ~/cod2raw weapon_g3_col.iwi ./loose/black.iwi");
  cmd->callback([options] { SetCommandStatus(RunConvert(*options)); });
}

}  // namespace tessary::cli
