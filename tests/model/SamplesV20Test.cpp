// The real version 20 models of the sample folder, when it is there: every model loads,
// fills its tree and decodes every present level without a message, and every triangle
// names a vertex of its own surface.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "model/ModelV20.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

TEST(SamplesV20, EveryModelLoadsAndDecodesCleanly) {
  fs::path samples = test::SamplesDir();
  if (samples.empty() || !fs::is_directory(samples / "cod2" / "xmodel"))
    GTEST_SKIP() << "the sample models are not there";
  std::string workdir = (samples / "cod2").string();

  int models = 0;
  int levels = 0;
  for (const auto& entry : fs::directory_iterator(samples / "cod2" / "xmodel")) {
    if (!entry.is_regular_file()) continue;
    std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    test::RecordingNotifier notes;
    ++models;

    auto version = ReadModelVersion(workdir + "\\xmodel\\" + name);
    ASSERT_EQ(version, 20);
    ModelTree tree;
    ShowModelTree(tree, workdir, name, *version);
    const TreeItem& root = *tree.Root();
    ASSERT_EQ(root.children.size(), 2u);
    // Every level's surfaces file and the parts file are there (some only in another
    // letter case).
    ASSERT_FALSE(root.children[0]->children.empty());
    for (const auto& level : root.children[0]->children) EXPECT_EQ(level->image, kImagePresent);
    ASSERT_EQ(root.children[1]->children.size(), 1u);
    EXPECT_EQ(root.children[1]->children[0]->image, kImagePresent);

    CModelV20 model;
    ASSERT_TRUE(model.Open(workdir + "\\xmodel", name));
    ASSERT_NE(model.LoadLods(), nullptr);
    model.LoadParts(0);
    EXPECT_GT(model.parts.count(), 0);
    for (int lod = 0; lod < model.lodCount; ++lod) {
      if (!model.lods[static_cast<size_t>(lod)].present) continue;
      SCOPED_TRACE("level " + std::to_string(lod));
      ++levels;
      ASSERT_TRUE(model.LoadSurfaces(lod, false));
      ASSERT_GT(model.curSurfaceCount, 0);
      for (const Surface& s : *model.curSurfaces) {
        ASSERT_TRUE(s.facesLoaded);
        ASSERT_EQ(s.triLists.size(), 1u);
        for (uint16_t index : s.triLists[0].indices) ASSERT_LT(index, s.vertexCount);
      }
    }
    EXPECT_TRUE(notes.messages.empty());
  }
  EXPECT_GE(models, 1);
  EXPECT_GE(levels, models);
}

// The models whose material names carry the marker as a prefix read as described: the
// material lists of weapon_g36c start inside its first name.
TEST(SamplesV20, MaterialListsOfKnownModels) {
  fs::path samples = test::SamplesDir();
  if (samples.empty() || !fs::exists(samples / "cod2" / "xmodel" / "viewmodel_g3"))
    GTEST_SKIP() << "the sample models are not there";
  std::string folder = (samples / "cod2").string() + "\\xmodel";

  CModelV20 g3;
  ASSERT_TRUE(g3.Open(folder, "viewmodel_g3"));
  ASSERT_NE(g3.LoadLods(), nullptr);
  ASSERT_EQ(g3.lods[0].materialCount, 3);
  EXPECT_EQ(g3.lods[0].materials[0].name, "mtl_weapon_g3");
  EXPECT_EQ(g3.lods[0].materials[0].imageName, "weapon_g3_col.iwi");

  CModelV20 drone;  // no marker: found by the walk from the end
  ASSERT_TRUE(drone.Open(folder, "droneXaii"));
  ASSERT_NE(drone.LoadLods(), nullptr);
  ASSERT_EQ(drone.lods[0].materialCount, 1);
  EXPECT_EQ(drone.lods[0].materials[0].name, "dronetext");
  EXPECT_EQ(drone.lods[0].materials[0].imageName, "dronetext.iwi");

  CModelV20 g36;
  ASSERT_TRUE(g36.Open(folder, "weapon_g36c"));
  ASSERT_NE(g36.LoadLods(), nullptr);
  ASSERT_EQ(g36.lodCount, 3);
  EXPECT_EQ(g36.lods[0].materialCount, '3');  // "mw3_": the '3' is read as the count
  EXPECT_EQ(g36.lods[0].materials[0].name, "mtl_weapon_g36_iw5");
  EXPECT_EQ(g36.lods[1].materialCount, 0);
}

}  // namespace
}  // namespace tessary
