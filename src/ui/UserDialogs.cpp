#include "ui/UserDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/PrintableText.h"
#include "ui/FormStrings.h"

namespace tessary::ui {

void QtUserDialogs::ShowMessage(const std::string& text, const std::string& caption) {
  QMessageBox box(caption == "Error" ? QMessageBox::Information : QMessageBox::NoIcon,
                  QString::fromStdString(caption), QString::fromStdString(PrintableText(text)),
                  QMessageBox::Ok, owner_);
  box.exec();
}

void QtUserDialogs::Beep(BeepKind) { QApplication::beep(); }

bool QtUserDialogs::AskYesNo(const std::string& text) {
  return QMessageBox::question(owner_, kAppTitle, QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtUserDialogs::BrowseForFolder(std::string& folder, const std::string& title) {
  QString chosen = QFileDialog::getExistingDirectory(owner_, QString::fromStdString(title),
                                                     QString::fromStdString(folder));
  if (chosen.isEmpty()) return false;
  folder = chosen.toStdString();
  return true;
}

void QtUserDialogs::ShowFileError(const std::string& path, bool notFound) {
  std::string text = notFound ? path + " was not found." : path + " could not be accessed.";
  QMessageBox box(QMessageBox::Warning, kAppTitle, QString::fromStdString(text),
                  QMessageBox::Ok, owner_);
  box.exec();
}

}  // namespace tessary::ui
