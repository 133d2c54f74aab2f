// The tags listing: the table, the box-drawing tree and the 16-bit encoding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/TagsListing.h"

namespace tessary {
namespace {

std::vector<uint8_t> LittleEndian(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t c : text) bytes.insert(bytes.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
  return bytes;
}

const std::u16string kHead =
    u"\r\nFor best results, view this with the font \"Courier New\" \r\n\r\n"
    u"tag#   name (X, Y, Z), parent\r\n\r\n";

TEST(TagsListing, TableAndTreeOfAnAwkwardSkeleton) {
  PartList parts{{
      {0, {0, 0, 0}, {}, "tag_origin"},
      {0, {1, 0, 0}, {}, "j_a"},
      {3, {0.005f, -0.125f, 2}, {}, "j_b"},  // parent listed after it
      {0, {0, 0, 0}, {}, "a_very_long_tag_name_25ch"},
      {5, {0, 0, 0}, {}, "c1"},  // c1 and c2 are each other's parent: not in the tree
      {4, {0, 0, 0}, {}, "c2"},
      {200, {0, 0, 0}, {}, "bad"},  // parent out of range: the root
      {1, {0, 0, 0}, {}, "x7"},
      {1, {-1234.5f, 0.994f, 0.995f}, {}, "x8"},  // 0.995f lies above 0.995
      {8, {0, 0, 0}, {}, "x9"},
      {0, {0, 0, 0}, {}, "x10"},
  }};
  EXPECT_EQ(TagsListingBytes(parts), LittleEndian(kHead +
      u"# 0 = tag_origin          , (0.00, 0.00, 0.00)\r\n"
      u"# 1 = j_a                 , (1.00, 0.00, 0.00), parent = #0\r\n"
      u"# 2 = j_b                 , (0.00, -0.12, 2.00), parent = #3\r\n"
      u"# 3 = a_very_long_tag_name_25ch, (0.00, 0.00, 0.00), parent = #0\r\n"
      u"# 4 = c1                  , (0.00, 0.00, 0.00), parent = #5\r\n"
      u"# 5 = c2                  , (0.00, 0.00, 0.00), parent = #4\r\n"
      u"# 6 = bad                 , (0.00, 0.00, 0.00), parent = #0\r\n"
      u"# 7 = x7                  , (0.00, 0.00, 0.00), parent = #1\r\n"
      u"# 8 = x8                  , (-1234.50, 0.99, 1.00), parent = #1\r\n"
      u"# 9 = x9                  , (0.00, 0.00, 0.00), parent = #8\r\n"
      u"#10 = x10                 , (0.00, 0.00, 0.00), parent = #0\r\n"
      u"\r\n\r\n\r\n"
      u"\u2558 tag_origin\r\n"
      u"    \u255E j_a\r\n"
      u"    |    \u255E x7\r\n"
      u"    |    \u2558 x8\r\n"
      u"    |        \u2558 x9\r\n"
      u"    \u255E a_very_long_tag_name_25ch\r\n"
      u"    |    \u2558 j_b\r\n"
      u"    \u255E bad\r\n"
      u"    \u2558 x10\r\n"));
}

TEST(TagsListing, LongNamesAreCut) {
  // Names (and tree prefixes) pass through a 260-byte buffer of 16-bit units: 129
  // characters survive. Bytes above 127 become the code unit of the same value.
  PartList parts{{Part{0, {0, 0, 0}, {}, "\xE9" + std::string(140, 'n')}}};
  std::u16string name129 = u"\u00E9" + std::u16string(128, u'n');
  EXPECT_EQ(TagsListingBytes(parts), LittleEndian(kHead + u"# 0 = " + name129 +
                                                  u", (0.00, 0.00, 0.00)\r\n\r\n\r\n\r\n\u2558 " + name129 + u"\r\n"));
}

}  // namespace
}  // namespace tessary
