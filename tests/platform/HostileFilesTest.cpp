// What a hostile working folder must not achieve (hanging on a FIFO, replacing a protected
// file, half a set of files, a folder step in a name, moving the terminal); Latin-1 names.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "fixtures/TempWorkdir.h"
#include "platform/TestFiles.h"
#include "platform/Disk.h"
#include "platform/FileOpen.h"
#include "platform/FileSet.h"
#include "platform/OutputFile.h"
#include "platform/PlainName.h"
#include "platform/PrintableText.h"
#include "platform/Latin1Text.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::TempWorkdir;
using test::CountEntries;
using test::CountFiles;
using test::Text;

bool Write(const fs::path& target, const std::string& text) {
  OutputFile f;
  if (!f.OpenExact(target)) return false;
  f.Write(text);
  return f.Commit();
}

mode_t Mode(const fs::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

// A plain open of the FIFO would wait for a writer for ever: the test would run into its
// time limit.
TEST(HostileFiles, AFifoOrFolderIsRefusedWithoutWaitingForAWriter) {
  TempWorkdir wd;
  Disk disk;
  const fs::path fifo = wd.Path() / "xmodel" / "zz";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_FALSE(disk.Open(wd.Str() + "\\xmodel\\zz").IsOpen());
  OpenFailure why = OpenFailure::None;
  std::string bytes;
  for (auto [path, expected] : {std::pair{fifo, OpenFailure::NotRegular}, {wd.Path() / "xmodel", OpenFailure::NotRegular},
                                {wd.Path() / "none", OpenFailure::Missing}}) {
    EXPECT_FALSE(ReadRegularFile(path, bytes, &why)) << path;
    EXPECT_EQ(why, expected) << path;
  }
  std::ofstream(wd.Path() / "f") << "abc";
  EXPECT_FALSE(ReadRegularFile(wd.Path() / "f", bytes, &why, 2));  // over the limit
  EXPECT_TRUE(ReadRegularFile(wd.Path() / "f", bytes, &why, 3));   // at the limit
  EXPECT_EQ(bytes, "abc");
}

TEST(HostileFiles, AReadOnlyFileIsNotReplacedAndAReplacedFileKeepsItsPermissions) {
  TempWorkdir wd;
  Disk disk;
  const fs::path obj = wd.Path() / "obj" / "level.obj";
  std::ofstream(obj) << "protected";
  ::chmod(obj.c_str(), 0444);  // as root too: no write bit for anyone is read-only
  OutputFile f;
  EXPECT_FALSE(f.Open(disk, wd.Str() + "\\OBJ\\Level.obj"));
  EXPECT_EQ(f.Error(), obj.string() + " is read-only");
  EXPECT_EQ(std::tuple(Text(obj), Mode(obj), CountFiles(wd.Path() / "obj")), std::tuple("protected", 0444u, 1u));  // no temporary left
  ::chmod(obj.c_str(), 0640);
  ASSERT_TRUE(Write(obj, "new"));
  EXPECT_EQ(std::tuple(Text(obj), Mode(obj)), std::tuple("new", 0640u));
  const fs::path fresh = wd.Path() / "obj" / "fresh.obj";
  ASSERT_TRUE(Write(fresh, "x"));
  EXPECT_NE(Mode(fresh) & 0044u, 0u);  // readable by others, not private as a temporary
  EXPECT_FALSE(Write(wd.Path() / "obj", "a folder is not replaced"));
}

// What an export writes for one level: each file written under a temporary name and put
// in place later, all of them or none.
TEST(HostileFiles, AFileSetIsPutInPlaceTogetherOrNotAtAll) {
  TempWorkdir wd;
  Disk disk;
  const fs::path dir = wd.Path() / "obj";
  const std::string joined = wd.Str() + "\\obj\\";
  std::ofstream(dir / "a.mtl") << "old mtl";
  // Each file's text (a folder reads as nothing), then how many names the folder holds.
  const auto contents = [&] {
    std::string all;
    for (const char* name : {"a.mtl", "a.obj", "a_tags.txt"}) all += (fs::is_regular_file(dir / name) ? Text(dir / name) : "") + "|";
    return all + std::to_string(CountEntries(dir));
  };
  auto writeSet = [&](FileSet& set, const std::string& suffix) {
    for (const char* name : {"A.MTL", "a.obj", "a_tags.txt"}) {
      OutputFile f;
      ASSERT_TRUE(f.Open(disk, joined + name)) << f.Error();
      f.Write(name + suffix);
      ASSERT_TRUE(set.Add(f));
    }
  };
  {
    // The last name taken by a folder meanwhile: the replaced file comes back, the new one goes.
    FileSet set;
    writeSet(set, " 1");
    EXPECT_EQ(contents(), "old mtl|||4");  // a.mtl and three temporaries: new names wait unseen
    fs::create_directories(dir / "a_tags.txt" / "in the way");
    EXPECT_FALSE(set.Commit(disk));
    EXPECT_EQ(set.FailedTarget(), dir / "a_tags.txt");
  }
  EXPECT_EQ(contents(), "old mtl|||2");
  fs::remove_all(dir / "a_tags.txt");
  {
    // The file found in another letter case is the one replaced, and found again afterwards.
    FileSet set;
    writeSet(set, " 2");
    EXPECT_TRUE(set.Commit(disk));
    EXPECT_EQ(contents(), "A.MTL 2|a.obj 2|a_tags.txt 2|3");
    EXPECT_EQ(disk.Resolve(joined + "A.Mtl"), dir / "a.mtl");
    EXPECT_TRUE(disk.Exists(joined + "A.OBJ"));
  }
  {
    // A folder in the place of a middle file stays; the files before it are put back.
    FileSet set;
    writeSet(set, " 3");
    fs::remove(dir / "a.obj");
    fs::create_directories(dir / "a.obj" / "in the way");
    EXPECT_FALSE(set.Commit(disk));
    EXPECT_EQ(set.FailedTarget(), dir / "a.obj");
  }
  EXPECT_TRUE(fs::is_directory(dir / "a.obj" / "in the way"));
  EXPECT_EQ(contents(), "A.MTL 2||a_tags.txt 2|3");
  fs::remove_all(dir / "a.obj");
  {
    // A set given up leaves nothing behind.
    FileSet set;
    writeSet(set, " 4");
  }
  EXPECT_EQ(contents(), "A.MTL 2||a_tags.txt 2|2");
}

// A new name that another program takes between the writing and the placing: the file
// replaces what took it, as it would have had it been there from the start, and is put
// back with the rest of its set when a later file cannot be placed.
TEST(HostileFiles, ANewNameTakenMeanwhileIsReplacedAndPutBack) {
  TempWorkdir wd;
  Disk disk;
  const fs::path dir = wd.Path() / "obj";
  const auto place = [&](bool folderInTheWay) {
    fs::remove(dir / "b.mtl");  // both names new when the files are opened
    FileSet set;
    for (const char* name : {"b.mtl", "b.obj"}) {
      OutputFile f;
      EXPECT_TRUE(f.Open(disk, wd.Str() + "\\obj\\" + name));
      f.Write(std::string("new ") + name);
      EXPECT_TRUE(set.Add(f));
    }
    std::ofstream(dir / "b.mtl") << "theirs";
    if (folderInTheWay) fs::create_directories(dir / "b.obj" / "in the way");
    return set.Commit(disk);
  };
  EXPECT_FALSE(place(true));
  EXPECT_EQ(Text(dir / "b.mtl"), "theirs");
  EXPECT_EQ(CountEntries(dir), 2u);  // b.mtl and the folder: no temporary
  fs::remove_all(dir / "b.obj");
  EXPECT_TRUE(place(false));
  EXPECT_EQ(Text(dir / "b.mtl"), "new b.mtl");
  EXPECT_EQ(Text(dir / "b.obj"), "new b.obj");
  EXPECT_EQ(CountEntries(dir), 2u);

  // One file on its own.
  OutputFile f;
  ASSERT_TRUE(f.Open(disk, wd.Str() + "\\obj\\c.obj"));
  f.Write("new c.obj");
  std::ofstream(dir / "c.obj") << "theirs";
  EXPECT_TRUE(f.Commit());
  EXPECT_EQ(Text(dir / "c.obj"), "new c.obj");
  EXPECT_EQ(CountEntries(dir), 3u);
}

// What an export killed midway left: its temporaries go the next time the folder is
// written; a temporary being written now, a newer one and other hidden files stay.
TEST(HostileFiles, TemporariesOfAKilledExportAreRemovedLater) {
  TempWorkdir wd;
  Disk disk;
  const fs::path dir = wd.Path() / "obj";
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
  for (const char* name : {".a.obj.tmpAb3xYz", ".b.glb.tmp000000", ".c.obj.tmpxyz", ".d.obj.tmpab_xyz", ".hidden", "e.obj.tmpabcdef"}) {
    std::ofstream(dir / name) << "left";
    fs::last_write_time(dir / name, old);
  }
  OutputFile writing;
  ASSERT_TRUE(writing.Open(disk, wd.Str() + "\\obj\\f.obj"));
  writing.Write("being written");
  for (const auto& entry : fs::directory_iterator(dir)) fs::last_write_time(entry.path(), old);
  std::ofstream(dir / ".g.obj.tmpNEWONE") << "newer";
  RemoveStaleTemporaries(dir, fs::file_time_type::clock::now() - std::chrono::minutes(1));
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir)) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  ASSERT_EQ(left.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(left.begin(), left.begin() + 4),
            (std::vector<std::string>{".c.obj.tmpxyz", ".d.obj.tmpab_xyz", ".f.obj.tmp" + left[2].substr(10), ".g.obj.tmpNEWONE"}));
  EXPECT_EQ(std::vector<std::string>(left.begin() + 4, left.end()), (std::vector<std::string>{".hidden", "e.obj.tmpabcdef"}));
  EXPECT_TRUE(writing.Commit());
  EXPECT_EQ(Text(dir / "f.obj"), "being written");
}

