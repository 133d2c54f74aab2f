// The model tree of each version: which items appear, in which order, with which image,
// bold flag and item data; and the bare tree of headers this program cannot read.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::TempWorkdir;
using Lines = std::vector<std::string>;
namespace v14 = test::v14;
namespace v20 = test::v20;
namespace v25 = test::v25;

// "text/image/bold/data" of each child, compact enough to compare whole levels.
Lines Children(const TreeItem& item) {
  Lines out;
  for (const auto& c : item.children) {
    std::string s = c->text + "/" + std::to_string(c->image);
    if (c->bold) s += "/bold";
    if (c->data) s += "/lod" + std::to_string(*c->data);
    out.push_back(s);
  }
  return out;
}

const TreeItem& Materials(const TreeItem& level) { return *level.children.at(0); }

TEST(ModelTree, Version20MarksFilesAndIwiOnlyImages) {
  TempWorkdir wd;
  wd.Write("xmodel/tank", v20::Header({{"tank_lod0", 1, {"mtl_dds", "mtl_iwi", "mtl_dds", "mtl_none", "mtl_lost"}},
                                       {"tank_lod1", 0, {"mtl_iwi"}}}));
  wd.Write("xmodelsurfs/tank_lod0", v20::Surfaces({}));
  wd.Write("xmodelparts/tank_lod0", v20::Parts({{0, {}, "root"}}));
  wd.Write("materials/mtl_dds", v20::Material("a"));
  wd.Write("materials/mtl_iwi", v20::Material("b"));
  wd.Write("materials/mtl_none", v20::Material("c"));
  for (const char* image : {"images/a.dds", "images/a.iwi", "images/b.iwi"}) wd.Write(image, ByteWriter().Raw("x"));

  ModelTree tree;
  ShowModelTree(tree, wd.Str(), "tank", 20);
  const TreeItem& root = *tree.Root();
  ASSERT_EQ(Children(root), (Lines{"Surfaces/0", "Parts (Tags)/0"}));
  EXPECT_EQ(Children(*root.children[0]), (Lines{"tank_lod0/1/bold/lod0", "tank_lod1/2/bold/lod1"}));
  EXPECT_EQ(Children(*root.children[1]), Lines{"tank_lod0/1"});
  const TreeItem& materials = Materials(*root.children[0]->children[0]);
  // The repeated material once; a missing material file gets no image item.
  EXPECT_EQ(Children(materials), (Lines{"mtl_dds/1", "mtl_iwi/1", "mtl_none/1", "mtl_lost/2"}));
  EXPECT_EQ(Children(*materials.children[0]), Lines{"a.dds/1"});
  EXPECT_EQ(Children(*materials.children[1]), Lines{"b.iwi/1/bold"});
  EXPECT_EQ(Children(*materials.children[2]), Lines{"c.iwi/2"});
  EXPECT_TRUE(materials.children[3]->children.empty());

  // Level 0's name too short to be present: the parts item carries its (empty) name, and
  // the one surfaces item index 1. An empty level list has no parts item either.
  wd.Write("xmodel/m", v20::Header({{"abc", 1, {"mtl_a"}}, {"m_lod1", 0, {"mtl_b"}}}));
  ShowModelTree(tree, wd.Str(), "m", 20);
  EXPECT_EQ(Children(*tree.Root()->children[0]), Lines{"m_lod1/2/bold/lod1"});
  EXPECT_EQ(Children(*tree.Root()->children[1]), Lines{"/2"});
  wd.Write("xmodel/empty", v20::Header({{"", 0, {}}}));
  ShowModelTree(tree, wd.Str(), "empty", 20);
  EXPECT_TRUE(tree.Root()->children[0]->children.empty());
  EXPECT_TRUE(tree.Root()->children[1]->children.empty());
}

TEST(ModelTree, Version14ShowsTexturesWithoutImages) {
  TempWorkdir wd;
  wd.Write("xmodel/gun", v14::Header({"gun_lod0", "abc", "gun_lod2"},
                                     v14::Lists({{"wall.dds", "Floor.dds", "wall.dds"}, {"x.dds"}})));
  wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces({}));
  wd.Write("xmodelparts/gun_lod0", v14::Parts({{0, {0, 0, 0}, "root"}}));
  wd.Write("materials/WALL.dds", ByteWriter().Raw("DDS "));
  ModelTree tree;
  ShowModelTree(tree, wd.Str(), "gun", 14);
  const TreeItem& surfaces = *tree.Root()->children.at(0);
  EXPECT_EQ(Children(*tree.Root()->children.at(1)), Lines{"gun_lod0/1"});
  ASSERT_EQ(Children(surfaces), (Lines{"gun_lod0/1/bold/lod0", "gun_lod2/2/bold/lod2"}));
  const TreeItem& materials = Materials(*surfaces.children[0]);
  EXPECT_EQ(Children(materials), (Lines{"wall.dds/1", "Floor.dds/2"}));
  EXPECT_TRUE(materials.children[0]->children.empty());
  // The second list went to the absent level 1 (lists fill the table in order).
  EXPECT_TRUE(Materials(*surfaces.children[1]).children.empty());
}

TEST(ModelTree, Version25FillsLevelsMaterialsAndImages) {
  TempWorkdir wd;
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 1}, {"m_lod1", 0}}, {{"mtl_a", "mtl_a", "mtl_b"}, {"mtl_b"}}));
  wd.Write("xmodelsurfs/m_lod0", v25::Surfaces({v25::Triangle()}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("images/a_col.iwi", ByteWriter().Raw("IWi"));
  ModelTree tree;
  ShowModelTree(tree, wd.Str(), "m", 25);
  const TreeItem& surfaces = *tree.Root()->children.at(0);
  EXPECT_EQ(Children(*tree.Root()->children.at(1)), Lines{"m_lod0/2"});
  EXPECT_EQ(Children(surfaces), (Lines{"m_lod0/1/bold/lod0", "m_lod1/2/bold/lod1"}));
  const TreeItem& materials = Materials(*surfaces.children[0]);
  EXPECT_EQ(Children(materials), (Lines{"mtl_a/1", "mtl_b/2"}));
  EXPECT_EQ(Children(*materials.children[0]), Lines{"a_col.iwi/1/bold"});
  EXPECT_TRUE(materials.children[1]->children.empty());
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
    ModelTree tree;
    ShowModelTree(tree, wd.Str(), name, ReadModelVersion(wd.ModelFolder() + "\\" + name).value_or(0));
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
