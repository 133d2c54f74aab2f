// tessary-gui: the desktop program. Start-up order: the application and its settings
// name, the handling of SIGTERM and SIGINT, the frame with the form (which reads the
// external paths), then the window is shown.
#include <QApplication>
#include <QIcon>

#include "platform/BuildInfo.h"
#include "platform/IniRegistry.h"
#include "platform/QtSettingsStore.h"
#include "ui/FormStrings.h"
#include "ui/MainFrame.h"
#include "ui/TerminationSignals.h"
#include "ui/UserDialogs.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Set up before anything else, so that a signal that comes during start-up is not lost:
  // it is handled once an event loop runs. Leaving every event loop (a modal dialog's
  // too) ends the program as a closed window does; the frame, destroyed on the way out of
  // main, stores the recent files and the settings.
  bool ending = false;
  tessary::ui::TerminationSignals endingSignals([&ending] {
    ending = true;
    QCoreApplication::exit(0);
  });

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
  tessary::ui::CMainFrame frame(profile, registry, dialogs);
  dialogs.SetOwner(&frame);
  // A signal handled by a box of the start-up (the loop of the application was not running yet).
  if (ending) return 0;
  frame.show();
  return app.exec();
}
