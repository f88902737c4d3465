#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace tessaly::settings {

QString SettingsPath(const QString& config_folder) {
  return QDir(config_folder).filePath(QLatin1String(kSettingsFileName));
}

Settings::Settings() = default;
Settings::~Settings() = default;

void Settings::Open(const QString& path) {
  notice_.clear();
  run_only_.clear();
  file_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
  // Sections are parsed when first asked for; asking for every key finds a fault in any of them.
  (void)file_->allKeys();
  if (file_->status() == QSettings::NoError) return;
  file_.reset();
  // A folder may stand where the file belongs, so the move is a rename of either.
  const QString kept = path + QLatin1String(kBrokenSuffix);
  QDir().remove(kept);
  const bool moved = QDir().rename(path, kept);
  notice_ = moved ? QStringLiteral("Settings could not be read; defaults used, the file kept as %1")
                        .arg(QDir::toNativeSeparators(kept))
                  : QStringLiteral("Settings could not be read; defaults used for this run (%1)")
                        .arg(QDir::toNativeSeparators(path));
  // Unmoved, the file stays as it was: nothing of this run is written over it.
  if (moved) file_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

QVariant Settings::Value(const QString& key, const QVariant& fallback) const {
  if (file_) return file_->value(key, fallback);
  return run_only_.value(key, fallback);
}

void Settings::SetValue(const QString& key, const QVariant& value) {
  if (file_) {
    file_->setValue(key, value);
  } else {
    run_only_.insert(key, value);
  }
}

void Settings::Remove(const QString& key) {
  if (file_) {
    file_->remove(key);
  } else {
    run_only_.remove(key);
  }
}

void Settings::Sync() {
  if (file_) file_->sync();
}

}  // namespace tessaly::settings
