#include "workspace/Retrieval.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/Notifier.h"
#include "platform/OutputFile.h"
#include "platform/Path.h"
#include "platform/Process.h"
#include "workspace/ArchiveExtractor.h"
#include "workspace/PathSetup.h"
#include "workspace/TextureConversion.h"

namespace fs = std::filesystem;

namespace tessary {

std::string FolderForItem(const TreeItem& item) {
  const TreeItem* parent = item.parent;
  if (parent == nullptr) return {};
  if (parent->text == kSurfacesGroup) return "xmodelsurfs";
  if (parent->text == kPartsGroup) return "xmodelparts";
  if (parent->text == kMaterialsGroup) return "materials";
  if (parent->parent != nullptr && parent->parent->text == kMaterialsGroup) return "images";
  return {};
}

void MarkPresent(TreeItem& item, const std::string& name) {
  if (item.text == name) item.image = kImagePresent;
  for (auto& child : item.children) MarkPresent(*child, name);
}

std::string BuildWinRarCommandLine(const std::string& winrarPath, const std::string& gameFolder,
                                   const std::string& name, const std::string& workingFolder) {
  return winrarPath + " x " + "-INUL -y -IBCK " + "\"" + gameFolder + "main\\iw_*.iwd\" " + name +
         "* " + "\"" + workingFolder + "\"";
}

namespace {

// A file error other than a missing file or a bad path is shown, as the framework's
// file error box would.
void ReportFileError(const fs::path& path, int error) {
  if (error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG || error == 0) return;
  Notifier().ShowMessage(path.string() + ": " + std::strerror(error) + ".");
}

// Traces a name on standard error when TESSARY_TRACE is set (the debug output of the
// retrieval).
void Trace(const std::string& name) {
  static const bool enabled = std::getenv("TESSARY_TRACE") != nullptr;
  if (enabled) std::fprintf(stderr, "%s\n", name.c_str());
}

// Item texts are bare file names; a name read from a damaged or crafted model that
// holds a folder step must not reach files outside the working folder.
bool IsBareFileName(const std::string& name) {
  return name.find_first_of("/\\") == std::string::npos && name != "." && name != "..";
}

}  // namespace

bool Retrieval::CopyFromRawFolder(const std::string& name, const std::string& folder) {
  if (modelVersion != 25 || !IsBareFileName(name) || workspace_.cod4Path.empty()) return false;
  std::string source = GameFolderPath(workspace_.cod4Path) + "raw\\" + folder + "\\" + name;
  fs::path from = ResolvePath(source);
  std::error_code ec;
  if (!fs::exists(from, ec)) return false;
  std::string destination = workspace_.workingFolder + "\\" + folder + "\\" + name;

  std::ifstream in(from, std::ios::binary);
  if (!in) {
    ReportFileError(from, errno);
    return false;
  }
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    ReportFileError(from, errno);
    return false;
  }
  OutputFile out;
  if (!out.Open(destination)) {
    ReportFileError(ResolvePath(destination), errno);
    return false;
  }
  out.Write(bytes.data(), bytes.size());
  if (!out.Commit()) {
    ReportFileError(ResolvePath(destination), errno);
    return false;
  }
  return true;
}

bool Retrieval::ExtractFromArchives(const std::string& name, const std::string& /*folder*/) {
  std::string gameFolder;
  if (modelVersion == 25)
    gameFolder = workspace_.cod4Path;
  else if (modelVersion == 20)
    gameFolder = workspace_.cod2Path;
  else
    return false;
  if (gameFolder.empty()) {
    if (!folderNotSetShown_) Notifier().ShowMessage(modelVersion == 25 ? kCod4FolderNotSet : kCod2FolderNotSet);
    folderNotSetShown_ = true;
    return false;
  }
  gameFolder = GameFolderPath(gameFolder);
  archives_ = ToNativeSeparators(gameFolder + "main\\iw_*.iwd");

  if (workspace_.winrarPath.empty()) {
    // The built-in extractor takes WinRAR's place.
    ExtractFromGameArchives(gameFolder, name + "*", workspace_.workingFolder);
    return true;
  }
  std::string line = BuildWinRarCommandLine(workspace_.winrarPath, gameFolder, name,
                                            workspace_.workingFolder);
  if (!RunAndWait(line)) {
    Notifier().ShowMessage(kWinRarStartFailed);
    return false;
  }
  ClearDirectoryCache();
  return true;
}

