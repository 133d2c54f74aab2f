#pragma once
// The built-in conversion of an IWI image into a DDS file: a DDS header that describes
// the image, then the IWI's pixel data, level by level, largest first.
#include <string>

namespace tessary {

enum class IwiConversion {
  Converted,
  CannotOpen,   // the source cannot be opened
  TooShort,     // fewer than 28 bytes
  NotIwi,       // no "IWi" magic
  Damaged,      // a level size wraps below zero, or a copy reaches far past the end
  SameFile,     // the DDS path names the source itself
  CannotWrite,  // the DDS file cannot be written
};

// The DDS path for an IWI path: the whole path in lower case, every ".iwi" made ".dds".
std::string DdsPathFor(const std::string& source);

// Converts the IWI file at `source`; `out` receives DdsPathFor(source). Nothing is
// written unless the result is Converted, and no message is shown.
IwiConversion ConvertIwiToDds(const std::string& source, std::string& out);

// A short English reason for a failed conversion.
const char* DescribeIwiConversion(IwiConversion result);

}  // namespace tessary
