// Damaged models of every version: each file of a small model cut at every length, and
// randomly overwritten copies, go through loading, decoding, export and the tree. They must
// come back (the sanitizer build checks every access) with records that agree with their counts.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <random>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "export/ModelExport.h"
#include "model/ModelV14.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::TempWorkdir;
namespace v14 = test::v14;
namespace v20 = test::v20;
namespace v25 = test::v25;

struct Files {
  std::vector<std::string> headers;
  int surfaceCount;  // of level 0, intact
  std::vector<std::pair<std::string, ByteWriter>> files;
};

// Small models using every layout of their version.
Files ModelOf(uint8_t version) {
  if (version == 14) {
    v14::FixtureSurface s{1, {{0, 1, 2, 3}, {3, 2, 1}}, {}};
    for (int i = 0; i < 4; ++i) s.vertices.push_back({0, 0, 1, 0.5f, 0.5f, float(i), 1, 2});
    return {{"m"}, 2, {{"xmodel/m", v14::Header({"m_lod0", "m_lod1"}, v14::Lists({{"a.dds", "b.dds"}, {"c.dds"}}))},
                       {"xmodelsurfs/m_lod0", v14::Surfaces({s, s})},
                       {"xmodelparts/m_lod0", v14::Parts({{0, {}, "root"}, {0, {1, 0, 0}, "a"}, {1, {0, 1, 0}, "b"}})}}};
  }
  if (version == 20) {
    v20::FixtureSurface skinned = v20::Triangle(0xFFFF), extra = v20::Triangle(0xFFFF);
    skinned.vertices[1].bone = 1;
    extra.extraInfluences = 2;
    for (int i = 0; i < 3; ++i) extra.vertices[i].extra = "\1\3\2"[i];
    // Header "m" has the material marker; "n" is read by the walk from the end.
    return {{"m", "n"}, 3, {
        {"xmodel/m", v20::Header({{"m_lod0", 1, {"mtl_a", "mtl_b", "mtl_a"}}, {"m_lod0", 0, {"mtl_b"}}})},
        {"xmodel/n", v20::Header({{"m_lod0", 1, {"abc_a", "abc_b"}}, {"m_lod0", 0, {"abc_b"}}}, 3, 0)},
        {"xmodelsurfs/m_lod0", v20::Surfaces({v20::Triangle(2), skinned, extra})},
        {"xmodelparts/m_lod0", v20::Parts({{0, {}, "root"}, {0, {1, 0, 0}, "a"}, {1, {0, 1, 0}, ""}, {9, {0, 0, 1}, "c"}})},
        {"materials/mtl_a", v20::Material("a_col")},
        {"materials/abc_a", v20::Material("c_col")}}};
  }
  v25::FixtureSurface direct = v25::Triangle(v25::Form::Direct), scanned = v25::Triangle(v25::Form::Scanned);
  direct.vertices[0].b1 = 3;
  scanned.vertices[2].b1 = 1;
  return {{"m"}, 3, {{"xmodel/m", v25::Header("clip", {{"m_lod0", 1}, {"m_lod1", 0}}, {{"mtl_a", "com_b"}, {"mtl_a"}})},
                     {"xmodelsurfs/m_lod0", v25::Surfaces({v25::Triangle(), direct, scanned})},
                     {"xmodelparts/m_lod0", v20::Parts({{0, {}, "root"}, {0, {1, 2, 3}, "j"}}, 25)},
                     {"materials/mtl_a", v20::Material("a_col")}}};
}

void ExpectConsistent(const CModel& model, uint8_t version) {
  ASSERT_GE(model.parts.count(), 1);
  for (const Part& p : model.parts.parts) ASSERT_LT(p.parent, model.parts.count());
  ASSERT_EQ(model.lods.size(), size_t(model.lodCount));
  for (const LodEntry& lod : model.lods) ASSERT_EQ(lod.materials.size(), size_t(lod.materialCount));
  if (!model.curSurfaces) return;
  ASSERT_EQ(model.curSurfaces->size(), model.curSurfaceCount);
  for (const Surface& s : *model.curSurfaces) {
    ASSERT_EQ(s.vertices.size(), size_t(s.vertexCount));
    ASSERT_EQ(s.triLists.size(), size_t(s.triListCount));
    for (const TriList& t : s.triLists) ASSERT_EQ(t.indices.size(), t.triCount * (version == 14 ? 1 : 3));  // 14: strips
  }
}

// Everything a command may do with a header of the folder; the exports only when `write`
// (each output costs a file commit).
void UseEverything(const TempWorkdir& wd, uint8_t version, const std::string& header, bool write = true,
                   LoadOptions options = {}) {
  auto model = CreateModel(version);
  if (model->Open(wd.ModelFolder(), header) && model->LoadLods()) {
    model->LoadParts(0);
    for (int lod = -1; lod <= model->lodCount; ++lod) {
      model->LoadSurfaces(lod, false, options);
      ExpectConsistent(*model, version);
    }
  }
  if (write) ExportObjFiles(wd.Str(), header, 0, options);
  ModelTree tree;
  ShowModelTree(tree, wd.Str(), header, version);
}

