#include "platform/QtSettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <QString>

#include "platform/BuildInfo.h"

namespace tessary {

namespace {
QString Key(const std::string& section, const std::string& name) {
  return QString::fromStdString(section + "/" + name);
}
}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QString::fromUtf8(build::kCompanyName), QString::fromUtf8(build::kProductName))) {}

QtSettingsStore::QtSettingsStore(const std::filesystem::path& iniFile)
    : settings_(std::make_unique<QSettings>(QString::fromStdString(iniFile.string()),
                                            QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() = default;

std::string QtSettingsStore::GetProfileString(const std::string& section, const std::string& name,
                                              const std::string& defaultValue) {
  QVariant v = settings_->value(Key(section, name));
  if (!v.isValid()) return defaultValue;
  return v.toString().toStdString();
}

int QtSettingsStore::GetProfileInt(const std::string& section, const std::string& name,
                                   int defaultValue) {
  QVariant v = settings_->value(Key(section, name));
  bool ok = false;
  int n = v.toInt(&ok);
  return ok ? n : defaultValue;
}

bool QtSettingsStore::WriteProfileString(const std::string& section, const std::string& name,
                                         const std::string& value) {
  settings_->setValue(Key(section, name), QString::fromStdString(value));
  settings_->sync();
  return settings_->status() == QSettings::NoError;
}

bool QtSettingsStore::WriteProfileInt(const std::string& section, const std::string& name,
                                      int value) {
  settings_->setValue(Key(section, name), value);
  settings_->sync();
  return settings_->status() == QSettings::NoError;
}

std::string QtSettingsStore::Location() const { return settings_->fileName().toStdString(); }

std::filesystem::path ProfileFolder() {
  QSettings profile(QSettings::IniFormat, QSettings::UserScope, QString::fromUtf8(build::kCompanyName),
                    QString::fromUtf8(build::kProductName));
  return std::filesystem::path(QFileInfo(profile.fileName()).absolutePath().toStdString());
}

}  // namespace tessary
