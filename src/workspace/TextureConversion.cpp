#include "workspace/TextureConversion.h"

#include <cctype>

#include "platform/Notifier.h"
#include "platform/Process.h"
#include "workspace/IwiConverter.h"

namespace tessary {

std::string BuildConverterCommandLine(const std::string& converterPath, const std::string& path) {
  return converterPath + " " + path;
}

std::string ExpectedDdsPath(const std::string& source) {
  std::string lower = source;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  size_t dot = lower.rfind(".iwi");
  size_t separator = source.find_last_of("/\\");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
    return source + ".dds";
  return source.substr(0, dot) + ".dds" + source.substr(dot + 4);
}

namespace {
bool RunConverter(const Workspace& workspace, const std::string& path) {
  if (!RunAndWait(BuildConverterCommandLine(workspace.converterPath, path))) {
    Notifier().ShowMessage(kConverterStartFailed);
    return false;
  }
  return true;
}
}  // namespace

bool ConvertToDds(const Workspace& workspace, const std::string& source, std::string& out) {
  if (workspace.converterFound) return RunConverter(workspace, source);
  return ConvertIwiToDds(source, out) == IwiConversion::Converted;
}

bool ConvertSelectedImage(const Workspace& workspace, const std::string& imageName) {
  std::string out;
  if (ConvertToDds(workspace, workspace.workingFolder + "\\images\\" + imageName, out)) return true;
  Notifier().Beep(BeepKind::Type2);
  return false;
}

}  // namespace tessary
