// The model tree of each version, with the images, bold flags and level numbers of its
// items, and the bare tree of headers this program cannot read.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

using test::ByteWriter;
namespace v14 = test::v14;
namespace v20 = test::v20;
namespace v25 = test::v25;

// "text/image", then "/bold" and "/lodN" when set, then the children in brackets.
std::string Flat(const TreeItem& item) {
  std::string s = item.text + "/" + std::to_string(item.image) + (item.bold ? "/bold" : "") +
                  (item.data ? "/lod" + std::to_string(*item.data) : "");
  for (const auto& c : item.children) s += (c == item.children.front() ? "[" : " ") + Flat(*c);
  return item.children.empty() ? s : s + "]";
}

TEST(ModelTree, EveryVersionAndUnreadableHeaders) {
  test::TempWorkdir wd;
  // A repeated material shows once; a .dds image wins over an .iwi; one only in .iwi form
  // is bold; an empty image name still gets ".iwi"; a missing material file has no image item.
  wd.Write("xmodel/tank", v20::Header({{"tank_lod0", 1, {"mtl_dds", "mtl_iwi", "mtl_dds", "mtl_none", "mtl_lost"}},
                                       {"tank_lod1", 0, {"mtl_iwi"}}}));
  wd.Write("xmodelsurfs/tank_lod0", v20::Surfaces({}));
  wd.Write("xmodelparts/tank_lod0", v20::Parts({{0, {}, "root"}}));
  for (auto [m, image] : {std::pair{"mtl_dds", "a"}, {"mtl_iwi", "b"}, {"mtl_none", ""}})
    wd.Write("materials/" + std::string(m), v20::Material(image));
  for (const char* image : {"images/a.dds", "images/a.iwi", "images/b.iwi"}) wd.Write(image, ByteWriter().Raw("x"));
  // Level 0's name is too short to be present: the parts item carries it.
  wd.Write("xmodel/short0", v20::Header({{"abcd", 1, {"mtl_a"}}, {"m_lod1", 0, {"mtl_b"}}}));
  // Version 14 textures have no image items and are found in any letter case; the second
  // list goes to the absent level 1.
  wd.Write("xmodel/gun", v14::Header({"gun_lod0", "abcd", "gun_lod2"},
                                     v14::Lists({{"wall.dds", "Floor.dds", "wall.dds"}, {"x.dds"}})));
  wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces({}));
  wd.Write("xmodelparts/gun_lod0", v14::Parts({{0, {0, 0, 0}, "root"}}));
  wd.Write("materials/WALL.dds", ByteWriter().Raw("DDS "));
  wd.Write("xmodel/v25", v25::Header("", {{"m_lod0", 1}, {"m_lod1", 0}}, {{"mtl_iwi", "mtl_iwi", "mtl_b"}, {"mtl_b"}}));
  wd.Write("xmodelsurfs/m_lod0", v25::Surfaces({v25::Triangle()}));
  ByteWriter wide = v20::Header({{"m_lod0", 0, {"mtl_a"}}});
  wide.Data()[1] = 1;  // first byte 20, but the version word is 276
  wd.Write("xmodel/wide", wide);

  const std::pair<const char*, std::string> cases[] = {
      {"tank", "tank/0[Surfaces/0[tank_lod0/1/bold/lod0[Materials/0[mtl_dds/1[a.dds/1] mtl_iwi/1[b.iwi/1/bold] "
               "mtl_none/1[.iwi/2] mtl_lost/2]] tank_lod1/2/bold/lod1[Materials/0[mtl_iwi/1[b.iwi/1/bold]]]] "
               "Parts (Tags)/0[tank_lod0/1]]"},
      {"short0", "short0/0[Surfaces/0[m_lod1/2/bold/lod1[Materials/0[mtl_b/2]]] Parts (Tags)/0[/2]]"},
      {"gun", "gun/0[Surfaces/0[gun_lod0/1/bold/lod0[Materials/0[wall.dds/1 Floor.dds/2]] "
              "gun_lod2/2/bold/lod2[Materials/0]] Parts (Tags)/0[gun_lod0/1]]"},
      {"v25", "v25/0[Surfaces/0[m_lod0/1/bold/lod0[Materials/0[mtl_iwi/1[b.iwi/1/bold] mtl_b/2]] "
              "m_lod1/2/bold/lod1[Materials/0[mtl_b/2]]] Parts (Tags)/0[m_lod0/2]]"},
      {"wide", "wide/0[Surfaces/0 Parts (Tags)/0]"},
      {"missing", "missing/0[Surfaces/0 Parts (Tags)/0]"},
  };
  for (const auto& [name, expected] : cases) {
    ModelTree tree;
    ShowModelTree(tree, wd.Str(), name, ReadModelVersion(wd.ModelFolder() + "\\" + name).value_or(0));
    EXPECT_EQ(Flat(*tree.Root()), expected);
  }
  EXPECT_EQ(ReadModelVersion(wd.ModelFolder() + "\\wide"), 20);
  EXPECT_EQ(ReadModelVersion(wd.Str() + "\\xmodel"), std::nullopt);  // a folder
}

}  // namespace
}  // namespace tessary
