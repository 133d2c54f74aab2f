// The built-in IWI to DDS conversion of one image of the working folder.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "workspace/IwiConverter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessary::fuzz;
  const std::string work = FreshWorkdir();
  WriteFile(std::filesystem::path(work) / "images" / "t.iwi",
            std::string_view(reinterpret_cast<const char*>(data), size));
  std::string out;
  tessary::ConvertIwiToDds(work + "\\images\\t.iwi", out);
  CheckNothingEscaped();
  return 0;
}
