// Fetching missing files into the working folder and what the model tree shows after.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Disk.h"
#include "fixtures/IwiWriter.h"
#include "fixtures/MemorySettingsStore.h"
#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "fixtures/ZipWriter.h"
#include "model/ShowModelTree.h"
#include "platform/IniRegistry.h"
#include "platform/TestFiles.h"
#include "workspace/Retrieval.h"
#include "workspace/TextureConversion.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
namespace v20 = test::v20;

const test::ByteWriter kSmallIwi = test::Iwi({0x0B, 3, 4, 4, 36, 36, 36, 36}).Append(test::Ramp(8, 1));

struct RetrievalTest : ::testing::Test {
  test::TempWorkdir work;
  test::TempWorkdir game;  // main/iw_*.iwd, and raw/ for the fourth game
  test::MemorySettingsStore profile;
  IniRegistry registry{game.Path() / "registry.ini"};
  Workspace ws{profile, registry};
  test::RecordingNotifier notifier;
  Retrieval retrieval{ws, notifier};
  ModelTree tree;
  int reloads = 0;

  void SetUp() override {
    ws.workingFolder = work.Str();
    ws.cod2Path = ws.cod4Path = game.Str() + "/";
    retrieval.reloadModel = [this] {
      ++reloads;
      Disk disk;
      retrieval.modelVersion = ReadModelVersion(disk, work.ModelFolder() + "\\tank").value_or(0);
      std::vector<std::string> messages;
      ShowModelTree(disk, tree, work.Str(), "tank", retrieval.modelVersion, messages);
    };
  }
  void RetrieveAll() {
    while (retrieval.RetrieveAllFiles(tree) == Retrieval::Pass::SecondPassDue) {
    }
  }
  TreeItem& FirstSurface() { return *tree.Root()->children[0]->children[0]; }
  // Model "tank" with its surfaces and `materials`, each naming image "shared", which the
  // archiver stand-in fetches.
  void WriteTank(const std::vector<std::string>& materials) {
    work.Write("xmodel/tank", v20::Header({{"tank0", 0, materials}}));
    work.Write("xmodelsurfs/tank0", v20::Surfaces({v20::Triangle()}));
    for (const std::string& m : materials) work.Write("materials/" + m, v20::Material("shared"));
    game.Write("payload", kSmallIwi);
  }
  // A shell script in the game folder; returns its path.
  std::string Script(const std::string& name, const std::string& body) {
    const fs::path script = game.Path() / name;
    std::ofstream(script) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(script, fs::perms::owner_all);
    return script.string();
  }
  // A stand-in archiver: logs its arguments, a line per run, and copies game/payload to `copyTo`.
  std::string FakeWinRar(const std::string& copyTo, int exitStatus = 0) {
    const std::string log = (game.Path() / "log").string();
    return Script("winrar.sh", "for a in \"$@\"; do printf '[%s]' \"$a\"; done >> '" + log + "'\necho >> '" + log + "'\n" +
                                   (copyTo.empty() ? "" : "cp '" + (game.Path() / "payload").string() + "' \"$7/" + copyTo + "\"\n") +
                                   "exit " + std::to_string(exitStatus));
  }
};

TEST_F(RetrievalTest, WinRarRunsOnceForASharedImageAndFailuresOnlyBeep) {
  WriteTank({"mtl_a", "mtl_b", "mtl_c"});
  work.Write("xmodelparts/tank0", v20::Parts({{0, {0, 0, 0}, "root"}}));
  retrieval.reloadModel();
  ws.winrarPath = (game.Path() / "absent" / "WinRAR.exe").string();
  retrieval.RetrieveFile(FirstSurface());
  EXPECT_EQ(notifier.messages, std::vector<std::string>{"Failed to start WinRAR."});
  EXPECT_EQ(notifier.beeps, std::vector<BeepKind>{BeepKind::Simple});
  ws.winrarPath = FakeWinRar("images/shared.iwi");
  RetrieveAll();
  EXPECT_EQ(test::Text(game.Path() / "log"),
            "[x][-INUL][-y][-IBCK][" + game.Str() + "/main\\iw_*.iwd][shared.iwi*][" + work.Str() + "]\n");
  EXPECT_TRUE(work.Exists("images/shared.dds"));
  EXPECT_FALSE(work.Exists("images/shared.iwi"));
  EXPECT_EQ(notifier.messages.size(), 1u);
}