void Retrieval::ConvertFetchedImage(const std::string& name) {
  if (name.find(".iwi") == std::string::npos || !IsBareFileName(name)) return;
  std::string source = workspace_.workingFolder + "\\images\\" + name;
  std::string out;
  if (!ConvertToDds(workspace_, source, out)) return;
  ClearDirectoryCache();
  // The fetched image goes only when its DDS is there to take its place: a converter that
  // ended without writing one must not cost the user the image.
  if (out.empty()) out = ExpectedDdsPath(source);
  std::error_code ec;
  fs::path dds = ResolvePath(out);
  if (!fs::is_regular_file(dds, ec) || fs::file_size(dds, ec) == 0 || ec) return;
  fs::remove(ResolvePath(source), ec);
  ClearDirectoryCache();
}

void Retrieval::Reload() {
  if (reloadModel) reloadModel();
}

void Retrieval::RetrieveFile(TreeItem& item) {
  folderNotSetShown_ = false;
  archives_.clear();
  std::string name = item.text;
  std::string folder = FolderForItem(item);
  if (folder.empty()) {
    Notifier().Beep(BeepKind::Type2);
    Notifier().ShowMessage(kCannotRetrieve);
    return;
  }
  if (!CopyFromRawFolder(name, folder)) {
    if (!ExtractFromArchives(name, folder)) {
      Notifier().Beep(BeepKind::Simple);
      return;
    }
    if (Fetched(name, folder))
      ConvertFetchedImage(name);
    else
      Notifier().ShowMessage(name + " is not in the game's archives (" + archives_ +
                             "): nothing was fetched.");
  }
  Reload();
}

bool Retrieval::Fetched(const std::string& name, const std::string& folder) const {
  ClearDirectoryCache();  // the archiver wrote behind this process's back
  return IsBareFileName(name) &&
         PathMatchesSomething(workspace_.workingFolder + "\\" + folder + "\\" + name);
}

void Retrieval::RetrieveMissingItem(TreeItem& root, TreeItem& item) {
  if (item.image != kImageMissing) return;
  std::string name = item.text;
  Trace(name);
  if (name.empty()) return;
  std::string folder = FolderForItem(item);
  if (folder.empty()) return;
  ++tried_;
  if (CopyFromRawFolder(name, folder)) {
    ++fetched_;
    return;
  }
  if (ExtractFromArchives(name, folder)) {
    MarkPresent(root, name);
    if (Fetched(name, folder)) ++fetched_;
    ConvertFetchedImage(name);
  }
}

namespace {
void VisitPreOrder(TreeItem& item, const std::function<void(TreeItem&)>& visit) {
  visit(item);
  for (auto& child : item.children) VisitPreOrder(*child, visit);
}
}  // namespace

Retrieval::Pass Retrieval::RetrieveAllFiles(ModelTree& tree) {
  if (allPassToggle == 1) {  // both passes are one command
    folderNotSetShown_ = false;
    tried_ = fetched_ = 0;
    archives_.clear();
  }
  std::string model = tree.Root() ? tree.Root()->text : std::string();
  if (TreeItem* root = tree.Root())
    VisitPreOrder(*root, [&](TreeItem& item) { RetrieveMissingItem(*root, item); });
  Reload();
  if (allPassToggle == 1) {
    allPassToggle = 0;
    return Pass::SecondPassDue;
  }
  allPassToggle = 1;
  // Archives that were searched and held nothing of the model: say so once.
  if (tried_ > 0 && fetched_ == 0 && !archives_.empty())
    Notifier().ShowMessage("None of the missing files of " + model + " is in the game's archives (" +
                           archives_ + "): nothing was fetched.");
  return Pass::Finished;
}

}  // namespace tessary
