#include "cli/CliSupport.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>

#include "platform/PrintableText.h"
#include "workspace/PathSetup.h"
#include "workspace/ProfileKeys.h"

namespace tessary::cli {

namespace {
int commandStatus = kExitOk;
}

void SetCommandStatus(int status) { commandStatus = status; }
int CommandStatus() { return commandStatus; }

void StderrNotifier::ShowMessage(const std::string& text, const std::string&) {
  PrintError(text);
}

void PrintError(const std::string& text) {
  std::string line = text;
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  std::fprintf(stderr, "tessary: %s\n", PrintableText(line).c_str());
}

std::string ResolveWorkdir(Settings& settings, const std::string& option) {
  std::string dir = option;
  if (dir.empty()) dir = settings.profile.GetProfileString(profile::kSettings, profile::kWorkingFolder);
  if (dir.empty()) dir = std::filesystem::current_path().string();
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

void AddWorkdirOption(CLI::App& command, std::string& workdir) {
  command.add_option("--workdir", workdir,
                     "Working folder (holds xmodel, xmodelsurfs, images, ...); default: the "
                     "stored one, else the current directory");
}

CLI::Option* AddLodOption(CLI::App& command, std::optional<int>& lod, const std::string& description) {
  return command.add_option("--lod", lod, description)->check(CLI::Range(0, 65535));
}

namespace {
class QuietNotifier final : public INotifier {
 public:
  void ShowMessage(const std::string&, const std::string&) override {}
  void Beep(BeepKind) override {}
};
}  // namespace

std::unique_ptr<Workspace> OpenWorkspace(Settings& settings, const std::string& workdirOption) {
  auto workspace = std::make_unique<Workspace>(settings.profile, settings.registry);
  {
    QuietNotifier quiet;
    workspace->LoadExternalPaths(quiet);
    PathSetupValues setup = LoadPathSetupValues(settings.profile, settings.registry, quiet);
    for (auto [from, to] : {std::pair{&setup.winrarPath, &workspace->winrarPath},
                            std::pair{&setup.codPath, &workspace->codPath},
                            std::pair{&setup.coduoPath, &workspace->coduoPath},
                            std::pair{&setup.cod2Path, &workspace->cod2Path},
                            std::pair{&setup.cod4Path, &workspace->cod4Path}})
      if (!from->empty()) *to = *from;
  }
  workspace->workingFolder = ResolveWorkdir(settings, workdirOption);
  workspace->folderDisplay = workspace->workingFolder + "\\xmodels";
  return workspace;
}

std::string ModelFolder(const std::string& workdir) { return workdir + "\\xmodel"; }

}  // namespace tessary::cli
