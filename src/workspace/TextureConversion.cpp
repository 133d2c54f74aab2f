#include "workspace/TextureConversion.h"

#include "platform/Notifier.h"
#include "platform/Disk.h"
#include "platform/Path.h"
#include "platform/Process.h"
#include "workspace/IwiConverter.h"

namespace tessary {

std::string BuildConverterCommandLine(const std::string& converterPath, const std::string& path) {
  return converterPath + " " + path;
}

std::vector<std::string> BuildConverterArguments(const std::string& converterPath,
                                                 const std::string& path) {
  return {converterPath, path};
}

namespace {
bool RunConverter(const Workspace& workspace, const std::string& path, INotifier& notifier) {
  // The tool is a program of this system: it gets the file as this system names it (its
  // separators, the letter case found on disk), as one argument.
  const std::string native = Disk().Resolve(path).string();
  ProcessResult run = RunProcess(BuildConverterArguments(workspace.converterPath, native));
  if (!run.started) {
    notifier.ShowMessage(kConverterStartFailed);
    return false;
  }
  if (!run.Succeeded()) {
    notifier.ShowMessage("Pelvane.exe " + DescribeProcessEnd(run) + " on " + native + ".");
    return false;
  }
  return true;
}
}  // namespace

bool ConvertToDds(const Workspace& workspace, const std::string& source, std::string& out,
                  INotifier& notifier) {
  if (workspace.converterFound) return RunConverter(workspace, source, notifier);
  return ConvertIwiToDds(source, out) == IwiConversion::Converted;
}

bool ConvertSelectedImage(const Workspace& workspace, const std::string& imageName, INotifier& notifier) {
  std::string out;
  if (ConvertToDds(workspace, workspace.workingFolder + "\\images\\" + imageName, out, notifier)) return true;
  notifier.Beep(BeepKind::Type2);
  return false;
}

}  // namespace tessary
