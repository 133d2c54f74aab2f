#include "model/ModelFile.h"

#include "platform/Disk.h"
#include "platform/Path.h"
#include "platform/PlainName.h"

namespace tessary {

bool CModelFile::Open(Disk& diskIn, const std::string& folderIn, const std::string& fileNameIn) {
  disk = &diskIn;
  folder.clear();
  fileName.clear();
  fullPath.clear();
  isOpen = false;
  fullPath = ConcatPath(folderIn, "\\", fileNameIn);
  // A name from a header is a file of the folder: one with a folder step is not looked for.
  if (!IsPlainName(fileNameIn)) return false;
  // Opened straight away: a file that opens exists. Only one that does not is tested, for
  // the names kept of an entry that is there but cannot be read.
  BinaryFile file = disk->Open(fullPath);
  const bool opened = file.IsOpen();
  if (!opened && !disk->Exists(fullPath)) return false;
  folder = folderIn;
  fileName = fileNameIn;
  if (!opened) return false;
  uint8_t b[2] = {0, 0};
  file.Read(b, 2);
  version = static_cast<uint32_t>(b[0] | (b[1] << 8));
  isOpen = true;
  return true;
}

}  // namespace tessary
