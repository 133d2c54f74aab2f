#include "ui/MainFrame.h"

#include "ui/FormStrings.h"
#include "ui/TessaryView.h"

namespace tessary::ui {

CMainFrame::CMainFrame(ISettingsStore& profile, IRegistryStore& registry, IUserDialogs& dialogs,
                       QWidget* parent)
    : QMainWindow(parent) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(QString::fromLatin1(kFrameTitle));
  view_ = new CTessaryView(profile, registry, dialogs, this);
  setCentralWidget(view_);
  view_->OnInitialUpdate();
  // No sizing border: the frame keeps the form's size.
  setFixedSize(view_->size());
}

}  // namespace tessary::ui
