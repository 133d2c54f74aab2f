// Damaged version 14 files: truncated or corrupted headers, surfaces and parts files must
// load without crashing, hanging or reading out of bounds, and huge counts in short files
// must not take long.
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
using test::TempWorkdir;
namespace v14 = test::v14;

struct Files {
  ByteWriter header, surfaces, parts;
};

Files ValidModel() {
  Files f;
  f.header = v14::Header({{"gun_lod0"}, {"gun_lod1", 0}}, {{{"a.dds", "b.dds"}}, {{"c.dds"}}});
  v14::FixtureSurface s;
  s.part = 1;
  s.strips = {{0, 1, 2, 3}, {3, 2, 1}};
  for (int i = 0; i < 4; ++i) s.vertices.push_back({{0, 0, 1}, {0.5f, 0.5f}, {float(i), 1, 2}});
  v14::FixtureSurface t = s;
  t.part = 2;
  f.surfaces = v14::Surfaces({s, t});
  f.parts = v14::Parts({{0, {0, 0, 0}, "root"}, {0, {1, 0, 0}, "a"}, {1, {0, 1, 0}, "b"}});
  return f;
}

// Everything a command may do with a model, exports included; the results do not matter,
// surviving does.
void LoadEverything(const TempWorkdir& wd) {
  CModelV14 model;
  if (model.Open(wd.ModelFolder(), "gun") && model.LoadLods()) {
    model.LoadParts(0);
    for (int level = 0; level < 3; ++level) {
      if (model.LoadSurfaces(level, false)) {
        for (const Surface& s : *model.curSurfaces) {
          EXPECT_EQ(s.vertices.size(), static_cast<size_t>(s.vertexCount));
          EXPECT_EQ(s.triLists.size(), static_cast<size_t>(s.triListCount));
        }
      }
      model.WriteMtl(level);
      model.WriteObj(level);
    }
  }
  ModelTree tree;
  ShowModelTree(tree, wd.Str(), "gun", 14);
}

// Where each file of the model lies (level 1 has no surfaces file).
const char* PathOf(ByteWriter Files::*file) {
  if (file == &Files::header) return "xmodel/gun";
  if (file == &Files::surfaces) return "xmodelsurfs/gun_lod0";
  return "xmodelparts/gun_lod0";
}

constexpr ByteWriter Files::*kEachFile[] = {&Files::header, &Files::surfaces, &Files::parts};

void WriteAll(const TempWorkdir& wd, const Files& f) {
  for (auto file : kEachFile) wd.Write(PathOf(file), f.*file);
}

TEST(ModelV14Robustness, TruncatedFilesAtEveryLength) {
  TempWorkdir wd;
  const Files valid = ValidModel();
  for (auto file : kEachFile) {
    WriteAll(wd, valid);
    for (size_t length = 0; length < (valid.*file).Size(); ++length) {
      SCOPED_TRACE(length);
      std::vector<uint8_t> bytes = (valid.*file).Data();
      bytes.resize(length);
      wd.Write(PathOf(file), bytes);
      LoadEverything(wd);
    }
  }
}

TEST(ModelV14Robustness, CorruptedBytes) {
  TempWorkdir wd;
  const Files valid = ValidModel();
  std::mt19937 random(1414);
  WriteAll(wd, valid);
  for (int round = 0; round < 300; ++round) {
    auto file = kEachFile[round % 3];
    std::vector<uint8_t> bytes = (valid.*file).Data();
    int flips = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < flips; ++i) {
      // Keep the versions, so that the damage reaches the readers behind the checks.
      size_t at = 2 + random() % (bytes.size() - 2);
      bytes[at] = static_cast<uint8_t>(random() % 3 == 0 ? 0xFF : random());
    }
    wd.Write(PathOf(file), bytes);
    LoadEverything(wd);
    wd.Write(PathOf(file), valid.*file);
  }
}

template <typename F>
double Seconds(F&& f) {
  auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(ModelV14Robustness, HugeCountsInShortFilesAreQuick) {
  TempWorkdir wd;
  Files f = ValidModel();
  // Surfaces: 65535 surfaces, the first claiming 65535 vertices and 65535 strips of 255
  // indices, then the file ends.
  f.surfaces = ByteWriter();
  f.surfaces.U16(14).U16(0xFFFF).U8(0).U16(0xFFFF).U16(0).U16(0xFFFF).U16(1);
  for (int i = 0; i < 40; ++i) f.surfaces.U8(255).U16(0xFFFF);
  // Parts: 65535 children in a file of six bytes and a name.
  f.parts = ByteWriter();
  f.parts.U16(14).U16(0xFFFF).U16(0).Z("root");
  // Header: a long run without any zero between the level list and the lists.
  f.header = v14::Header({{"gun_lod0"}, {"gun_lod1", 0}}, {{{"a.dds"}}, {{"b.dds"}}},
                         std::vector<uint8_t>(300000, 'Z'));
  WriteAll(wd, f);
  double seconds = Seconds([&] { LoadEverything(wd); });
  EXPECT_LT(seconds, 5.0);

  CModelV14 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "gun"));
  ASSERT_NE(model.LoadLods(), nullptr);
  model.LoadParts(0);
  EXPECT_EQ(model.parts.count(), 65535);
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(model.curSurfaceCount, 65535);
  EXPECT_EQ((*model.curSurfaces)[0].vertexCount, 65535);
  EXPECT_EQ((*model.curSurfaces)[0].triLists[0].indices[0], 0xFFFF);
  EXPECT_EQ((*model.curSurfaces)[1].vertexCount, 0);  // past the end: zeros
}

}  // namespace
}  // namespace tessary
