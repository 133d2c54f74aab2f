// The model tree of a version 20 model: which items appear, in which order, with which
// image, bold flag and item data; and the bare tree of headers this program cannot read.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/ShowModelTree.h"
#include "model/TreeFiller.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::TempWorkdir;
namespace v20 = test::v20;

// "text/image/bold/data" of an item, compact enough to compare whole levels.
std::string Describe(const TreeItem& item) {
  std::string s = item.text + "/" + std::to_string(item.image);
  if (item.bold) s += "/bold";
  if (item.data) s += "/lod" + std::to_string(*item.data);
  return s;
}

std::vector<std::string> Children(const TreeItem& item) {
  std::vector<std::string> out;
  for (const auto& c : item.children) out.push_back(Describe(*c));
  return out;
}

using Lines = std::vector<std::string>;

TEST(ModelTree, Version20TreeMarksFilesAndIwiOnlyImages) {
  TempWorkdir wd;
  wd.Write("xmodel/tank", v20::Header({{"tank_lod0", 1, {"mtl_dds", "mtl_iwi", "mtl_dds", "mtl_none", "mtl_lost"}},
                                       {"tank_lod1", 0, {"mtl_iwi"}}}));
  wd.Write("xmodelsurfs/tank_lod0", v20::Surfaces({}));
  wd.Write("xmodelparts/tank_lod0", v20::Parts({{0, {}, "root"}}));
  wd.Write("materials/mtl_dds", v20::Material("a"));
  wd.Write("materials/mtl_iwi", v20::Material("b"));
  wd.Write("materials/mtl_none", v20::Material("c"));
  wd.Write("images/a.dds", ByteWriter().Raw("DDS "));
  wd.Write("images/a.iwi", ByteWriter().Raw("IWi"));
  wd.Write("images/b.iwi", ByteWriter().Raw("IWi"));

  ModelTree tree;
  ShowModelTree(tree, wd.Str(), "tank", 20);
  const TreeItem& root = *tree.Root();
  EXPECT_EQ(Describe(root), "tank/0");
  ASSERT_EQ(Children(root), (Lines{"Surfaces/0", "Parts (Tags)/0"}));
  const TreeItem& surfaces = *root.children[0];
  EXPECT_EQ(Children(surfaces), (Lines{"tank_lod0/1/bold/lod0", "tank_lod1/2/bold/lod1"}));
  EXPECT_EQ(Children(*root.children[1]), Lines{"tank_lod0/1"});

  const TreeItem& level0 = *surfaces.children[0];
  ASSERT_EQ(Children(level0), Lines{"Materials/0"});
  const TreeItem& materials = *level0.children[0];
  // The repeated material once; a missing material file gets no image item.
  EXPECT_EQ(Children(materials), (Lines{"mtl_dds/1", "mtl_iwi/1", "mtl_none/1", "mtl_lost/2"}));
  EXPECT_EQ(Children(*materials.children[0]), Lines{"a.dds/1"});
  EXPECT_EQ(Children(*materials.children[1]), Lines{"b.iwi/1/bold"});
  EXPECT_EQ(Children(*materials.children[2]), Lines{"c.iwi/2"});
  EXPECT_TRUE(materials.children[3]->children.empty());
  EXPECT_EQ(materials.children[1]->parent, &materials);

  CTreeFillerV20 filler;
  ModelTree again;
  TreeItem& r = again.SetRoot("tank");
  TreeItem& s = r.AddChild(kSurfacesGroup, kImageGroup);
  TreeItem& p = r.AddChild(kPartsGroup, kImageGroup);
  EXPECT_EQ(filler.FillModelTree(s, p, wd.Str(), "tank"), 0);  // tank_lod1 is missing
  wd.Write("xmodelsurfs/TANK_LOD1", v20::Surfaces({}));
  ModelTree complete;
  TreeItem& r2 = complete.SetRoot("tank");
  EXPECT_EQ(filler.FillModelTree(r2.AddChild(kSurfacesGroup, 0), r2.AddChild(kPartsGroup, 0), wd.Str(), "tank"), 1);
}

TEST(ModelTree, ItemDataCountsAbsentLevels) {
  TempWorkdir wd;
  // Level 0's name is too short to be present: the parts item still carries its (empty)
  // name, and the one surfaces item carries index 1.
  wd.Write("xmodel/m", v20::Header({{"abc", 1, {"mtl_a"}}, {"m_lod1", 0, {"mtl_b"}}}));
  ModelTree tree;
  ShowModelTree(tree, wd.Str(), "m", 20);
  const TreeItem& root = *tree.Root();
  EXPECT_EQ(Children(*root.children[0]), Lines{"m_lod1/2/bold/lod1"});
  EXPECT_EQ(Children(*root.children[1]), Lines{"/2"});
  EXPECT_EQ(Children(*root.children[0]->children[0]->children[0]), Lines{"mtl_b/2"});
}

TEST(ModelTree, EmptyLevelListHasNoPartsItem) {
  TempWorkdir wd;
  wd.Write("xmodel/m", v20::Header({{"", 0, {}}}));
  ModelTree tree;
  ShowModelTree(tree, wd.Str(), "m", 20);
  EXPECT_TRUE(tree.Root()->children[0]->children.empty());
  EXPECT_TRUE(tree.Root()->children[1]->children.empty());
}

TEST(ModelTree, UnreadableHeadersGiveTheRootAndTwoEmptyGroups) {
  TempWorkdir wd;
  ByteWriter wide = v20::Header({{"m_lod0", 0, {"mtl_a"}}});
  wide.Data()[1] = 1;  // first byte 20, but the version word is 276
  wd.Write("xmodel/wide", wide);
  wd.Write("xmodel/short", ByteWriter());
  wd.Write("xmodel/odd", ByteWriter().U16(99).Fill(40, 'a'));
  for (const char* name : {"wide", "short", "odd", "missing"}) {
    SCOPED_TRACE(name);
    auto version = ReadModelVersion(wd.ModelFolder() + "\\" + name);
    ModelTree tree;
    ShowModelTree(tree, wd.Str(), name, version.value_or(0));
    ASSERT_EQ(Children(*tree.Root()), (Lines{"Surfaces/0", "Parts (Tags)/0"}));
    EXPECT_TRUE(tree.Root()->children[0]->children.empty());
    EXPECT_TRUE(tree.Root()->children[1]->children.empty());
  }
  EXPECT_EQ(ReadModelVersion(wd.ModelFolder() + "\\wide"), 20);
  EXPECT_EQ(ReadModelVersion(wd.ModelFolder() + "\\short"), 0);  // too short: unknown
  EXPECT_EQ(ReadModelVersion(wd.ModelFolder() + "\\missing"), std::nullopt);
  EXPECT_EQ(ReadModelVersion(wd.Str() + "\\xmodel"), std::nullopt);  // a folder
}

}  // namespace
}  // namespace tessary
