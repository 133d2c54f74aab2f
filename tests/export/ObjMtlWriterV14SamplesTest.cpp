// The first game's real models, when the samples are present: every model fills its tree
// with every file found (names mix letter cases), and every level exports an OBJ whose
// faces stay within its vertices and an MTL with one block per distinct texture.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>

#include "fixtures/TempWorkdir.h"
#include "model/ModelV14.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

void ExpectAllPresent(const TreeItem& item) {
  EXPECT_NE(item.image, kImageMissing) << item.text;
  for (const auto& child : item.children) ExpectAllPresent(*child);
}

TEST(ObjMtlWriterV14Samples, EveryModelLoadsAndExports) {
  auto samples = test::SamplesDir();
  if (samples.empty()) GTEST_SKIP() << "no sample models";
  test::TempWorkdir wd;  // a writable copy, exported into its own obj folder
  fs::copy(samples / "cod1", wd.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);

  int levels = 0;
  for (const auto& entry : fs::directory_iterator(wd.Path() / "xmodel")) {
    std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    ModelTree tree;
    ShowModelTree(tree, wd.Str(), name, 14);
    ExpectAllPresent(*tree.Root());

    CModelV14 model;
    ASSERT_TRUE(model.Open(wd.ModelFolder(), name));
    ASSERT_NE(model.LoadLods(), nullptr);
    model.LoadParts(0);
    if (name == "equipment_german_kappe") {  // its surface lies on part 2
      ASSERT_EQ(model.parts.count(), 3);
      EXPECT_EQ(model.parts.parts[2].name, "bip01 head");
    }
    for (const LodEntry& lod : model.lods) {
      int level = static_cast<int>(&lod - model.lods.data());
      ASSERT_TRUE(model.WriteMtl(level));
      ASSERT_TRUE(model.WriteObj(level));
      ++levels;
      std::set<std::string> distinct;
      for (const auto& m : lod.materials) distinct.insert(m.name);
      auto mtl = wd.Read("obj/" + lod.surfsName + ".mtl");
      std::string mtlText(mtl.begin(), mtl.end());
      size_t blocks = 0;
      for (size_t at = 0; (at = mtlText.find("newmtl ", at)) != std::string::npos; ++at) ++blocks;
      EXPECT_EQ(blocks, distinct.size());

      auto obj = wd.Read("obj/" + lod.surfsName + ".obj");
      std::istringstream lines(std::string(obj.begin(), obj.end()));
      long vertices = 0, faces = 0;
      for (std::string line; std::getline(lines, line);) {
        vertices += line.rfind("v ", 0) == 0;
        if (line.rfind("f ", 0) != 0) continue;
        ++faces;
        long a, a2, b, b2, c, c2;
        ASSERT_EQ(std::sscanf(line.c_str(), "f %ld/%ld %ld/%ld %ld/%ld", &a, &a2, &b, &b2, &c, &c2), 6);
        for (long i : {a, b, c}) ASSERT_TRUE(i >= 1 && i <= vertices) << line;
      }
      EXPECT_GT(faces, 0);
    }
  }
  EXPECT_EQ(levels, 6);  // five models, one of them with two levels
}

}  // namespace
}  // namespace tessary