TEST(HostileFiles, NamesFromFilesAreFileNamesOnly) {
  for (const char* bad : {"", ".", "..", "../../out/evil", "..\\..\\out\\evil", "/tmp/x", "\\tmp\\x",
                          "C:x", "c:\\x", "x:y", "sub/x", "sub\\x"})
    EXPECT_FALSE(IsPlainName(bad)) << bad;
  for (const char* good : {"x", "weapon_g3_lod0", "...", "a..b", "name with blanks"})
    EXPECT_TRUE(IsPlainName(good)) << good;
  EXPECT_EQ(WhyNotPlainName("../x"), "it holds a folder step");

  TempWorkdir wd;
  const fs::path obj = wd.Path() / "obj";
  EXPECT_TRUE(LiesInside(obj, obj / "a.obj"));
  EXPECT_TRUE(LiesInside(obj, obj / "new" / ".." / "a.obj"));
  EXPECT_FALSE(LiesInside(obj, obj / ".." / ".." / "out" / "evil.obj"));
  EXPECT_FALSE(LiesInside(obj, wd.Path() / "objects" / "a.obj"));
  fs::create_directory_symlink(wd.Path().parent_path(), obj / "link");
  EXPECT_FALSE(LiesInside(obj, obj / "link" / "evil.obj"));
}

TEST(HostileFiles, ControlBytesAreShownEscaped) {
  EXPECT_EQ(PrintableText("a\x1b[2Jb\x07"), "a\\x1B[2Jb\\x07");
  EXPECT_EQ(PrintableText("\x7f\xc2\x9b\xff\xc3"), "\\x7F\\xC2\\x9B\\xFF\\xC3");  // DEL, C1 CSI, not UTF-8
  EXPECT_EQ(PrintableText("caf\xc3\xa9 \xe2\x82\xac\n\t\r"), "caf\xc3\xa9 \xe2\x82\xac\n\t\\x0D");  // text stays
}

TEST(Latin1Text, EachByteBecomesTheCharacterOfItsValue) {
  EXPECT_EQ(Latin1ToUtf8(std::string("a\0~", 3)), std::string("a\0~", 3));
  EXPECT_EQ(Latin1ToUtf8("\x7F\x80\xBF\xC0\xE9\xFF"), "\x7F\xC2\x80\xC2\xBF\xC3\x80\xC3\xA9\xC3\xBF");
  EXPECT_EQ(Latin1ToUtf8(""), "");
}

}  // namespace
}  // namespace tessary
