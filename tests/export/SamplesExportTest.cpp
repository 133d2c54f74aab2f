// Exporting every real version 20 sample model, when the samples are present: each OBJ
// must be one that other tools can read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "export/ModelExport.h"
#include "fixtures/TempWorkdir.h"
#include "model/ModelV20.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The lines of a CR LF text; fails the test on a line feed without its carriage return.
std::vector<std::string> Lines(const std::string& text, const std::string& what) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n') continue;
    EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << what << ": bare line feed at byte " << i;
    lines.push_back(text.substr(start, i - start - 1));
    start = i + 1;
  }
  EXPECT_EQ(start, text.size()) << what << ": last line without line break";
  return lines;
}

void CheckObjAndMtl(const fs::path& obj, const fs::path& mtl) {
  std::set<std::string> defined;
  for (const auto& line : Lines(ReadAll(mtl), mtl.string()))
    if (line.rfind("newmtl ", 0) == 0) defined.insert(line.substr(7));

  long vertices = 0, uvs = 0, normals = 0, faces = 0;
  int group = -1, useInGroup = 0;
  bool materialsEnded = false;
  for (const auto& line : Lines(ReadAll(obj), obj.string())) {
    std::istringstream in(line);
    std::string tag;
    in >> tag;
    if (tag == "v") ++vertices;
    if (tag == "vt") ++uvs;
    if (tag == "vn") ++normals;
    if (tag == "g") {
      if (group >= 0 && useInGroup == 0) materialsEnded = true;
      ++group;
      EXPECT_EQ(line, "g Group" + std::to_string(group));
      useInGroup = 0;
    }
    if (tag == "usemtl") {
      ++useInGroup;
      EXPECT_EQ(useInGroup, 1) << obj << ": group " << group;
      // Groups without a material come only after the level's material list ran out.
      EXPECT_FALSE(materialsEnded) << obj << ": group " << group;
      EXPECT_TRUE(defined.count(line.substr(7))) << obj << ": " << line;
    }
    if (tag == "f") {
      ++faces;
      for (int corner = 0; corner < 3; ++corner) {
        std::string triple;
        in >> triple;
        long a = 0, b = 0, c = 0;
        char s1 = 0, s2 = 0;
        std::istringstream t(triple);
        t >> a >> s1 >> b >> s2 >> c;
        ASSERT_TRUE(s1 == '/' && s2 == '/' && a == b && b == c) << obj << ": " << line;
        ASSERT_TRUE(a >= 1 && a <= vertices) << obj << ": " << line;
      }
    }
  }
  EXPECT_EQ(vertices, uvs);
  EXPECT_EQ(vertices, normals);
  EXPECT_GT(faces, 0) << obj;
}

TEST(SamplesExport, EveryVersion20SampleExportsToReadableFiles) {
  fs::path samples = test::SamplesDir();
  if (samples.empty() || !fs::is_directory(samples / "cod2" / "xmodel"))
    GTEST_SKIP() << "no sample models";
  test::TempWorkdir wd;
  for (const char* sub : {"xmodel", "xmodelsurfs", "xmodelparts", "materials", "images"})
    if (fs::is_directory(samples / "cod2" / sub))
      fs::copy(samples / "cod2" / sub, wd.Path() / sub, fs::copy_options::recursive | fs::copy_options::overwrite_existing);

  auto names = ListModelHeaders(wd.Str());
  ASSERT_TRUE(names.has_value());
  int exported = 0;
  for (const auto& name : *names) {
    SCOPED_TRACE(name);
    ExportOutcome outcome = ExportObjFiles(wd.Str(), name, std::nullopt);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    ASSERT_EQ(outcome.written.size(), 3u);
    CheckObjAndMtl(outcome.written[1], outcome.written[0]);
    ++exported;
  }
  EXPECT_GE(exported, 8);
}

}  // namespace
}  // namespace tessary
