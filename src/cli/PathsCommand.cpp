// tessary paths: shows and sets the stored paths (the working folder, WinRAR, the game
// folders and the converter tool) in the settings the desktop program uses.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "cli/CliSupport.h"
#include "workspace/ProfileKeys.h"

namespace tessary::cli {

namespace {

struct PathsOptions {
  CLI::Option* workingFolderOption = nullptr;
  std::string workingFolder;
  struct Setting {
    const char* valueName;
    bool folder;
    CLI::Option* option = nullptr;
    std::string value;
  };
  Setting settings[5] = {{profile::kWinRar, false, nullptr, {}},
                         {profile::kCod4, true, nullptr, {}},
                         {profile::kCod2, true, nullptr, {}},
                         {profile::kCodUo, true, nullptr, {}},
                         {profile::kCod, true, nullptr, {}}};
  CLI::Option* converterOption = nullptr;
  std::string converter;
};

class FixedFolderChooser final : public IFolderChooser {
 public:
  explicit FixedFolderChooser(std::string folder) : folder_(std::move(folder)) {}
  bool BrowseForFolder(std::string& folder, const std::string&) override {
    folder = folder_;
    return true;
  }

 private:
  std::string folder_;
};

class NoAsker final : public IAsker {
 public:
  bool AskYesNo(const std::string&) override { return false; }
};

std::string Shown(const std::string& value) { return value.empty() ? "(not set)" : value; }

// A folder given on the command line, stored with a trailing separator as the Path Setup
// dialog's folder buttons store it.
std::string AsGameFolder(const std::string& value) {
  if (value.empty() || value.back() == '/' || value.back() == '\\') return value;
  return value + "/";
}

int SetWorkingFolder(Settings& settings, const std::string& value) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(value, ec)) {
    PrintError("the working folder " + value + " is not a folder");
    return kExitFailed;
  }
  std::string folder = fs::absolute(value, ec).lexically_normal().string();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  Workspace workspace(settings.profile, settings.registry);
  FixedFolderChooser chooser(folder);
  NoAsker asker;
  StderrNotifier notifier;
  workspace.ChooseWorkingFolder(chooser, asker, notifier);
  return kExitOk;
}

int RunPaths(PathsOptions& options) {
  Settings settings;
  int status = kExitOk;
  if (options.workingFolderOption->count() > 0) status = SetWorkingFolder(settings, options.workingFolder);
  for (auto& s : options.settings) {
    if (s.option->count() == 0) continue;
    std::string value = s.folder ? AsGameFolder(s.value) : s.value;
    if (!settings.profile.WriteProfileString(profile::kPaths, s.valueName, value)) {
      PrintError(std::string("cannot store ") + s.valueName + " in " + settings.profile.Location());
      status = kExitFailed;
    }
  }
  if (options.converterOption->count() > 0) {
    bool ok = options.converter.empty()
                  ? settings.registry.DeleteKey(RegistryRoot::CurrentUser, profile::kConverterKey)
                  : settings.registry.CreateAndWrite(RegistryRoot::CurrentUser, profile::kConverterKey,
                                                   profile::kInstallPath, options.converter);
    if (!ok) {
      PrintError("cannot write " + settings.registry.File().string());
      status = kExitFailed;
    }
  }

  if (auto damaged = settings.profile.UnreadableEntries(); !damaged.empty()) {
    std::string list;
    for (const auto& entry : damaged) list += (list.empty() ? "" : ", ") + entry;
    PrintError("the settings file " + settings.profile.Location() + " holds entries that cannot be read (" +
               list + "); they are left as they were");
  }

  auto workspace = OpenWorkspace(settings, "");
  std::string stored = settings.profile.GetProfileString(profile::kSettings, profile::kWorkingFolder);
  std::printf("Working folder: %s\n", Shown(stored).c_str());
  std::printf("WinRAR:         %s\n", Shown(workspace->winrarPath).c_str());
  std::printf("CoD4:           %s\n", Shown(workspace->cod4Path).c_str());
  std::printf("CoD2:           %s\n", Shown(workspace->cod2Path).c_str());
  std::printf("CoDUO:          %s\n", Shown(workspace->coduoPath).c_str());
  std::printf("CoD:            %s\n", Shown(workspace->codPath).c_str());
  std::printf("Converter:      %s\n",
              workspace->converterFound ? Shown(workspace->converterPath).c_str()
                                        : "(no key: built-in conversion)");
  std::printf("Settings file:  %s\n", settings.profile.Location().c_str());
  std::printf("Registry file:  %s\n", settings.registry.File().string().c_str());
  return status;
}

}  // namespace

void RegisterPathsCommand(CLI::App& app) {
  auto options = std::make_shared<PathsOptions>();
  auto* cmd = app.add_subcommand(
      "paths",
      "Show the stored paths, after setting those given. WinRAR and the game folders are "
      "stored in the \"Paths\" section of the desktop program's settings; a path not stored "
      "there is taken from the other programs' keys in registry.ini beside them. An empty "
      "value clears a setting.");
  options->workingFolderOption = cmd->add_option(
      "--working-folder", options->workingFolder,
      "Store the working folder (an existing folder; its missing sub-folders are created)");
  options->settings[0].option =
      cmd->add_option("--winrar", options->settings[0].value, "Store the WinRAR program");
  options->settings[1].option =
      cmd->add_option("--cod4", options->settings[1].value, "Store the fourth game's folder");
  options->settings[2].option =
      cmd->add_option("--cod2", options->settings[2].value, "Store the second game's folder");
  options->settings[3].option = cmd->add_option("--coduo", options->settings[3].value,
                                                "Store the first game's expansion folder");
  options->settings[4].option =
      cmd->add_option("--cod", options->settings[4].value, "Store the first game's folder");
  options->converterOption = cmd->add_option(
      "--converter", options->converter,
      "Record the converter tool in registry.ini, as its installer does (\"\" removes it, "
      "so the built-in conversion is used)");
  cmd->footer("Example: tessary paths --working-folder ~/cod2raw --cod2 /games/cod2");
  cmd->callback([options] { SetCommandStatus(RunPaths(*options)); });
}

}  // namespace tessary::cli
