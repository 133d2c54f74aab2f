// tessary-gui: the desktop program. Start-up order: the application and its settings
// name, the frame with the form (which reads the external paths), then the window is shown.
#include <QApplication>
#include <QIcon>

#include "platform/BuildInfo.h"
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
  // The installed icon's sizes, built into the program, so that the window shows the same
  // icon as the application menu; the desktop file name ties the window to its entry.
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/tessary-%1.png").arg(size), QSize(size, size));
  QApplication::setWindowIcon(icon);
  QGuiApplication::setDesktopFileName(QString::fromLatin1(tessary::build::kAppId));

  tessary::QtSettingsStore profile;
  tessary::IniRegistry registry(tessary::ProfileFolder() / "registry.ini");
  tessary::ui::QtUserDialogs dialogs;
  tessary::ScopedNotifier notifier(dialogs);
  tessary::ui::CMainFrame frame(profile, registry, dialogs);
  dialogs.SetOwner(&frame);
  frame.show();
  return app.exec();
}
