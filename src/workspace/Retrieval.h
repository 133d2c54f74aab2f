#pragma once
// Fetching the files a model names but the working folder lacks: for a version 25 model
// first from the fourth game's raw folder, otherwise from the game's archives (WinRAR
// when its path is set, else the built-in extractor), converting fetched IWI images to
// DDS. The form drives it: "Retrieve file" on one tree item, and "Retrieve all files" in
// two passes (the second, on the reloaded tree, fetches what the first pass revealed).
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "model/ModelTree.h"
#include "model/ModelVersions.h"
#include "platform/Notifier.h"
#include "workspace/ArchiveExtractor.h"
#include "workspace/Workspace.h"

namespace tessary {

inline constexpr const char* kCannotRetrieve = "Cannot retrieve file.";
inline constexpr const char* kWinRarStartFailed = "Failed to start WinRAR.";
inline constexpr const char* kCod2FolderNotSet =
    "The second game's folder is not set: open Path Setup (the tools button)";
inline constexpr const char* kCod4FolderNotSet =
    "The fourth game's folder is not set: open Path Setup (the tools button)";

// The working sub-folder of a file item, from its parent's text ("Surfaces",
// "Parts (Tags)", "Materials", or an image under a material); empty for other items.
std::string FolderForItem(const TreeItem& item);

// Gives every item of the subtree whose text is `name` (exactly) the present image.
void MarkPresent(TreeItem& item, const std::string& name);

// The archiver's command line: extract with paths, no messages, overwrite, in the
// background, from gameFolder + "main\iw_*.iwd", the files matching name + "*", into the
// working folder.
std::string BuildWinRarCommandLine(const std::string& winrarPath, const std::string& gameFolder,
                                   const std::string& name, const std::string& workingFolder);
// The same command as the archiver's argument vector: each piece one argument, whatever
// blanks or quotes a name holds.
std::vector<std::string> BuildWinRarArguments(const std::string& winrarPath,
                                              const std::string& gameFolder,
                                              const std::string& name,
                                              const std::string& workingFolder);

// Whether the DDS file beside an IWI image (same folder and base name, ".dds") exists and
// holds something: an IWI image is deleted only then, whatever the converter reported.
bool DdsWritten(const std::string& iwiPath);

class Retrieval {
 public:
  // Messages and beeps go to `notifier`, the front end's.
  Retrieval(Workspace& workspace, INotifier& notifier) : workspace_(workspace), notices_(notifier, shown_) {}

  // The version byte of the loaded model.
  uint8_t modelVersion = 0;
  // 1 before the first pass of "Retrieve all files", 0 between its two passes.
  uint8_t allPassToggle = 1;
  // The form's ReloadModel: reads the model again and refills the tree (and updates
  // modelVersion).
  std::function<void()> reloadModel;
  // The built-in extractor's size limit and free-space margin.
  ExtractLimits extractLimits;

  // The fourth game's models only: copies cod4Path + "raw\" + folder + "\" + name into the working
  // folder, in blocks (a raw file may be large).
  bool CopyFromRawFolder(const std::string& name, const std::string& folder);
  // Runs the archiver for files matching name + "*" of the model's game (when its
  // version names one) and waits for it. True when it ran, whether or not the file was in the archives.
  // Without the game's folder nothing runs, and the user is told once per command.
  bool ExtractFromArchives(const std::string& name, const std::string& folder);

  // "Retrieve file" on `item`. The model is reloaded unless nothing could be run; archives
  // that do not hold the file are named in a box.
  void RetrieveFile(TreeItem& item);

  enum class Pass { SecondPassDue, Finished };
  // One pass of "Retrieve all files" over the tree, then a reload. After the first pass
  // the form waits a second (input disabled) and runs the second pass; after it the form
  // is enabled again. A message of the first pass is not shown again by the second. When
  // nothing was fetched and nothing said why (the archives held none of the missing files,
  // or the model's version has no game to fetch from), the second pass says so in one box.
  Pass RetrieveAllFiles(ModelTree& tree);

  // One missing item's step of a pass.
  void RetrieveMissingItem(TreeItem& root, TreeItem& item);

  // Where the retrieval's messages go: the front end's notifier, which during "Retrieve all
  // files" gets each message once per command. `reloadModel` presents what reading the
  // model brings up through it too.
  INotifier& Notices() { return notices_; }

 private:
  // Passes each message on, once per command while `once` is set: the second pass of
  // "Retrieve all files" meets the refusals of the first again (a full disk, an archive
  // that cannot be read).
  class OncePerCommand final : public INotifier {
   public:
    OncePerCommand(INotifier& outer, std::set<std::string>& shown) : outer_(outer), shown_(shown) {}
    void ShowMessage(const std::string& text, const std::string& caption) override {
      if (!once || shown_.insert(text).second) outer_.ShowMessage(text, caption);
    }
    void Beep(BeepKind kind) override { outer_.Beep(kind); }
    bool once = false;

   private:
    INotifier& outer_;
    std::set<std::string>& shown_;
  };

  void ConvertFetchedImage(const std::string& name);
  void Reload();
  // The game whose folders hold the loaded model's files (its version's row).
  GameFolder Game() const;
  // Whether `name` is now in the working folder's `folder`.
  bool Fetched(const std::string& name, const std::string& folder) const;
  Workspace& workspace_;
  bool folderNotSetShown_ = false;  // the unset game folder was named in this command
  std::string archives_;            // the archives searched in this command, as shown
  int tried_ = 0, fetched_ = 0;     // missing items of this "Retrieve all files"
  std::set<std::string> shown_;     // the messages of this "Retrieve all files"
  OncePerCommand notices_;
};

}  // namespace tessary
