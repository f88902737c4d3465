#include "editor/FamilyPages.h"

#include <array>

#include "comm/DeviceTypes.h"
#include "editor/EditorWindow.h"
#include "editor/PlaceholderPage.h"
#include "protocol/ValueLists.h"

namespace tessaly::editor {

namespace {

constexpr std::array<const char*, 5> kTitlesA = {"Input Left", "Input Right", "Output Left",
                                                 "Output Right", "Output Sub"};
constexpr std::array<const char*, 7> kTitlesB = {"1", "2", "3", "4", "L", "R", "S"};

QString ChannelKey(int type, int channel) {
  return QStringLiteral("channel-") + protocol::ChannelName(type, channel).toLower();
}

// Gains first: the window opens on the overview of every channel's level and mute.
template <size_t N>
void BuildPages(EditorWindow& window, EditorContext& context, int type,
                const std::array<const char*, N>& channel_titles, const QString& gains_title) {
  (void)context;
  window.AddPage(gains_title, new PlaceholderPage(gains_title), QStringLiteral("gains"));
  for (size_t channel = 0; channel < N; ++channel) {
    const QString title = QString::fromLatin1(channel_titles[channel]);
    const int ch = static_cast<int>(channel);
    window.AddPage(title, new PlaceholderPage(title), ChannelKey(type, ch), ch);
  }
  window.AddPage(QStringLiteral("Delays"), new PlaceholderPage(QStringLiteral("Delays")),
                 QStringLiteral("delays"));
}

}  // namespace

void BuildFamilyAPages(EditorWindow& window, EditorContext& context) {
  BuildPages(window, context, comm::kTypeRk540, kTitlesA, QStringLiteral("Gains"));
}

void BuildFamilyBPages(EditorWindow& window, EditorContext& context) {
  BuildPages(window, context, comm::kType540S, kTitlesB, QStringLiteral("Levels"));
}

}  // namespace tessaly::editor
