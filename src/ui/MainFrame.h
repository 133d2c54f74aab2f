#pragma once
// The program's one window: a fixed-size frame with a caption, a system menu and a
// minimize button, no menu bar, holding the main form.
#include <QMainWindow>

namespace tessary {
class IRegistryStore;
class ISettingsStore;
}

namespace tessary::ui {

class CTessaryView;
class IUserDialogs;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  // Creates the form (which reads the external paths), runs its initial update and
  // shrinks the frame to fit it. The window is not shown yet.
  CMainFrame(ISettingsStore& profile, IRegistryStore& registry, IUserDialogs& dialogs,
             QWidget* parent = nullptr);

  CTessaryView& View() const { return *view_; }

 private:
  CTessaryView* view_;
};

}  // namespace tessary::ui
