// tessary render, run as a user runs it: the picture file, its size, and the refusals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fixtures/TempWorkdir.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string err;
};

Outcome Tessary(const std::string& args, const fs::path& scratch) {
  fs::path errFile = scratch / "stderr.txt";
  std::string command = std::string("\"") + TESSARY_CLI_PATH + "\" " + args + " 2>\"" + errFile.string() + "\" >/dev/null";
  int raw = std::system(command.c_str());
  std::ifstream in(errFile);
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, std::string(std::istreambuf_iterator<char>(in), {})};
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(RenderCommand, WritesAPngOfTheAskedSize) {
  test::TempWorkdir wd;
  ASSERT_EQ(Tessary("example \"" + wd.Str() + "\"", wd.Path()).status, 0);
  fs::path out = wd.Path() / "shot.png";
  Outcome r = Tessary("render --workdir \"" + wd.Str() + "\" --size 64x48 --frames 3 --wireframe -o \"" +
                      out.string() + "\" example_crate",
                  wd.Path());
  ASSERT_EQ(r.status, 0) << r.err;
  std::string png = ReadAll(out);
  ASSERT_GT(png.size(), 33u);
  // Signature, then the header chunk: length 13, "IHDR", width 64, height 48, 8-bit RGB.
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(png.substr(8, 8), std::string("\0\0\0\x0dIHDR", 8));
  EXPECT_EQ(png.substr(16, 10), std::string("\0\0\0\x40\0\0\0\x30\x08\x02", 10));
}

TEST(RenderCommand, RefusesBadRequestsWithoutTouchingTheOutput) {
  test::TempWorkdir wd;
  ASSERT_EQ(Tessary("example \"" + wd.Str() + "\"", wd.Path()).status, 0);
  fs::path out = wd.Path() / "keep.png";
  std::ofstream(out) << "precious";
  const std::string base = "render --workdir \"" + wd.Str() + "\" -o \"" + out.string() + "\" ";
  for (const char* size : {"0x10", "10", "10x", "axb", "10x10x", "9000x10"}) {
    Outcome r = Tessary(base + "--size " + size + " example_crate", wd.Path());
    EXPECT_EQ(r.status, 2) << size;
    EXPECT_NE(r.err.find("--size"), std::string::npos) << r.err;
  }
  EXPECT_EQ(Tessary(base + "--frames 0 example_crate", wd.Path()).status, 2);
  Outcome missing = Tessary(base + "no_such_model", wd.Path());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot open the model header"), std::string::npos) << missing.err;
  Outcome level = Tessary(base + "--lod 7 example_crate", wd.Path());
  EXPECT_EQ(level.status, 1);
  EXPECT_NE(level.err.find("no level 7"), std::string::npos) << level.err;
  EXPECT_EQ(ReadAll(out), "precious");
  EXPECT_EQ(Tessary("render --workdir \"" + wd.Str() + "\" example_crate", wd.Path()).status, 2);
}

TEST(RenderCommand, ModelOfAnUnreadVersionGivesTheNotSupportedPicture) {
  test::TempWorkdir wd;
  wd.Write("xmodel/odd", std::vector<uint8_t>{99, 0, 1, 2, 3});
  fs::path out = wd.Path() / "odd.png";
  Outcome r = Tessary("render --workdir \"" + wd.Str() + "\" --size 32x24 -o \"" + out.string() + "\" odd", wd.Path());
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("version 99"), std::string::npos) << r.err;
  EXPECT_EQ(ReadAll(out).substr(1, 3), "PNG");
}

}  // namespace
}  // namespace tessary
