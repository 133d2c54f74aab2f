// Fetching missing files into the working folder and what the model tree shows after.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fixtures/IwiWriter.h"
#include "fixtures/MemorySettingsStore.h"
#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "fixtures/ZipWriter.h"
#include "model/ShowModelTree.h"
#include "platform/IniRegistry.h"
#include "workspace/Retrieval.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
namespace v20 = test::v20;
using test::RecordingNotifier;
using test::TempWorkdir;

std::string Bytes(const test::ByteWriter& w) { return std::string(w.Data().begin(), w.Data().end()); }

// A small single-level DXT1 image.
test::ByteWriter SmallIwi() {
  return test::Iwi({0x0B, 3, 4, 4, 36, 36, 36, 36}).Append(test::Ramp(8, 1));
}

const TreeItem* Find(const TreeItem& item, const std::string& text) {
  if (item.text == text) return &item;
  for (const auto& c : item.children)
    if (const TreeItem* f = Find(*c, text)) return f;
  return nullptr;
}

std::string Lines(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(RetrievalTreeTest, FolderForItemAndMarkPresent) {
  ModelTree tree;
  TreeItem& root = tree.SetRoot("tank");
  TreeItem& surfaces = root.AddChild("Surfaces", kImageGroup);
  TreeItem& level = surfaces.AddChild("tank0", kImageMissing);
  TreeItem& materials = level.AddChild("Materials", kImageGroup);
  TreeItem& material = materials.AddChild("mtl_a", kImageMissing);
  TreeItem& image = material.AddChild("a.iwi", kImageMissing);
  TreeItem& parts = root.AddChild("Parts (Tags)", kImageGroup);
  TreeItem& part = parts.AddChild("tank0", kImageMissing);
  TreeItem& odd = surfaces.AddChild("materials", kImageGroup).AddChild("x", kImageMissing);

  EXPECT_EQ(FolderForItem(level), "xmodelsurfs");
  EXPECT_EQ(FolderForItem(part), "xmodelparts");
  EXPECT_EQ(FolderForItem(material), "materials");
  EXPECT_EQ(FolderForItem(image), "images");
  EXPECT_EQ(FolderForItem(root), "");
  EXPECT_EQ(FolderForItem(surfaces), "");
  EXPECT_EQ(FolderForItem(materials), "");
  EXPECT_EQ(FolderForItem(odd), "");  // the comparison is case-sensitive

  MarkPresent(root, "tank0");
  EXPECT_EQ(level.image, kImagePresent);
  EXPECT_EQ(part.image, kImagePresent);
  EXPECT_EQ(image.image, kImageMissing);
  MarkPresent(root, "A.IWI");
  EXPECT_EQ(image.image, kImageMissing);
}

TEST(RetrievalTreeTest, WinRarCommandLine) {
  EXPECT_EQ(BuildWinRarCommandLine("E:\\Tools\\WinRAR.exe", "D:\\Games\\CoD2\\", "x.iwi", "D:\\Work"),
            "E:\\Tools\\WinRAR.exe x -INUL -y -IBCK \"D:\\Games\\CoD2\\main\\iw_*.iwd\" x.iwi* \"D:\\Work\"");
}

struct RetrievalTest : ::testing::Test {
  TempWorkdir work;
  TempWorkdir game;  // main/iw_*.iwd, and raw/ for the fourth game
  test::MemorySettingsStore profile;
  IniRegistry registry{game.Path() / "registry.ini"};
  Workspace ws{profile, registry};
  Retrieval retrieval{ws};
  ModelTree tree;
  int reloads = 0;

  void SetUp() override {
    ws.workingFolder = work.Str();
    ws.cod2Path = game.Str() + "/";
    ws.cod4Path = game.Str() + "/";
    fs::create_directories(game.Path() / "main");
    retrieval.reloadModel = [this] {
      ++reloads;
      retrieval.modelVersion = ReadModelVersion(work.ModelFolder() + "\\tank").value_or(0);
      ShowModelTree(tree, work.Str(), "tank", retrieval.modelVersion);
    };
  }
  void Load() {
    retrieval.reloadModel();
    reloads = 0;
  }
  // A fake archiver that records its arguments and copies `file` into the working folder.
  std::string FakeWinRar(const std::string& copyTo) {
    auto script = game.Path() / "winrar.sh";
    std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done >> \""
                          << (game.Path() / "log").string() << "\"\necho >> \"" << (game.Path() / "log").string()
                          << "\"\n" << (copyTo.empty() ? "" : "cp \"" + (game.Path() / "payload").string() + "\" \"$7/" + copyTo + "\"\n");
    fs::permissions(script, fs::perms::owner_all);
    return script.string();
  }
};

TEST_F(RetrievalTest, RetrieveAllFetchesMaterialsThenTheirImages) {
  work.Write("xmodel/tank", v20::Header({{"tank0", 0, {"mtl_a"}}}));
  work.Write("xmodelsurfs/tank0", v20::Surfaces({v20::Triangle()}));
  test::WriteZip(game.Path() / "main" / "iw_00.iwd",
                 {{"materials/mtl_a", Bytes(v20::Material("a_col"))},
                  {"images/a_col.iwi", Bytes(SmallIwi())},
                  {"xmodelparts/tank0", Bytes(v20::Parts({{0, {0, 0, 0}, "root"}}))}});
  Load();
  ASSERT_EQ(Find(*tree.Root(), "a_col.iwi"), nullptr);  // the material hides its image

  RecordingNotifier notifier;
  EXPECT_EQ(retrieval.RetrieveAllFiles(tree), Retrieval::Pass::SecondPassDue);
  EXPECT_EQ(retrieval.allPassToggle, 0);
  ASSERT_NE(Find(*tree.Root(), "a_col.iwi"), nullptr);
  EXPECT_EQ(Find(*tree.Root(), "a_col.iwi")->image, kImageMissing);
  EXPECT_EQ(retrieval.RetrieveAllFiles(tree), Retrieval::Pass::Finished);
  EXPECT_EQ(retrieval.allPassToggle, 1);
  EXPECT_EQ(reloads, 2);

  EXPECT_TRUE(work.Exists("materials/mtl_a"));
  EXPECT_TRUE(work.Exists("xmodelparts/tank0"));
  EXPECT_FALSE(work.Exists("images/a_col.iwi"));  // converted, then deleted
  auto dds = work.Read("images/a_col.dds");
  ASSERT_EQ(dds.size(), 128u + 8);
  EXPECT_EQ(std::string(dds.begin() + 84, dds.begin() + 88), "DXT1");
  const TreeItem* image = Find(*tree.Root(), "a_col.dds");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->image, kImagePresent);
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(RetrievalTest, SharedImageIsFetchedOnceThroughWinRar) {
  work.Write("xmodel/tank", v20::Header({{"tank0", 0, {"mtl_a", "mtl_b", "mtl_c"}}}));
  work.Write("xmodelsurfs/tank0", v20::Surfaces({v20::Triangle()}));
  work.Write("xmodelparts/tank0", v20::Parts({{0, {0, 0, 0}, "root"}}));
  for (const char* m : {"mtl_a", "mtl_b", "mtl_c"}) work.Write(std::string("materials/") + m, v20::Material("shared"));
  std::ofstream(game.Path() / "payload", std::ios::binary) << Bytes(SmallIwi());
  ws.winrarPath = FakeWinRar("images/shared.iwi");
  Load();

  RecordingNotifier notifier;
  while (retrieval.RetrieveAllFiles(tree) == Retrieval::Pass::SecondPassDue) {
  }
  EXPECT_EQ(Lines(game.Path() / "log"), "[x][-INUL][-y][-IBCK][" + game.Str() + "/main\\iw_*.iwd][shared.iwi*][" +
                                             work.Str() + "]\n");
  EXPECT_TRUE(work.Exists("images/shared.dds"));
  EXPECT_FALSE(work.Exists("images/shared.iwi"));
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(RetrievalTest, RetrieveFileFailures) {
  work.Write("xmodel/tank", v20::Header({{"tank0", 0, {"mtl_a"}}}));
  Load();
  RecordingNotifier notifier;
  // A group has no folder.
  retrieval.RetrieveFile(*tree.Root()->children[0]);
  EXPECT_EQ(notifier.messages, std::vector<std::string>{"Cannot retrieve file."});
  EXPECT_EQ(notifier.beeps, std::vector<BeepKind>{BeepKind::Type2});
  // WinRAR that cannot be started.
  ws.winrarPath = (game.Path() / "absent" / "WinRAR.exe").string();
  retrieval.RetrieveFile(*tree.Root()->children[0]->children[0]);
  EXPECT_EQ(notifier.messages.back(), "Failed to start WinRAR.");
  EXPECT_EQ(notifier.beeps.back(), BeepKind::Simple);
  // Another version: nothing is run, a simple beep.
  ws.winrarPath = FakeWinRar("");
  retrieval.modelVersion = 14;
  retrieval.RetrieveFile(*tree.Root()->children[0]->children[0]);
  EXPECT_EQ(notifier.beeps.back(), BeepKind::Simple);
  EXPECT_FALSE(fs::exists(game.Path() / "log"));
  EXPECT_EQ(reloads, 0);
}

TEST_F(RetrievalTest, FourthGameFilesComeFromTheRawFolderFirst) {
  fs::create_directories(game.Path() / "raw" / "xmodelsurfs");
  std::ofstream(game.Path() / "raw" / "xmodelsurfs" / "hatch_lod0") << "surfaces";
  ws.winrarPath = FakeWinRar("");
  retrieval.modelVersion = 25;
  retrieval.reloadModel = [this] { ++reloads; };
  TreeItem& root = tree.SetRoot("hatch");
  TreeItem& surface = root.AddChild("Surfaces", kImageGroup).AddChild("hatch_lod0", kImageMissing);
  TreeItem& part = root.AddChild("Parts (Tags)", kImageGroup).AddChild("hatch_lod0", kImageMissing);

  retrieval.RetrieveFile(surface);
  EXPECT_EQ(Lines(work.Path() / "xmodelsurfs" / "hatch_lod0"), "surfaces");
  EXPECT_EQ(reloads, 1);
  EXPECT_FALSE(fs::exists(game.Path() / "log"));
  // Not in the raw folder: the archives of the fourth game.
  retrieval.RetrieveFile(part);
  EXPECT_NE(Lines(game.Path() / "log").find("[hatch_lod0*]"), std::string::npos);
  EXPECT_EQ(reloads, 2);
  // A name with folder steps reaches nothing outside the working folder.
  std::ofstream(game.Path() / "raw" / "outside") << "raw";
  work.Write("outside.iwi", SmallIwi());
  EXPECT_FALSE(retrieval.CopyFromRawFolder("../outside", "xmodelsurfs"));
  TreeItem& image = root.AddChild("Materials", kImageGroup).AddChild("m", kImageMissing).AddChild("..\\outside.iwi", kImageMissing);
  retrieval.RetrieveFile(image);
  EXPECT_TRUE(work.Exists("outside.iwi"));  // neither converted nor deleted
  EXPECT_FALSE(work.Exists("outside.dds"));
  EXPECT_FALSE(work.Exists("outside"));
  // Other versions never read the raw folder.
  retrieval.modelVersion = 20;
  EXPECT_FALSE(retrieval.CopyFromRawFolder("hatch_lod0", "xmodelsurfs"));
}

}  // namespace
}  // namespace tessary
