#pragma once
// The model tree as the command line prints it: JSON, or an indented listing.
#include <string>

#include "model/ModelTree.h"

namespace tessary::cli {

// {"text": ..., "image": 0|1|2, "bold": ..., ["lod": N,] "children": [...]}, names
// mapped byte for byte to the characters of the same value.
std::string TreeToJson(const TreeItem& root);

// Two spaces of indent per level; surfaces items carry "[lod N]", missing files
// "[missing]", images present only in IWI form "[iwi only]". Control bytes of names are
// shown as \xNN, the other bytes as the Latin-1 characters of the same value; an empty
// name as "".
std::string TreeToText(const TreeItem& root);

// A name for a text listing: control bytes as \xNN, the others as Latin-1 characters, an
// empty name as "".
std::string ReadableName(const std::string& bytes);

}  // namespace tessary::cli
