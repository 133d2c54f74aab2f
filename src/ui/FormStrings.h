#pragma once
// The form's own texts: window title, messages and dialog titles.
#include "platform/BuildInfo.h"

namespace tessary::ui {

inline constexpr const char* kFrameTitle = "Tessary (Call of Duty Series) ";
inline constexpr const char* kAppTitle = build::kProductName;
inline constexpr const char* kOrganisation = build::kCompanyName;

inline constexpr const char* kFirstRunMessage =
    "You need to set the working folder.\n\n"
    "After closing this message box, you will be presented with a \"Browse To\" dialog.  "
    "Use it to browse to the the working folder.\n\n"
    "If they dont already exist, all the needed folders will be created. "
    "(xmodel, xmodelsurfs, xmodelparts, obj, images, and materials)\n\n"
    "For CoD4, the ModTools have installed those under the \"raw\" folder, so use the "
    "\"raw\" folder as your working folder.";

// The preview window's caption before the surface name, its help box, the caption's note
// while Num Lock is off, and the message in its place when the display offers no OpenGL.
inline constexpr const char* kPreviewCaption = "Preview: ";
inline constexpr const char* kPreviewHelpText =
    "Left Mouse = Tilt/Roll\nRight Mouse = Zoom\nCtrl + Left Mouse = Rotate\n"
    "Ctrl + Right Mouse = Pan\nShift + Mouse = Single axis Tilt/Roll\n\n"
    "KPad 1 = Toggle skins\nKPad 2 = Start rolling\nKPad 3 = Toggle materials display\n"
    "KPad 4 = Toggle UV display\nKPad 5 = Toggle wireframe\nKPad 6 = Toggle floor\n"
    "KPad 7 = Toggle skinned geometry\n"
    "(the KPad keys work with Num Lock on)\n\n"
    "Up/Down Arrows = Zoom in/out slow\nLeft/Right Arrows = Zoom in/out fast\n"
    "Shift + Arrows = Pan\nCtrl + Arrows = Tilt/Roll\nShift + Ctrl + Left/Right = Rotate";
// Added to the caption once a keypad key arrives with Num Lock off.
inline constexpr const char* kPreviewNumLockOff = "  (Num Lock is off: the KPad keys toggle nothing)";
inline constexpr const char* kPreviewNeedsOpenGl =
    "The preview needs OpenGL, which this display does not offer.";

}  // namespace tessary::ui
