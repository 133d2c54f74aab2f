// Damaged version 14 files: truncated or corrupted headers, surfaces and parts files are
// loaded, shown and exported without crashing, hanging or reading out of bounds, and huge
// counts in short files do not take long.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "model/ModelV14.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

using test::ByteWriter;
namespace v14 = test::v14;

const char* const kPaths[] = {"xmodel/gun", "xmodelsurfs/gun_lod0", "xmodelparts/gun_lod0"};

std::vector<ByteWriter> ValidFiles() {
  v14::FixtureSurface s{1, {{0, 1, 2, 3}, {3, 2, 1}}, {}};
  for (int i = 0; i < 4; ++i) s.vertices.push_back({0, 0, 1, 0.5f, 0.5f, float(i), 1, 2});
  return {v14::Header({"gun_lod0", "gun_lod1"}, v14::Lists({{"a.dds", "b.dds"}, {"c.dds"}})),
          v14::Surfaces({s, s}),
          v14::Parts({{0, {0, 0, 0}, "root"}, {0, {1, 0, 0}, "a"}, {1, {0, 1, 0}, "b"}})};
}

// Everything a command may do with the model; only surviving matters.
void UseEverything(const test::TempWorkdir& wd) {
  CModelV14 model;
  if (model.Open(wd.ModelFolder(), "gun") && model.LoadLods()) {
    model.LoadParts(0);
    for (int level = 0; level < 3; ++level) {
      model.WriteMtl(level);
      model.WriteObj(level);
    }
  }
  ModelTree tree;
  ShowModelTree(tree, wd.Str(), "gun", 14);
}

TEST(ModelV14Robustness, TruncatedAndCorruptedFiles) {
  test::TempWorkdir wd;
  const auto valid = ValidFiles();
  for (size_t f = 0; f < 3; ++f) wd.Write(kPaths[f], valid[f]);
  for (size_t f = 0; f < 3; ++f) {
    for (size_t length = 0; length < valid[f].Size(); ++length) {
      std::vector<uint8_t> bytes(valid[f].Data().begin(), valid[f].Data().begin() + length);
      wd.Write(kPaths[f], bytes);
      UseEverything(wd);
    }
    wd.Write(kPaths[f], valid[f]);
  }
  std::mt19937 random(1414);
  for (int round = 0; round < 200; ++round) {
    size_t f = round % 3;
    std::vector<uint8_t> bytes = valid[f].Data();
    for (int i = 0; i < 3; ++i)  // past the version, so that the damage reaches the readers
      bytes[2 + random() % (bytes.size() - 2)] = static_cast<uint8_t>(i == 0 ? 0xFF : random());
    wd.Write(kPaths[f], bytes);
    UseEverything(wd);
    wd.Write(kPaths[f], valid[f]);
  }
}

TEST(ModelV14Robustness, HugeCountsInShortFilesAreQuick) {
  test::TempWorkdir wd;
  // 65535 surfaces, the first claiming 65535 vertices and 65535 strips; 65535 parts in a
  // file of a few bytes; a header whose lists lie behind a long run without zeros.
  ByteWriter surfaces;
  surfaces.U16(14).U16(0xFFFF).U8(0).U16(0xFFFF).U16(0).U16(0xFFFF).U16(1).U8(255).U16(0xFFFF);
  std::vector<uint8_t> run(300000, 'Z');
  run.push_back(0);
  wd.Write(kPaths[0], v14::Header({"gun_lod0", "gun_lod1"}, v14::Lists({{"a.dds"}, {"b.dds"}}, run)));
  wd.Write(kPaths[1], surfaces);
  wd.Write(kPaths[2], ByteWriter().U16(14).U16(0xFFFF).U16(0).Z("root"));
  auto start = std::chrono::steady_clock::now();
  UseEverything(wd);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);

  CModelV14 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "gun"));
  ASSERT_NE(model.LoadLods(), nullptr);
  EXPECT_EQ(model.lods[1].materials.at(0).name, "b.dds");
  model.LoadParts(0);
  EXPECT_EQ(model.parts.count(), 65535);
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(model.curSurfaceCount, 65535);
  EXPECT_EQ((*model.curSurfaces)[0].triLists[0].indices[0], 0xFFFF);
  EXPECT_EQ((*model.curSurfaces)[1].vertexCount, 0);  // past the end everything reads as zero
}

}  // namespace
}  // namespace tessary
