#include "workspace/Retrieval.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/FileOpen.h"
#include "platform/Notifier.h"
#include "platform/OutputFile.h"
#include "platform/Disk.h"
#include "platform/Path.h"
#include "platform/PlainName.h"
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
  VisitPreOrder(item, [&](TreeItem& each) {
    if (each.text == name) each.image = kImagePresent;
  });
}

std::string BuildWinRarCommandLine(const std::string& winrarPath, const std::string& gameFolder,
                                   const std::string& name, const std::string& workingFolder) {
  return winrarPath + " x " + "-INUL -y -IBCK " + "\"" + gameFolder + "main\\iw_*.iwd\" " + name +
         "* " + "\"" + workingFolder + "\"";
}

std::vector<std::string> BuildWinRarArguments(const std::string& winrarPath,
                                              const std::string& gameFolder,
                                              const std::string& name,
                                              const std::string& workingFolder) {
  return {winrarPath, "x", "-INUL", "-y", "-IBCK", gameFolder + "main\\iw_*.iwd", name + "*",
          workingFolder};
}

namespace {

// A file error other than a missing file or a bad path is shown, as the framework's
// file error box would.
void ReportFileError(INotifier& notifier, const fs::path& path, int error) {
  if (error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG || error == 0) return;
  notifier.ShowMessage(path.string() + ": " + std::strerror(error) + ".");
}

// Traces a name on standard error when TESSARY_TRACE is set (the debug output of the
// retrieval).
void Trace(const std::string& name) {
  if (std::getenv("TESSARY_TRACE") != nullptr) std::fprintf(stderr, "%s\n", name.c_str());
}

}  // namespace

bool DdsWritten(const std::string& iwiPath) {
  std::string dds = iwiPath;
  auto dot = dds.find_last_of(".\\/");
  if (dot != std::string::npos && dds[dot] == '.') dds.erase(dot);
  dds += ".dds";
  std::error_code ec;
  Disk disk;  // looks afresh: the converter tool wrote behind this process's back
  fs::path found = disk.Resolve(dds);
  return fs::is_regular_file(found, ec) && fs::file_size(found, ec) > 0 && !ec;
}

GameFolder Retrieval::Game() const {
  const ModelVersion* row = FindModelVersion(modelVersion);
  return row != nullptr ? row->gameFolder : GameFolder::None;
}

bool Retrieval::CopyFromRawFolder(const std::string& name, const std::string& folder) {
  // Only the fourth game ships its raw asset folder.
  if (Game() != GameFolder::Cod4 || !IsPlainName(name) || workspace_.cod4Path.empty()) return false;
  std::string source = GameFolderPath(workspace_.cod4Path) + "raw\\" + folder + "\\" + name;
  Disk disk;  // the copy's look-ups
  fs::path from = disk.Resolve(source);
  std::error_code ec;
  if (!fs::exists(from, ec)) return false;
  std::string destination = workspace_.workingFolder + "\\" + folder + "\\" + name;

  OpenFailure failure = OpenFailure::None;
  int error = 0;
  FileReader in;
  if (!in.Open(from, &failure, &error)) {
    if (failure == OpenFailure::NotRegular)
      Notices().ShowMessage(from.string() + " is not a regular file; it is not copied.");
    else
      ReportFileError(notices_, from, error);
    return false;
  }
  OutputFile out;
  if (!out.Open(disk, destination)) {
    int openError = errno;
    if (!WhyNotReplaceable(out.Target()).empty())
      Notices().ShowMessage(out.Error() + ".");
    else
      ReportFileError(notices_, out.Target(), openError);
    return false;
  }
  std::vector<char> block(1 << 16);
  for (;;) {
    const int64_t n = in.Read(block.data(), block.size());
    if (n < 0) {
      ReportFileError(notices_, from, errno);
      return false;  // the temporary goes with `out`
    }
    if (n == 0) break;
    out.Write(block.data(), static_cast<size_t>(n));
  }
  if (!out.Commit()) {
    Notices().ShowMessage(out.Error() + ".");
    return false;
  }
  return true;
}

