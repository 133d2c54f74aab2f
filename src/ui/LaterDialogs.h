#pragma once
// Windows the form opens that live in their own files and are still to be written: the
// preview window. Until it is, its function is a placeholder in PreviewDialogPlaceholder.cpp,
// which the real window's source replaces.
#include <string>

class QWidget;

namespace tessary {
class CModel;
}

namespace tessary::ui {

// Runs the modal preview window on `model` (opened, nothing loaded yet) for level
// `lodIndex`, captioned `surfaceName`.
void RunPreviewDialog(CModel& model, int lodIndex, const std::string& surfaceName,
                      QWidget* parent);

}  // namespace tessary::ui
