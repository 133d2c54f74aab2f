#pragma once
// What every command of the command-line program shares: the working folder, the
// notifier that turns message boxes into lines on standard error, and the exit statuses.
#include <memory>
#include <optional>
#include <string>

#include "platform/IniRegistry.h"
#include "platform/Notifier.h"
#include "platform/QtSettingsStore.h"
#include "workspace/Workspace.h"

namespace CLI {
class App;
class Option;
}

namespace tessary::cli {

enum ExitStatus : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// Messages go to standard error, one line each (line breaks become blanks). Beeps are
// not sounded by a command-line program.
class StderrNotifier final : public INotifier {
 public:
  void ShowMessage(const std::string& text, const std::string& caption) override;
  void Beep(BeepKind) override {}
};

// Prints "tessary: <text>" as one line on standard error, its control bytes escaped.
void PrintError(const std::string& text);

// The settings the desktop program uses: its profile, and the other programs' keys in
// registry.ini beside it. A command opens them once and hands them on.
struct Settings {
  QtSettingsStore profile;
  IniRegistry registry{ProfileFolder() / "registry.ini"};
};

// The working folder of a command: --workdir when given, else the stored working folder,
// else the current directory. Returned without a trailing separator.
std::string ResolveWorkdir(Settings& settings, const std::string& option);

// Adds the --workdir option, read by ResolveWorkdir, to a command.
void AddWorkdirOption(CLI::App& command, std::string& workdir);
// --lod, the index of a level of detail (0 to 65535), with the command's description.
CLI::Option* AddLodOption(CLI::App& command, std::optional<int>& lod, const std::string& description);

// The workspace of a command: the stored external paths as the desktop program has them
// after its Path Setup dialog was confirmed (stored "Paths" values, else the games' and
// WinRAR's keys), the converter's key, and the working folder of ResolveWorkdir. Missing
// keys are not reported here; `tessary paths` shows them.
std::unique_ptr<Workspace> OpenWorkspace(Settings& settings, const std::string& workdirOption);

// The folder holding the model headers, as the readers join it: workdir + "\xmodel".
std::string ModelFolder(const std::string& workdir);

// The status the command that ran asks the program to exit with.
void SetCommandStatus(int status);
int CommandStatus();

// Each command adds itself to the program.
void RegisterInfoCommand(CLI::App& app);
void RegisterExampleCommand(CLI::App& app);
void RegisterExportObjCommand(CLI::App& app);
void RegisterTagsCommand(CLI::App& app);
void RegisterConvertCommand(CLI::App& app);
void RegisterRetrieveCommand(CLI::App& app);
void RegisterPathsCommand(CLI::App& app);
void RegisterExportXCommand(CLI::App& app);
void RegisterExportGltfCommand(CLI::App& app);
void RegisterExportXModelCommand(CLI::App& app);
void RegisterInfoAnimCommand(CLI::App& app);
void RegisterExportXAnimCommand(CLI::App& app);
#ifdef TESSARY_HAVE_PREVIEW
void RegisterRenderCommand(CLI::App& app);
#endif

}  // namespace tessary::cli
