#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <memory>

class QSettings;

namespace tessaly::settings {

inline constexpr const char* kSettingsFileName = "tessaly.conf";
inline constexpr const char* kBrokenSuffix = ".broken";

// The settings file kept beside init.cfg in `config_folder`.
QString SettingsPath(const QString& config_folder);

// The application's preferences and what it remembers between runs. Until Open() is given a file
// the values last for this run only, which is what a window made without a run's files needs.
class Settings {
 public:
  Settings();
  ~Settings();
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;

  // Reads `path`. A file that cannot be read never stops the start: it is moved aside to
  // `path` + ".broken", the defaults apply and notice() says so in one line.
  void Open(const QString& path);
  // Empty unless the file given to Open() could not be read.
  const QString& notice() const { return notice_; }

  QVariant Value(const QString& key, const QVariant& fallback = {}) const;
  void SetValue(const QString& key, const QVariant& value);
  void Remove(const QString& key);
  // Writes what changed; the store also writes when it goes.
  void Sync();

 private:
  std::unique_ptr<QSettings> file_;
  QVariantMap run_only_;
  QString notice_;
};

}  // namespace tessaly::settings
