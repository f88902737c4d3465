#pragma once

#include <QDateTime>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "comm/Comm.h"
#include "editor/EditorCaption.h"
#include "editor/EditorContext.h"

class QHBoxLayout;
class QLabel;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolBar;
class QVBoxLayout;

namespace tessaly::settings {
class Settings;
}

namespace tessaly::editor {

class StatusFlag;

inline constexpr const char* kCloseEditorTitle = "Close edit window";
inline constexpr const char* kCloseEditorText = "               Are you sure ? ";
inline constexpr const char* kIpSettingTitle = "IP Setting";
inline constexpr const char* kIpUsbOnlyText = "Function available only in USB Mode";
// Why a device's tool is off in an editor of a preset file.
inline constexpr const char* kNoDeviceTip =
    "Needs a device: this editor holds a preset file, with no device behind it";
inline constexpr const char* kOfflineCaptionSuffix = " - Off-line";
inline constexpr const char* kPendingCloseTitle = "Edits not sent";

// One device's editor: a toolbar, the device's pages behind tabs, the caption. The pages do the
// editing; the window only shows one page at a time and decides whether it may close.
class EditorWindow : public QWidget {
  Q_OBJECT

 public:
  EditorWindow(EditorContext context, comm::Comm& comm, QWidget* parent = nullptr);

  EditorContext& context() { return context_; }
  int slot() const { return context_.slot; }

  // `key` names the page for tools and tests ("gains", "channel-inl"); `channel` is the channel a
  // channel page shows, -1 for other pages. Returns the page's index.
  int AddPage(const QString& title, QWidget* page, const QString& key = {}, int channel = -1);
  // Selecting the page already shown does nothing: no refresh, no focus change.
  void ShowPage(int index);
  int current_page() const { return current_page_; }
  // What the editor and the windows it opens remember between runs; none in some tests.
  settings::Settings* settings() const { return settings_; }
  void set_settings(settings::Settings* settings) { settings_ = settings; }
  int page_count() const { return static_cast<int>(pages_.size()); }
  QWidget* Page(int index) const;
  QString PageTitle(int index) const;
  QString PageKey(int index) const;
  int PageChannel(int index) const;
  int PageIndex(const QString& key) const;

  // The caption names the link, the model and the program or preset file now in the device.
  void SetCaption(const QString& program_name, LoadedFrom from);
  // Makes this an editor of the preset file `path` with no device: the caption says "Offline"
  // and names the file whatever else sets it, the meters stop, and the device's tools here say
  // why they are off.
  void SetOfflineFile(const QString& path);
  // Empty for an editor of a device.
  const QString& offline_file() const { return offline_file_; }
  // "Main PA (IP:10.0.0.7 RL-4800)", or without a name "IP:10.0.0.7 RL-4800": the device alone,
  // for the windows that belong to it.
  QString DeviceText() const;
  // Lock and password as the device reported them when it was opened.
  void ShowLockState();

  // Opens the device's IP settings (over USB only).
  void OpenIpSettings();

  // Closes the window as the program ends: no question, the slot's editor state released.
  void CloseWithoutAsking();
  // Where the editor's tools add their buttons.
  QToolBar* toolBar() const { return tool_bar_; }
  // Puts `bar` before the window's own toolbar, on the same row; it gives way first when short.
  void AddLeadingToolBar(QToolBar* bar);

  // Meters poll here once they exist; it is never started yet.
  QTimer* poll_timer() const { return poll_timer_; }

  // The device was lost: a bar across the top says why and since when and offers Reconnect, the
  // caption says "Off-line". The controls stay editable; their edits wait as pending.
  void ShowOffline(const QString& reason, const QDateTime& since);
  // The device answers again: the bar goes.
  void ShowOnline();
  bool offline() const { return offline_; }
  // Channel tabs count their pending edits.
  void ShowPendingCounts();

 signals:
  void pageShown(int index);
  // The channel page of `channel` has just become the shown page.
  void channelPageShown(int channel);
  // The window agreed to close; the slot's editor state must be released.
  void closed(int slot);
  // The off-line bar's Reconnect.
  void reconnectRequested();
  // The window went off-line (false) or back on-line (true).
  void linkShown(bool online);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct PageEntry {
    QString title;
    QString key;
    int channel = -1;
    QWidget* widget = nullptr;
  };

  bool MayClose();
  // The pending question; nullopt when nothing is pending.
  std::optional<bool> MayLosePending();
  void BuildOfflineBar(QVBoxLayout* layout);
  void ShowCaption();

  EditorContext context_;
  comm::Comm& comm_;
  QToolBar* tool_bar_ = nullptr;
  QHBoxLayout* tool_row_ = nullptr;
  StatusFlag* lock_flag_ = nullptr;
  StatusFlag* password_flag_ = nullptr;
  QTabBar* tabs_ = nullptr;
  QStackedWidget* stack_ = nullptr;
  QTimer* poll_timer_ = nullptr;
  std::vector<PageEntry> pages_;
  int current_page_ = -1;
  settings::Settings* settings_ = nullptr;
  bool closed_ = false;
  bool ask_on_close_ = true;
  QString offline_file_;
  QWidget* offline_bar_ = nullptr;
  QLabel* offline_text_ = nullptr;
  bool offline_ = false;
  QString caption_;
};

}  // namespace tessaly::editor