bool Retrieval::ExtractFromArchives(const std::string& name, const std::string& /*folder*/) {
  const GameFolder game = Game();
  if (game == GameFolder::None) return false;
  std::string gameFolder = game == GameFolder::Cod4 ? workspace_.cod4Path : workspace_.cod2Path;
  if (gameFolder.empty()) {
    if (!folderNotSetShown_) Notices().ShowMessage(game == GameFolder::Cod4 ? kCod4FolderNotSet : kCod2FolderNotSet);
    folderNotSetShown_ = true;
    return false;
  }
  gameFolder = GameFolderPath(gameFolder);
  archives_ = ToNativeSeparators(gameFolder + "main\\iw_*.iwd");

  if (workspace_.winrarPath.empty()) {
    // The built-in extractor takes WinRAR's place.
    ExtractFromGameArchives(gameFolder, name + "*", workspace_.workingFolder, notices_, extractLimits);
    return true;
  }
  ProcessResult run = RunProcess(
      BuildWinRarArguments(workspace_.winrarPath, gameFolder, name, workspace_.workingFolder));
  if (!run.started) {
    Notices().ShowMessage(kWinRarStartFailed);
    return false;
  }
  if (!run.Succeeded())
    Notices().ShowMessage("WinRAR " + DescribeProcessEnd(run) + " while extracting " + name + ".");
  return true;
}

void Retrieval::ConvertFetchedImage(const std::string& name) {
  if (name.find(".iwi") == std::string::npos || !IsPlainName(name)) return;
  std::string source = workspace_.workingFolder + "\\images\\" + name;
  std::string out;
  // The fetched image goes only when its DDS is there to take its place: a converter that
  // ended without writing one must not cost the user the image.
  if (ConvertToDds(workspace_, source, out, notices_) && DdsWritten(source)) {
    std::error_code ec;
    fs::remove(Disk().Resolve(source), ec);
  }
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
    notices_.Beep(BeepKind::Type2);
    Notices().ShowMessage(kCannotRetrieve);
    return;
  }
  if (!CopyFromRawFolder(name, folder)) {
    if (!ExtractFromArchives(name, folder)) {
      notices_.Beep(BeepKind::Simple);
      return;
    }
    if (Fetched(name, folder))
      ConvertFetchedImage(name);
    else
      Notices().ShowMessage(name + " is not in the game's archives (" + archives_ +
                            "): nothing was fetched.");
  }
  Reload();
}

bool Retrieval::Fetched(const std::string& name, const std::string& folder) const {
  // The look-up takes the folders afresh: the archiver wrote behind this process's back.
  return IsPlainName(name) &&
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

Retrieval::Pass Retrieval::RetrieveAllFiles(ModelTree& tree) {
  if (allPassToggle == 1) {  // both passes are one command
    folderNotSetShown_ = false;
    tried_ = fetched_ = 0;
    archives_.clear();
    shown_.clear();
  }
  std::string model = tree.Root() ? tree.Root()->text : std::string();
  notices_.once = true;
  if (TreeItem* root = tree.Root())
    VisitPreOrder(*root, [&](TreeItem& item) { RetrieveMissingItem(*root, item); });
  Reload();
  notices_.once = false;
  if (allPassToggle == 1) {
    allPassToggle = 0;
    return Pass::SecondPassDue;
  }
  allPassToggle = 1;
  // Missing files of which nothing came, and nothing said why (a refusal, a file skipped):
  // say why once.
  if (tried_ > 0 && fetched_ == 0 && shown_.empty()) {
    if (!archives_.empty())
      Notices().ShowMessage("None of the missing files of " + model + " is in the game's archives (" +
                            archives_ + "): nothing was fetched.");
    else if (Game() == GameFolder::None)
      Notices().ShowMessage("None of the missing files of " + model +
                            " can be fetched: files are fetched for the second game's models (version 20) and "
                            "the fourth's (version 25), and " + model + " has version " +
                            std::to_string(modelVersion) + ".");
  }
  return Pass::Finished;
}

}  // namespace tessary