class Damaged : public ::testing::TestWithParam<uint8_t> {
 protected:
  void SetUp() override {
    for (const auto& [path, bytes] : model.files) wd.Write(path, bytes);
  }
  // Rewrites in place: truncating to zero first makes the file system flush each of the
  // thousands of versions to disk, which is slow.
  void Replace(const std::string& relative, const std::vector<uint8_t>& bytes, size_t size) {
    int fd = ::open((wd.Path() / relative).c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, bytes.data(), size, 0), static_cast<ssize_t>(size));
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
    ::close(fd);
  }
  void UseAll(const std::string& trace, size_t round) {
    SCOPED_TRACE(trace);
    for (const auto& header : model.headers) UseEverything(wd, GetParam(), header, round % 16 == 0,
                                                                     LoadOptions{true});  // the version 25 decoder's other path
  }
  Files model = ModelOf(GetParam());
  TempWorkdir wd;
  test::RecordingNotifier notes;
};

TEST_P(Damaged, EveryFileCutAtEveryLength) {
  // The intact model reaches every layout, so its damaged copies do too.
  for (const auto& header : model.headers) {
    auto m = CreateModel(GetParam());
    ASSERT_TRUE(m->Open(wd.ModelFolder(), header) && m->LoadLods());
    m->LoadParts(0);
    ASSERT_TRUE(m->LoadSurfaces(0, false));
    EXPECT_EQ(m->curSurfaceCount, model.surfaceCount);
    for (const Surface& s : *m->curSurfaces) EXPECT_TRUE(s.facesLoaded);
    EXPECT_GT(m->lods[1].materialCount, 0);
  }
  ASSERT_TRUE(notes.messages.empty());
  for (const auto& [path, w] : model.files) {
    for (size_t length = 0; length < w.Size(); ++length) {
      Replace(path, w.Data(), length);
      UseAll(path + " cut to " + std::to_string(length), length);
      if (HasFatalFailure()) return;
    }
    Replace(path, w.Data(), w.Size());
  }
}

TEST_P(Damaged, RandomlyOverwrittenCopies) {
  std::mt19937 random(GetParam());
  for (int round = 0; round < 1000; ++round) {
    const auto& [path, intact] = model.files[random() % model.files.size()];
    std::vector<uint8_t> bytes = intact.Data();
    for (int i = 1 + static_cast<int>(random() % 6); i > 0; --i) {
      uint8_t& b = bytes[random() % bytes.size()];
      const uint8_t values[] = {static_cast<uint8_t>(random()), 0, 0xFF, static_cast<uint8_t>(b ^ 1u << (random() % 8))};
      b = values[random() % 4];
    }
    if (random() % 4 == 0) bytes.resize(random() % bytes.size());
    Replace(path, bytes, bytes.size());
    UseAll(path + " round " + std::to_string(round), round);
    if (HasFatalFailure()) return;
    Replace(path, intact.Data(), intact.Size());
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, Damaged, ::testing::Values(14, 20, 25));

// Counts of 65,535 in files of a few bytes, and names or runs that never end, stop at the
// end of the file (a hang meets the test's time limit): past it everything reads as zero.
TEST(HugeCounts, EndAtTheEndOfTheFile) {
  test::RecordingNotifier notes;
  TempWorkdir wd;
  std::vector<uint8_t> run(300001, 'Z');
  run.back() = 0;
  wd.Write("xmodel/gun", v14::Header({"gun_lod0", "gun_lod1"}, v14::Lists({{"a.dds"}, {"b.dds"}}, run)));
  wd.Write("xmodelsurfs/gun_lod0",
           ByteWriter().U16(14).U16(0xFFFF).U8(0).U16(0xFFFF).U16(0).U16(0xFFFF).U16(1).U8(255).U16(0xFFFF));
  wd.Write("xmodelparts/gun_lod0", ByteWriter().U16(14).U16(0xFFFF).U16(0).Z("root"));
  UseEverything(wd, 14, "gun");
  CModelV14 gun;
  ASSERT_TRUE(gun.Open(wd.ModelFolder(), "gun") && gun.LoadLods());
  EXPECT_EQ(gun.lods[1].materials.at(0).name, "b.dds");  // the run is crossed

  wd.Write("xmodel/m", ByteWriter().U16(25).Fill(26).U32(1).Fill(5000, 'x'));
  wd.Write("xmodelsurfs/m_lod0", ByteWriter().U16(25).U16(0xFFFF).Fill(3).U16(0xFFFF).U16(0xFFFF).U16(0).U16(0x0100));
  wd.Write("xmodelparts/m_lod0", ByteWriter().U16(25).U16(0xFFFF).U16(0));
  UseEverything(wd, 25, "m");
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"mtl_a"}}));
  UseEverything(wd, 25, "m");
}

}  // namespace
}  // namespace tessary
