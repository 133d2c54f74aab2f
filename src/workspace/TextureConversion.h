#pragma once
// Turning an IWI image into a DDS file: by the external converter tool when its key was
// found, else by the built-in conversion.
#include <string>

#include "workspace/Workspace.h"

namespace tessary {

inline constexpr const char* kConverterStartFailed = "Failed to start Pelvane.exe.";

// The converter tool's command line: its path, one blank, the path (neither quoted).
std::string BuildConverterCommandLine(const std::string& converterPath, const std::string& path);

// The DDS file the converter tool is relied on to write for `source`: the same folder and
// base name, extension ".dds" in place of the last ".iwi" (in any letter case).
std::string ExpectedDdsPath(const std::string& source);

// With the converter tool: runs it on `source` and waits ("Failed to start Pelvane.exe."
// and false when it cannot be started; `out` untouched). Built in: ConvertIwiToDds, with
// `out` receiving the DDS path; false without a message when it fails.
bool ConvertToDds(const Workspace& workspace, const std::string& source, std::string& out);

// The file part of "Convert to DDS" on an image item: converts
// workingFolder + "\images\" + imageName; on failure beeps (type 2). The IWI file stays.
// True when the caller should reload the model.
bool ConvertSelectedImage(const Workspace& workspace, const std::string& imageName);

}  // namespace tessary
