// Damaged version 25 files: cut short or with bytes overwritten, they must load without a
// crash, a hang or a read outside their data, with the failures the reader names.
#include <gtest/gtest.h>

#include <random>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "model/ModelV25.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::RecordingNotifier;
using test::TempWorkdir;
namespace v20 = test::v20;
namespace v25 = test::v25;

std::vector<uint8_t> GoodHeader() {
  return v25::Header("clip", {{"m_lod0", 1}, {"m_lod1", 0}}, {{"mtl_a", "com_b"}, {"mtl_a"}}).Data();
}

std::vector<uint8_t> GoodSurfaces() {
  v25::FixtureSurface direct = v25::Triangle(v25::Form::Direct);
  direct.vertices[0].b1 = 3;
  v25::FixtureSurface scanned = v25::Triangle(v25::Form::Scanned);
  scanned.vertices[2].b1 = 1;
  return v25::Surfaces({v25::Triangle(), direct, scanned}).Data();
}

// Runs every reading step a command runs, and the tree fill.
void Exercise(const TempWorkdir& wd) {
  CModelV25 model;
  if (!model.Open(wd.ModelFolder(), "m")) return;
  if (!model.LoadLods()) return;
  model.LoadParts(0);
  for (int level = 0; level <= model.lodCount; ++level) {
    if (model.LoadSurfaces(level, false)) {
      for (const Surface& s : *model.curSurfaces) {
        EXPECT_EQ(static_cast<size_t>(s.vertexCount), s.vertices.size());
        for (const TriList& list : s.triLists) EXPECT_EQ(list.indices.size(), list.triCount * 3u);
      }
    }
  }
  ModelTree tree;
  ShowModelTree(tree, wd.Str(), "m", 25);
}

void WriteAll(const TempWorkdir& wd, const std::vector<uint8_t>& header,
              const std::vector<uint8_t>& surfaces, const std::vector<uint8_t>& parts) {
  wd.Write("xmodel/m", header);
  wd.Write("xmodelsurfs/m_lod0", surfaces);
  wd.Write("xmodelparts/m_lod0", parts);
}

TEST(ModelV25Robustness, EveryTruncationLoads) {
  RecordingNotifier notifier;
  TempWorkdir wd;
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  const auto header = GoodHeader();
  const auto surfaces = GoodSurfaces();
  const auto parts = v20::Parts({{0, {0, 0, 0}, "root"}, {0, {1, 2, 3}, "j"}}, 25).Data();
  g_showExploded = 1;
  for (size_t n = 0; n <= header.size(); ++n) {
    WriteAll(wd, std::vector<uint8_t>(header.begin(), header.begin() + n), surfaces, parts);
    Exercise(wd);
  }
  for (size_t n = 0; n <= surfaces.size(); ++n) {
    WriteAll(wd, header, std::vector<uint8_t>(surfaces.begin(), surfaces.begin() + n), parts);
    Exercise(wd);
  }
  for (size_t n = 0; n <= parts.size(); ++n) {
    WriteAll(wd, header, surfaces, std::vector<uint8_t>(parts.begin(), parts.begin() + n));
    Exercise(wd);
  }
  g_showExploded = 0;

  // The whole files decode without a message.
  notifier.messages.clear();
  WriteAll(wd, header, surfaces, parts);
  CModelV25 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "m"));
  ASSERT_NE(model.LoadLods(), nullptr);
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_EQ(model.curSurfaceCount, 3);
  EXPECT_FLOAT_EQ((*model.curSurfaces)[2].vertices[2].position[1], 1);
  EXPECT_TRUE(notifier.messages.empty());
}

TEST(ModelV25Robustness, OverwrittenBytesLoad) {
  RecordingNotifier notifier;
  TempWorkdir wd;
  const auto header = GoodHeader();
  const auto surfaces = GoodSurfaces();
  const auto parts = v20::Parts({{0, {0, 0, 0}, "root"}, {0, {1, 2, 3}, "j"}}, 25).Data();
  std::mt19937 random(25);
  auto damage = [&](std::vector<uint8_t> bytes) {
    int hits = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < hits; ++i) {
      uint8_t value = (random() % 3 == 0) ? 0xFF : static_cast<uint8_t>(random());
      bytes[random() % bytes.size()] = value;
    }
    return bytes;
  };
  for (int round = 0; round < 200; ++round) {
    WriteAll(wd, damage(header), damage(surfaces), damage(parts));
    Exercise(wd);
  }
}

TEST(ModelV25Robustness, HugeCountsAndEndlessNamesEndAtTheEndOfTheFile) {
  RecordingNotifier notifier;
  TempWorkdir wd;
  // A level list of one endless name, a surfaces file announcing 65,535 surfaces of
  // 65,535 vertices, and a parts file announcing 65,535 parts.
  ByteWriter header;
  header.U16(25).Fill(26).U32(1).Fill(5000, 'x');
  ByteWriter surfaces;
  surfaces.U16(25).U16(0xFFFF).Fill(3).U16(0xFFFF).U16(0xFFFF).U16(0).U16(0x0100);
  ByteWriter parts;
  parts.U16(25).U16(0xFFFF).U16(0);
  WriteAll(wd, header.Data(), surfaces.Data(), parts.Data());
  Exercise(wd);

  WriteAll(wd, GoodHeader(), surfaces.Data(), parts.Data());
  CModelV25 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "m"));
  ASSERT_NE(model.LoadLods(), nullptr);
  model.LoadParts(0);
  EXPECT_EQ(model.parts.count(), 65535);
  // The cut-short triangles fail the first surface without flagging it: the level loads,
  // with no triangles.
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_EQ(model.curSurfaceCount, 65535);
  EXPECT_TRUE((*model.curSurfaces)[0].triLists.empty());
}

}  // namespace
}  // namespace tessary
