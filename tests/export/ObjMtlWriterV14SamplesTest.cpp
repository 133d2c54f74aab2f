// Exporting the first game's real models: every level that can be exported gives an OBJ
// whose faces stay within its vertices and an MTL with one block per distinct texture.
// Skipped when the samples are not there.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

#include "fixtures/TempWorkdir.h"
#include "model/ModelV14.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::vector<uint8_t>& bytes) {
  std::vector<std::string> lines;
  std::string text(bytes.begin(), bytes.end());
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "the file does not end with CR LF";
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'));
  return lines;
}

TEST(ObjMtlWriterV14Samples, EveryLevelExportsConsistentFiles) {
  auto samples = test::SamplesDir();
  if (samples.empty()) GTEST_SKIP() << "no sample models";
  test::TempWorkdir wd;
  // A writable copy, so that the exports go to a fresh obj folder.
  fs::copy(samples / "cod1", wd.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);

  int exported = 0;
  for (const auto& entry : fs::directory_iterator(wd.Path() / "xmodel")) {
    std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    CModelV14 model;
    ASSERT_TRUE(model.Open(wd.ModelFolder(), name));
    ASSERT_NE(model.LoadLods(), nullptr);
    model.LoadParts(0);
    for (int level = 0; level < model.lodCount; ++level) {
      const LodEntry& lod = model.lods[static_cast<size_t>(level)];
      if (!lod.present) continue;
      ASSERT_TRUE(model.WriteMtl(level));
      ASSERT_TRUE(model.WriteObj(level));
      ++exported;

      std::set<std::string> distinct;
      for (const auto& m : lod.materials) distinct.insert(m.name);
      size_t blocks = 0;
      for (const auto& line : Lines(wd.Read("obj/" + lod.surfsName + ".mtl")))
        blocks += line.rfind("newmtl ", 0) == 0;
      EXPECT_EQ(blocks, distinct.size());

      long vertices = 0, texCoords = 0, faces = 0;
      for (const auto& line : Lines(wd.Read("obj/" + lod.surfsName + ".obj"))) {
        if (line.rfind("v ", 0) == 0) ++vertices;
        if (line.rfind("vt ", 0) == 0) ++texCoords;
        EXPECT_NE(line.rfind("vn ", 0), 0u);
        if (line.rfind("f ", 0) != 0) continue;
        ++faces;
        std::istringstream corners(line.substr(2));
        std::string corner;
        int count = 0;
        while (corners >> corner) {
          ++count;
          auto slash = corner.find('/');
          ASSERT_NE(slash, std::string::npos) << line;
          long a = std::stol(corner.substr(0, slash)), b = std::stol(corner.substr(slash + 1));
          EXPECT_EQ(a, b) << line;
          EXPECT_GE(a, 1) << line;
          EXPECT_LE(a, vertices) << line;  // within the vertices written so far
        }
        EXPECT_EQ(count, 3) << line;
      }
      EXPECT_EQ(vertices, texCoords);
      EXPECT_GT(faces, 0);
    }
  }
  EXPECT_EQ(exported, 6);  // five models, one of them with two levels
}

}  // namespace
}  // namespace tessary
