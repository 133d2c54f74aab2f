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

// The lines of a text whose every line ends in CR LF.
std::vector<std::string> Lines(const std::string& text, const std::string& what) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    EXPECT_TRUE(!line.empty() && line.back() == '\r') << what << ": line " << lines.size();
    lines.push_back(line.substr(0, line.empty() ? 0 : line.size() - 1));
  }
  return lines;
}

// Every face corner names a vertex written before it, each group has at most one
// usemtl, and every material used is defined in the MTL.
void CheckObjAndMtl(const fs::path& obj, const fs::path& mtl) {
  std::set<std::string> defined;
  for (const auto& line : Lines(ReadAll(mtl), mtl.string()))
    if (line.rfind("newmtl ", 0) == 0) defined.insert(line.substr(7));
  long vertices = 0, faces = 0;
  int useInGroup = 0;
  for (const auto& line : Lines(ReadAll(obj), obj.string())) {
    std::istringstream in(line);
    std::string tag;
    in >> tag;
    vertices += tag == "v";
    if (tag == "g") useInGroup = 0;
    if (tag == "usemtl") {
      EXPECT_EQ(++useInGroup, 1) << obj << ": " << line;
      EXPECT_TRUE(defined.count(line.substr(7))) << obj << ": " << line;
    }
    if (tag != "f") continue;
    ++faces;
    long a = 0, b = 0, c = 0;
    char s1 = 0, s2 = 0;
    for (int corner = 0; corner < 3; ++corner) {
      ASSERT_TRUE(in >> a >> s1 >> b >> s2 >> c) << obj << ": " << line;
      ASSERT_TRUE(s1 == '/' && s2 == '/' && a == b && b == c && a >= 1 && a <= vertices)
          << obj << ": " << line;
    }
  }
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
