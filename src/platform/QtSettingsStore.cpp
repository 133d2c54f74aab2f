#include "platform/QtSettingsStore.h"

#include <algorithm>

#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QVariant>

#include "platform/FileOpen.h"
#include "platform/OutputFile.h"

#include "platform/BuildInfo.h"

namespace tessary {

namespace {
QString Key(const std::string& section, const std::string& name) {
  return QString::fromStdString(section + "/" + name);
}

// A string value as the store keeps it: text when it is UTF-8, else its bytes, so that a
// name that is not UTF-8 comes back as it was written.
QVariant StoredString(const std::string& value) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(QByteArrayView(value.data(), static_cast<qsizetype>(value.size())));
  if (!utf8.hasError()) return text;
  return QByteArray(value.data(), static_cast<qsizetype>(value.size()));
}

// The lines of a text, split at line feeds.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
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
  if (v.typeId() == QMetaType::QByteArray) return v.toByteArray().toStdString();
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
  return WriteValue(section, name, StoredString(value));
}

bool QtSettingsStore::WriteProfileInt(const std::string& section, const std::string& name,
                                      int value) {
  return WriteValue(section, name, value);
}

std::vector<std::string> QtSettingsStore::UnreadableEntries() const {
  std::vector<std::string> entries;
  if (settings_->format() != QSettings::IniFormat && settings_->format() != QSettings::NativeFormat)
    return entries;
  for (const QString& key : settings_->allKeys())
    if (!settings_->value(key).isValid()) entries.push_back(key.toStdString());
  if (settings_->status() == QSettings::FormatError && entries.empty())
    entries.push_back("lines that are not entries");
  return entries;
}

bool QtSettingsStore::WriteValue(const std::string& section, const std::string& name,
                                 const QVariant& value) {
  const bool fileBacked = !settings_->fileName().isEmpty() && settings_->fileName().startsWith('/');
  if (fileBacked && !UnreadableEntries().empty()) return WriteLineInPlace(section, name, value);
  settings_->setValue(Key(section, name), value);
  settings_->sync();
  // The status tells about the last read as well; whether the value is stored is what counts.
  if (settings_->status() == QSettings::AccessError) return false;
  return settings_->value(Key(section, name)).toString() == value.toString();
}

bool QtSettingsStore::WriteLineInPlace(const std::string& section, const std::string& name,
                                       const QVariant& value) {
  // The line as QSettings writes it, from a scratch file of its own.
  std::string line;
  {
    QTemporaryDir scratch;
    if (!scratch.isValid()) return false;
    const QString file = scratch.filePath(QStringLiteral("entry.ini"));
    {
      QSettings one(file, QSettings::IniFormat);
      one.setValue(Key(section, name), value);
      one.sync();
    }
    std::string text;
    if (!ReadRegularFile(file.toStdString(), text)) return false;
    for (const std::string& candidate : Lines(text))
      if (!candidate.empty() && candidate[0] != '[') line = candidate;
    if (line.empty()) return false;
  }
  const std::string keyStart = line.substr(0, line.find('=') + 1);

  const std::filesystem::path path = settings_->fileName().toStdString();
  std::string text;
  ReadRegularFile(path, text);
  std::vector<std::string> lines = Lines(text);
  auto trimmed = [](std::string s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
  };
  const std::string header = "[" + section + "]";
  size_t insertAt = lines.size();
  bool inSection = false, sectionFound = false, replaced = false;
  for (size_t i = 0; i < lines.size() && !replaced; ++i) {
    std::string t = trimmed(lines[i]);
    if (!t.empty() && t[0] == '[') {
      if (inSection) break;
      inSection = t == header;
      if (inSection) sectionFound = true, insertAt = i + 1;
      continue;
    }
    if (!inSection) continue;
    if (t.rfind(keyStart, 0) == 0) {
      lines[i] = line;
      replaced = true;
    } else if (!t.empty()) {
      insertAt = i + 1;
    }
  }
  if (!replaced) {
    if (sectionFound) {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
    } else {
      if (!lines.empty() && !trimmed(lines.back()).empty()) lines.push_back("");
      lines.push_back(header);
      lines.push_back(line);
    }
  }
  OutputFile out;
  if (!out.OpenExact(path)) return false;
  for (const auto& l : lines) out.Write(l + "\n");
  if (!out.Commit()) return false;
  settings_->sync();  // reads the file again
  return true;
}

std::string QtSettingsStore::Location() const { return settings_->fileName().toStdString(); }

std::filesystem::path ProfileFolder() {
  QSettings profile(QSettings::IniFormat, QSettings::UserScope, QString::fromUtf8(build::kCompanyName),
                    QString::fromUtf8(build::kProductName));
  return std::filesystem::path(QFileInfo(profile.fileName()).absolutePath().toStdString());
}

}  // namespace tessary
