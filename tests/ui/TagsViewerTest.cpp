// The tags viewer reading a listing: the text shown, and a file it cannot read.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/TempWorkdir.h"
#include "ui/TagsViewer.h"

namespace tessary::ui {
namespace {

TEST(TagsViewer, ShowsAReadableListingAndNamesTheFileItCannotRead) {
  test::TempWorkdir wd;
  // "ab" CR LF "c" in UTF-16LE without a byte-order mark.
  wd.Write("obj/car_tags.txt", {'a', 0, 'b', 0, '\r', 0, '\n', 0, 'c', 0});
  TagsViewer viewer;
  std::string error;
  ASSERT_TRUE(viewer.OpenListing(wd.Str() + "\\obj\\car_tags.txt", error));
  EXPECT_EQ(viewer.toPlainText(), QString("ab\nc"));
  EXPECT_EQ(viewer.windowTitle(), QString("car_tags.txt"));

  // Missing, and a folder in the file's place: the message names the file, the page and
  // the path shown stay those of the listing read before.
  std::filesystem::create_directory(wd.Path() / "obj/folder_tags.txt");
  for (const char* name : {"gone_tags.txt", "folder_tags.txt"}) {
    error.clear();
    EXPECT_FALSE(viewer.OpenListing(wd.Str() + "\\obj\\" + name, error)) << name;
    EXPECT_EQ(error.rfind("Cannot read ", 0), 0u) << error;
    EXPECT_NE(error.find(name), std::string::npos) << error;
    EXPECT_EQ(viewer.toPlainText(), QString("ab\nc"));
    EXPECT_EQ(viewer.ListingPath(), wd.Str() + "\\obj\\car_tags.txt");
  }
}

}  // namespace
}  // namespace tessary::ui