TEST_F(RetrievalTest, FourthGameFilesComeFromTheRawFolderFirst) {
  game.Write("raw/xmodelsurfs/hatch_lod0", test::ByteWriter().Raw("surfaces"));
  ws.winrarPath = FakeWinRar("");
  retrieval.modelVersion = 25;
  retrieval.reloadModel = [this] { ++reloads; };
  TreeItem& root = tree.SetRoot("hatch");
  retrieval.RetrieveFile(root.AddChild("Surfaces", kImageGroup).AddChild("hatch_lod0", kImageMissing));
  EXPECT_EQ(test::Text(work.Path() / "xmodelsurfs/hatch_lod0"), "surfaces");
  EXPECT_FALSE(fs::exists(game.Path() / "log"));
  // Not in the raw folder: the archives, which do not hold it either: a box says so.
  retrieval.RetrieveFile(root.AddChild("Parts (Tags)", kImageGroup).AddChild("hatch_lod0", kImageMissing));
  EXPECT_NE(test::Text(game.Path() / "log").find("[hatch_lod0*]"), std::string::npos);
  EXPECT_EQ(reloads, 2);
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0], "hatch_lod0 is not in the game's archives (" + game.Str() +
                                      "/main/iw_*.iwd): nothing was fetched.");
  // A name with folder steps reaches nothing outside the working folder.
  std::ofstream(game.Path() / "raw" / "outside") << "raw";
  work.Write("outside.iwi", kSmallIwi);
  EXPECT_FALSE(retrieval.CopyFromRawFolder("../outside", "xmodelsurfs"));
  retrieval.RetrieveFile(root.AddChild("Materials", kImageGroup).AddChild("m", kImageMissing)
                             .AddChild("..\\outside.iwi", kImageMissing));
  EXPECT_TRUE(work.Exists("outside.iwi"));  // neither converted nor deleted
  EXPECT_FALSE(work.Exists("outside.dds"));
  EXPECT_FALSE(work.Exists("outside"));
}

TEST_F(RetrievalTest, AFetchedImageIsDeletedOnlyWhenItsDdsWasWritten) {
  WriteTank({"mtl_a"});
  ws.winrarPath = FakeWinRar("images/shared.iwi");
  ws.converterFound = true;
  const fs::path dds = work.Path() / "images/shared.dds";
  // A converter that ends with an empty DDS, then one that writes it.
  const std::pair<std::string, bool> cases[] = {{"printf '' > '" + dds.string() + "'", true},
                                                 {"printf 'DDS ' > '" + dds.string() + "'", false}};
  for (const auto& [body, kept] : cases) {
    SCOPED_TRACE(body);
    fs::remove(dds);
    ws.converterPath = Script("converter.sh", body);
    retrieval.reloadModel();
    retrieval.RetrieveFile(*FirstSurface().children[0]->children[0]->children[0]);
    EXPECT_EQ(work.Exists("images/shared.iwi"), kept);
  }
}

TEST_F(RetrievalTest, AnUnsetGameFolderIsNamedOnceACommandAndATypedOneNeedsNoSeparator) {
  work.Write("xmodel/tank", v20::Header({{"tank0", 0, {"mtl_a", "mtl_b"}}}));
  retrieval.reloadModel();
  ws.cod2Path.clear();
  RetrieveAll();
  retrieval.RetrieveFile(FirstSurface());  // a new command names it again
  retrieval.modelVersion = 25;
  ws.cod4Path.clear();
  retrieval.RetrieveFile(FirstSurface());
  EXPECT_EQ(notifier.messages, (std::vector<std::string>{kCod2FolderNotSet, kCod2FolderNotSet, kCod4FolderNotSet}));
  // A folder typed by hand, without a separator at its end (its archives fetched from: the
  // retrieve command's test), whose archives hold none of the files: one box for the command.
  ws.cod2Path = game.Str();
  retrieval.reloadModel();
  RetrieveAll();
  ASSERT_EQ(notifier.messages.size(), 4u);
  EXPECT_EQ(notifier.messages[3], "None of the missing files of tank is in the game's archives (" +
                                      game.Str() + "/main/iw_*.iwd): nothing was fetched.");
}

