// The first game's real models: every sample loads, fills its tree and decodes surfaces
// whose strips stay within their vertices. Skipped when the samples are not there.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "fixtures/TempWorkdir.h"
#include "model/ModelV14.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

struct Expected {
  std::vector<int> surfacesPerLevel;
  std::vector<std::string> level0Materials;  // distinct, in order
};

const std::map<std::string, Expected>& Samples() {
  static const std::map<std::string, Expected> samples = {
      {"worldmodel_enfield", {{1}, {"viewmodel@weapon_enfieldz.dds"}}},
      {"equipment_german_kappe", {{1}, {"cloth@kappe.dds"}}},
      {"viewmodel_colt", {{4}, {"viewmodel@weapon_colt45.dds"}}},
      {"worldmodel_mp40",
       {{4, 4}, {"viewmodel@MP40body.dds", "viewmodel@MP40sight.dds", "viewmodel@MP40reciever.dds"}}},
      {"worldmodel_trenchgun",
       {{7}, {"shotgunBarrel.jpg", "shotgunCooler.tga", "shotgunStock.jpg"}}},
  };
  return samples;
}

TEST(ModelV14Samples, EveryModelLoadsWithConsistentStrips) {
  auto dir = test::SamplesDir();
  if (dir.empty()) GTEST_SKIP() << "no sample models";
  std::string workdir = (dir / "cod1").string();
  for (const auto& [name, expected] : Samples()) {
    SCOPED_TRACE(name);
    ASSERT_EQ(ReadModelVersion(workdir + "\\xmodel\\" + name), 14);

    ModelTree tree;
    ShowModelTree(tree, workdir, name, 14);
    const TreeItem& surfaces = *tree.Root()->children.at(0);
    ASSERT_EQ(surfaces.children.size(), expected.surfacesPerLevel.size());
    for (const auto& level : surfaces.children) {
      EXPECT_EQ(level->image, kImagePresent) << level->text;  // found whatever its case
      for (const auto& material : level->children.at(0)->children)
        EXPECT_EQ(material->image, kImagePresent) << material->text;
    }
    std::vector<std::string> materials;
    for (const auto& m : surfaces.children[0]->children.at(0)->children) materials.push_back(m->text);
    EXPECT_EQ(materials, expected.level0Materials);
    EXPECT_EQ(tree.Root()->children.at(1)->children.at(0)->image, kImagePresent);

    CModelV14 model;
    ASSERT_TRUE(model.Open(workdir + "\\xmodel", name));
    ASSERT_NE(model.LoadLods(), nullptr);
    model.LoadParts(0);
    if (name == "equipment_german_kappe") {
      // Its surface is bound to part 2; the names show that the 24 bytes after each were
      // stepped over.
      ASSERT_EQ(model.parts.count(), 3);
      EXPECT_EQ(model.parts.parts[0].name, "bip01 spine2");
      EXPECT_EQ(model.parts.parts[2].name, "bip01 head");
    }
    for (size_t level = 0; level < expected.surfacesPerLevel.size(); ++level) {
      ASSERT_TRUE(model.LoadSurfaces(static_cast<int>(level), false));
      ASSERT_EQ(model.curSurfaceCount, expected.surfacesPerLevel[level]);
      EXPECT_LE(static_cast<int>(model.lods[level].materials.size()), model.curSurfaceCount);
      for (const Surface& s : *model.curSurfaces) {
        EXPECT_TRUE(s.facesLoaded);
        EXPECT_GT(s.vertexCount, 0);
        for (const TriList& strip : s.triLists)
          for (uint16_t i : strip.indices) ASSERT_LT(i, s.vertexCount);
        for (const Vertex& v : s.vertices)
          for (float c : v.position) ASSERT_TRUE(std::isfinite(c) && std::fabs(c) < 1e5f);
      }
    }
  }
}

}  // namespace
}  // namespace tessary
