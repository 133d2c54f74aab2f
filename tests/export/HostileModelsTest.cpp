// Models shared by strangers: names in a header that step out of the working folder, and
// a level whose files cannot all be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "export/ModelExport.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
namespace v14 = test::v14;
namespace v20 = test::v20;
namespace v25 = test::v25;

size_t Count(const fs::path& folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(HostileModels, ANameWithAFolderStepReachesNothingOutsideTheWorkingFolder) {
  for (const std::string evil : {"../../out/evil", "..\\..\\out\\evil"}) {
    for (int version : {14, 20, 25}) {
      SCOPED_TRACE(evil + " version " + std::to_string(version));
      test::TempWorkdir root;
      const fs::path work = root.Path() / "work";
      for (const char* sub : {"obj", "xmodel", "xmodelsurfs", "xmodelparts", "materials", "images"})
        fs::create_directories(work / sub);
      // The surfaces file the name leads to exists, beside the working folder.
      root.Write("work/xmodel/m", version == 14   ? v14::Header({evil}, v14::Lists({{"a.dds"}}))
                                  : version == 20 ? v20::Header({{evil, 0, {"mtl_a"}}})
                                                  : v25::Header("", {{evil, 0}}, {{"mtl_a"}}));
      root.Write("out/evil", version == 14   ? v14::Surfaces({{0, {{0, 1, 2}}, {{}, {}, {}}}})
                             : version == 20 ? v20::Surfaces({v20::Triangle()})
                                             : v25::Surfaces({v25::Triangle()}));
      for (bool x : {false, true}) {
        ExportOutcome outcome = x ? ExportXFile(work.string(), "m", std::nullopt)
                                  : ExportObjFiles(work.string(), "m", std::nullopt);
        EXPECT_FALSE(outcome.ok);
        if (version != 25 && x) continue;  // refused for its version
        EXPECT_NE(outcome.error.find((work / "xmodel" / "m").string()), std::string::npos) << outcome.error;
        EXPECT_NE(outcome.error.find("not a plain file name (it holds a folder step)"), std::string::npos)
            << outcome.error;
      }
      EXPECT_EQ(Count(root.Path() / "out"), 1u);  // evil alone: no .obj, .mtl or .x beside it
      EXPECT_EQ(Count(work / "obj"), 0u);
      // The tree does not look outside either: the level shows as missing.
      ModelTree tree;
      ShowModelTree(tree, work.string(), "m", static_cast<uint8_t>(version));
      ASSERT_FALSE(tree.Root()->children[0]->children.empty());
      EXPECT_EQ(tree.Root()->children[0]->children[0]->image, kImageMissing);
    }
  }
  // A material name that steps out is refused as well, naming the model.
  test::TempWorkdir wd;
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a", "..\\..\\secret"}}}));
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle()}));
  ExportOutcome outcome = ExportObjFiles(wd.Str(), "m", std::nullopt);
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.error.find("names the material \"..\\..\\secret\""), std::string::npos) << outcome.error;
  EXPECT_FALSE(ExportObjFiles(wd.Str(), "../xmodel/m", std::nullopt).ok);
}

TEST(HostileModels, ALevelsFilesAppearTogetherOrNotAtAll) {
  test::TempWorkdir wd;
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle()}));
  // The OBJ cannot be written (read-only here; a full disk does the same): no MTL and no
  // tags listing appear without it.
  const fs::path obj = wd.Path() / "obj" / "m_lod0.obj";
  wd.Write("obj/m_lod0.obj", test::ByteWriter().Raw("old"));
  ::chmod(obj.c_str(), 0444);
  ExportOutcome outcome = ExportObjFiles(wd.Str(), "m", std::nullopt);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.error, obj.string() + " is read-only");
  EXPECT_TRUE(outcome.written.empty());
  EXPECT_EQ(Count(wd.Path() / "obj"), 1u);
  ::chmod(obj.c_str(), 0644);
  outcome = ExportObjFiles(wd.Str(), "m", std::nullopt);
  EXPECT_TRUE(outcome.ok) << outcome.error;
  EXPECT_EQ(outcome.written.size(), 3u);
  EXPECT_EQ(Count(wd.Path() / "obj"), 3u);
}

}  // namespace
}  // namespace tessary
