#pragma once
// Turning an IWI image into a DDS file: by the external converter tool when its key was
// found, else by the built-in conversion.
#include <string>
#include <vector>

#include "platform/Notifier.h"
#include "workspace/Workspace.h"

namespace tessary {

inline constexpr const char* kConverterStartFailed = "Failed to start Pelvane.exe.";

// The converter tool's command line: its path, one blank, the path (neither quoted).
std::string BuildConverterCommandLine(const std::string& converterPath, const std::string& path);
// The same as an argument vector: the tool, then the path as one argument.
std::vector<std::string> BuildConverterArguments(const std::string& converterPath,
                                                 const std::string& path);

// With the converter tool: runs it on `source` (as a path of this system, one argument) and waits ("Failed to start Pelvane.exe."
// and false when it cannot be started; a non-zero exit status is reported and counts as a
// failure; `out` untouched). Built in: ConvertIwiToDds, with
// `out` receiving the DDS path; false without a message when it fails. Messages go to
// `notifier`.
bool ConvertToDds(const Workspace& workspace, const std::string& source, std::string& out,
                  INotifier& notifier);

// The file part of "Convert to DDS" on an image item: converts
// workingFolder + "\images\" + imageName; on failure beeps (type 2). The IWI file stays.
// True when the caller should reload the model.
bool ConvertSelectedImage(const Workspace& workspace, const std::string& imageName, INotifier& notifier);

}  // namespace tessary
