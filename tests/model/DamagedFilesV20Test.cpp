// Damaged version 20 files: every file of a small model cut at every length, and
// thousands of randomly corrupted copies, go through the whole reading path. The readers
// must come back (no crash, no endless loop; the sanitizer build checks every access) with
// records that hang together.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <random>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/ShowModelTree.h"
#include "model/ModelV20.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::TempWorkdir;
namespace v20 = test::v20;

struct FixtureFile {
  std::string relative;
  std::vector<uint8_t> bytes;
};

// A model using every layout: header "m" (materials found by their marker), header "n"
// (found by the walk from the end), two levels, rigid, skinned and extra-influence
// surfaces, a parts file and material files.
std::vector<FixtureFile> Fixture() {
  v20::FixtureSurface rigid = v20::Triangle(2);
  v20::FixtureSurface skinned = v20::Triangle(0xFFFF);
  skinned.vertices[1].bone = 1;
  skinned.vertices[2].bone = 2;
  v20::FixtureSurface extra = v20::Triangle(0xFFFF);
  extra.extraInfluences = 2;
  extra.vertices[0].extra = 1;
  extra.vertices[1].extra = 3;
  extra.vertices[2].extra = 2;
  extra.vertices[2].bone = 1;
  return {
      {"xmodel/m", v20::Header({{"m_lod0", 1, {"mtl_a", "mtl_b", "mtl_a"}}, {"m_lod0", 0, {"mtl_b"}}}).Data()},
      {"xmodel/n", v20::Header({{"m_lod0", 1, {"abc_a", "abc_b"}}, {"m_lod0", 0, {"abc_b"}}}, 3, 0).Data()},
      {"xmodelsurfs/m_lod0", v20::Surfaces({rigid, skinned, extra}).Data()},
      {"xmodelparts/m_lod0",
       v20::Parts({{0, {}, "root"}, {0, {1, 0, 0}, "a"}, {1, {0, 1, 0}, ""}, {9, {0, 0, 1}, "c"}}).Data()},
      {"materials/mtl_a", v20::Material("a_col").Data()},
      {"materials/mtl_b", v20::Material("b_col").Data()},
      {"materials/abc_a", v20::Material("c_col").Data()},
  };
}

// The records a writer walks must agree with their counts.
void ExpectConsistent(const CModelV20& model) {
  ASSERT_GE(model.parts.count(), 1);
  for (const Part& p : model.parts.parts) ASSERT_LT(p.parent, model.parts.count());
  ASSERT_EQ(model.lods.size(), static_cast<size_t>(model.lodCount));
  for (const LodEntry& lod : model.lods)
    ASSERT_EQ(lod.materials.size(), static_cast<size_t>(lod.materialCount));
  if (!model.curSurfaces) return;
  ASSERT_EQ(model.curSurfaces->size(), model.curSurfaceCount);
  for (const Surface& s : *model.curSurfaces) {
    ASSERT_EQ(s.vertices.size(), static_cast<size_t>(s.vertexCount));
    ASSERT_EQ(s.triLists.size(), static_cast<size_t>(s.triListCount));
    for (const TriList& t : s.triLists) ASSERT_EQ(t.indices.size(), size_t{t.triCount} * 3);
  }
}

// Every level of an opened model, read again.
void ReadLevels(CModelV20& model) {
  for (int lod = -1; lod <= model.lodCount; ++lod) {
    model.LoadSurfaces(lod, false);
    ExpectConsistent(model);
  }
}

// Everything a command may do with a model of the working folder that reads `changed`:
// load every level, and fill the tree when the change can show there. A changed surfaces
// or parts file is read through `intact`, a model whose header is unchanged.
void ReadEverything(const TempWorkdir& wd, const std::string& changed, CModelV20& intact) {
  if (changed.starts_with("xmodelsurfs/") || changed.starts_with("xmodelparts/")) {
    if (changed.starts_with("xmodelparts/")) intact.LoadParts(0);
    ReadLevels(intact);
    return;
  }
  std::string header = changed == "xmodel/n" ? "n" : "m";
  CModelV20 model;
  if (model.Open(wd.ModelFolder(), header) && model.LoadLods()) {
    model.LoadParts(0);
    ReadLevels(model);
  }
  ModelTree tree;
  ShowModelTree(tree, wd.Str(), header, ReadModelVersion(wd.ModelFolder() + "\\" + header).value_or(0));
}

class DamagedFilesV20 : public ::testing::Test {
 protected:
  // Replaces a file's bytes in place. Rewriting through truncation to zero makes the
  // file system flush each of the thousands of versions to disk, which is slow.
  void Replace(const std::string& relative, const uint8_t* data, size_t size) {
    int fd = ::open((wd.Path() / relative).c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, data, size, 0), static_cast<ssize_t>(size));
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
    ::close(fd);
  }
  void Replace(const std::string& relative, const std::vector<uint8_t>& bytes) {
    Replace(relative, bytes.data(), bytes.size());
  }

  void SetUp() override {
    files = Fixture();
    for (const auto& f : files) wd.Write(f.relative, f.bytes);
    ASSERT_TRUE(intact.Open(wd.ModelFolder(), "m"));
    ASSERT_NE(intact.LoadLods(), nullptr);
    intact.LoadParts(0);
  }
  void ReadEverything(const std::string& changed) { tessary::ReadEverything(wd, changed, intact); }
  TempWorkdir wd;
  std::vector<FixtureFile> files;
  test::RecordingNotifier notes;  // the unsupported-layout message may come up
  CModelV20 intact;
};

TEST_F(DamagedFilesV20, IntactFixtureReadsWithoutMessages) {
  ReadEverything("xmodel/m");
  ReadEverything("xmodel/n");
  EXPECT_TRUE(notes.messages.empty());
  CModelV20 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "n"));
  ASSERT_NE(model.LoadLods(), nullptr);
  model.LoadParts(0);
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  EXPECT_EQ(model.curSurfaceCount, 3);
  EXPECT_EQ(model.lods[1].materials.size(), 1u);
}

TEST_F(DamagedFilesV20, EveryFileCutAtEveryLength) {
  for (const auto& f : files) {
    for (size_t length = 0; length < f.bytes.size(); ++length) {
      SCOPED_TRACE(f.relative + " cut to " + std::to_string(length));
      Replace(f.relative, f.bytes.data(), length);
      ReadEverything(f.relative);
      if (HasFatalFailure()) return;
    }
    Replace(f.relative, f.bytes);
  }
}

TEST_F(DamagedFilesV20, RandomlyCorruptedCopies) {
  std::mt19937 random(20);
  for (int round = 0; round < 2000; ++round) {
    const auto& f = files[random() % files.size()];
    std::vector<uint8_t> bytes = f.bytes;
    int changes = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < changes; ++i) {
      size_t at = random() % bytes.size();
      switch (random() % 4) {
        case 0: bytes[at] = static_cast<uint8_t>(random()); break;
        case 1: bytes[at] = 0; break;
        case 2: bytes[at] = 0xFF; break;
        default: bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8)); break;
      }
    }
    if (random() % 4 == 0) bytes.resize(random() % bytes.size());
    SCOPED_TRACE(f.relative + " round " + std::to_string(round));
    Replace(f.relative, bytes);
    ReadEverything(f.relative);
    if (HasFatalFailure()) return;
    Replace(f.relative, f.bytes);
  }
}

}  // namespace
}  // namespace tessary
