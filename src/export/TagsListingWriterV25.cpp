// The version 25 tags listing: the same file as version 20's.
#include "export/TagsListing.h"
#include "model/ModelV25.h"

namespace tessary {

bool CModelV25::WriteTagsListing(const std::string& headerName) {
  return WriteTagsListingFile(TagsListingPath(folder, headerName), parts);
}

}  // namespace tessary
