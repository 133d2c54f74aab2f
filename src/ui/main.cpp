// tessary-gui: the desktop program. Start-up order: the application and its settings
// name, the frame with the form (which reads the external paths), then the window is shown.
#include <QApplication>

#include "platform/IniRegistry.h"
#include "platform/Notifier.h"
#include "platform/QtSettingsStore.h"
#include "ui/FormStrings.h"
#include "ui/MainFrame.h"
#include "ui/UserDialogs.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(tessary::ui::kOrganisation);
  QCoreApplication::setApplicationName(tessary::ui::kAppTitle);

  tessary::QtSettingsStore profile;
  tessary::IniRegistry registry(tessary::ProfileFolder() / "registry.ini");
  tessary::ui::QtUserDialogs dialogs;
  tessary::ScopedNotifier notifier(dialogs);
  tessary::ui::CMainFrame frame(profile, registry, dialogs);
  dialogs.SetOwner(&frame);
  frame.show();
  return app.exec();
}
