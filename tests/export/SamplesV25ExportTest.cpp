// Exports of the real fourth-game models of the samples folder (skipped when it is
// absent): every level that loads is written as OBJ and .x, and every face index in
// those files lies within the vertices it refers to.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "model/ModelV25.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const test::TempWorkdir& wd, const std::string& relative) {
  auto bytes = wd.Read(relative);
  return std::string(bytes.begin(), bytes.end());
}

// Checks the "f" lines of an OBJ file against the number of "v" lines; returns the number
// of faces.
int CheckObjFaces(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  long vertices = 0;
  int faces = 0;
  while (std::getline(lines, line)) {
    if (line.rfind("v ", 0) == 0) ++vertices;
    if (line.rfind("f ", 0) != 0) continue;
    ++faces;
    long a[3], b[3], c[3];
    EXPECT_EQ(std::sscanf(line.c_str(), "f %ld/%ld/%ld %ld/%ld/%ld %ld/%ld/%ld", &a[0], &a[1], &a[2],
                          &b[0], &b[1], &b[2], &c[0], &c[1], &c[2]),
              9)
        << line;
    for (long i : {a[0], b[0], c[0]}) {
      EXPECT_GE(i, 1);
      EXPECT_LE(i, vertices) << line;
    }
  }
  return faces;
}

// Checks the face lines of every mesh of a .x file against the mesh's vertex count;
// returns the number of meshes.
int CheckXFaces(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  int meshes = 0;
  long vertices = -1;
  bool expectCount = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "Mesh") {
      ++meshes;
      expectCount = true;
      continue;
    }
    if (expectCount && line.rfind("\t", 0) == 0) {
      vertices = std::stol(line.substr(1));
      expectCount = false;
      continue;
    }
    size_t at = line.find_first_not_of('\t');
    if (at == std::string::npos || line.compare(at, 2, "3;") != 0) continue;
    long i0, i1, i2;
    if (std::sscanf(line.c_str() + at, "3;%ld,%ld,%ld;", &i0, &i1, &i2) != 3) {
      ADD_FAILURE() << line;
      continue;
    }
    for (long i : {i0, i1, i2}) {
      EXPECT_GE(i, 0);
      EXPECT_LT(i, vertices) << line;
    }
  }
  return meshes;
}

TEST(SamplesV25Export, EveryLoadableLevelExportsWithFaceIndicesInRange) {
  fs::path samples = test::SamplesDir();
  if (samples.empty() || !fs::is_directory(samples / "cod4" / "xmodel")) GTEST_SKIP() << "no cod4 samples";
  // The samples stay untouched: the exports go to a copy.
  test::TempWorkdir wd;
  for (const char* sub : {"xmodel", "xmodelsurfs", "xmodelparts", "materials"})
    fs::copy(samples / "cod4" / sub, wd.Path() / sub, fs::copy_options::overwrite_existing | fs::copy_options::recursive);
  test::RecordingNotifier notifier;
  int levels = 0;
  for (const auto& entry : fs::directory_iterator(wd.Path() / "xmodel")) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    CModelV25 model;
    ASSERT_TRUE(model.Open(wd.ModelFolder(), name));
    ASSERT_NE(model.LoadLods(), nullptr);
    model.LoadParts(0);
    for (int level = 0; level < model.lodCount; ++level) {
      if (!model.LoadSurfaces(level, false)) continue;
      ++levels;
      const std::string& surfsName = model.lods[level].surfsName;
      ASSERT_TRUE(model.WriteMtl(level));
      ASSERT_TRUE(model.WriteObj(level));
      ASSERT_TRUE(model.WriteX(level));
      ASSERT_TRUE(model.WriteTagsListing(name));
      int faces = CheckObjFaces(Slurp(wd, "obj/" + surfsName + ".obj"));
      EXPECT_GT(faces, 0);
      EXPECT_EQ(CheckXFaces(Slurp(wd, "obj/" + surfsName + ".x")), model.curSurfaceCount);
    }
  }
  // Every level but the one whose surface carries an influence count of 4, and none of
  // the model whose level name is too short (see the samples' notes).
  EXPECT_EQ(levels, 15);
}

}  // namespace
}  // namespace tessary
