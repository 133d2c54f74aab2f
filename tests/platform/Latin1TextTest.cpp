#include <gtest/gtest.h>

#include "platform/Latin1Text.h"

namespace tessary {
namespace {

TEST(Latin1Text, EachByteBecomesTheCharacterOfItsValue) {
  EXPECT_EQ(Latin1ToUtf8(std::string("a\0~", 3)), std::string("a\0~", 3));
  EXPECT_EQ(Latin1ToUtf8("\x7F\x80\xBF\xC0\xE9\xFF"), "\x7F\xC2\x80\xC2\xBF\xC3\x80\xC3\xA9\xC3\xBF");
  EXPECT_EQ(Latin1ToUtf8(""), "");
}

}  // namespace
}  // namespace tessary