// The second pass meets the first one's refusal again (the disk is still full): it is shown
// once, and the archives that do hold the file are not said to lack it.
TEST_F(RetrievalTest, AFullDiskIsReportedOnceACommand) {
  WriteTank({"mtl_a"});
  fs::create_directories(game.Path() / "main");
  test::WriteZip(game.Path() / "main" / "iw_00.iwd", {{"images/shared.iwi", test::Text(game.Path() / "payload")}});
  retrieval.extractLimits.freeSpace = [](const fs::path&) -> std::optional<uint64_t> { return 0; };
  retrieval.reloadModel();
  RetrieveAll();
  ASSERT_EQ(notifier.messages.size(), 1u) << notifier.messages.back();
  EXPECT_EQ(notifier.messages[0].rfind("Stopped extracting from " + game.Str() + "/main/iw_00.iwd: ", 0), 0u)
      << notifier.messages[0];
  RetrieveAll();  // the next command says it again
  EXPECT_EQ(notifier.messages.size(), 2u);
}

TEST_F(RetrievalTest, ToolArgumentsStayWholeAndToolFailuresAreReported) {
  retrieval.modelVersion = 20;
  retrieval.reloadModel = [this] { ++reloads; };
  ws.winrarPath = FakeWinRar("", 10);
  EXPECT_TRUE(retrieval.ExtractFromArchives("m -ep1 /tmp/x", "images"));
  EXPECT_NE(test::Text(game.Path() / "log").find("[m -ep1 /tmp/x*]"), std::string::npos);
  EXPECT_EQ(notifier.messages,
            std::vector<std::string>{"WinRAR exited with status 10 while extracting m -ep1 /tmp/x."});
  work.Write("images/x.iwi", kSmallIwi);
  ws.converterFound = true;
  notifier.messages.clear();
  ws.converterPath = Script("tool.sh", "exit 3");
  std::string out;
  EXPECT_FALSE(ConvertToDds(ws, work.Str() + "\\images\\x.iwi", out, notifier));
  EXPECT_EQ(notifier.messages, std::vector<std::string>{"Pelvane.exe exited with status 3 on " + work.Str() +
                                                         "/images/x.iwi."});
  // The tool gets the image as one native path, whatever the folder's name holds.
  const fs::path folder = work.Path() / "Mód Földer";
  fs::create_directories(folder / "images");
  std::ofstream(folder / "images" / "x.iwi") << "IWi";
  const fs::path log = game.Path() / "tool.log";
  Script("tool.sh", "echo \"$# [$1]\" > '" + log.string() + "'\nprintf 'DDS ' > \"${1%.iwi}.dds\"");
  EXPECT_TRUE(ConvertToDds(ws, folder.string() + "\\images\\x.iwi", out, notifier));
  EXPECT_EQ(test::Text(game.Path() / "tool.log"), "1 [" + (folder / "images" / "x.iwi").string() + "]\n");
  EXPECT_TRUE(fs::exists(folder / "images" / "x.dds"));
}

TEST_F(RetrievalTest, ARawFileIsCopiedInBlocksAndAFifoIsRefused) {
  retrieval.modelVersion = 25;
  fs::create_directories(game.Path() / "raw" / "xmodelsurfs");
  ASSERT_EQ(::mkfifo((game.Path() / "raw" / "xmodelsurfs" / "fifo").c_str(), 0644), 0);
  EXPECT_FALSE(retrieval.CopyFromRawFolder("fifo", "xmodelsurfs"));  // no writer: must not wait
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_NE(notifier.messages[0].find("is not a regular file"), std::string::npos);
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's own memory use hides the copy's";
#else
  const fs::path big = game.Path() / "raw" / "xmodelsurfs" / "big";
  std::ofstream(big).close();
  fs::resize_file(big, 64u << 20);
  // The copy runs in a child whose data may grow by 24 MiB only: a copy that holds the
  // whole 64 MiB file in memory fails there.
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::ifstream status("/proc/self/status");
    std::string line;
    rlim_t data = 0;
    while (std::getline(status, line))
      if (line.rfind("VmData:", 0) == 0) data = std::stoull(line.substr(7)) * 1024;
    rlimit limit{data + (24u << 20), data + (24u << 20)};
    setrlimit(RLIMIT_DATA, &limit);
    _exit(retrieval.CopyFromRawFolder("big", "xmodelsurfs") ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(fs::file_size(work.Path() / "xmodelsurfs" / "big"), 64u << 20);
#endif
}

}  // namespace
}  // namespace tessary
