#include "editor/FamilyPages.h"

#include <QHBoxLayout>
#include <array>

#include "device/DeviceTypes.h"
#include "editor/BlockDiagram.h"
#include "editor/ChannelPage.h"
#include "editor/DelaysPage.h"
#include "editor/DeviceSettingsPanel.h"
#include "editor/EditorWindow.h"
#include "editor/GainsPage.h"
#include "editor/OutputMixer.h"
#include "editor/RoutingMatrix.h"
#include "editor/ViewAllAction.h"
#include "protocol/ValueLists.h"

namespace tessaly::editor {

namespace {

constexpr std::array<const char*, 5> kTitlesA = {"Input Left", "Input Right", "Output Left",
                                                 "Output Right", "Output Sub"};
constexpr std::array<const char*, 7> kTitlesB = {"1", "2", "3", "4", "L", "R", "S"};

QString ChannelKey(int type, int channel) {
  return QStringLiteral("channel-") + protocol::ChannelName(type, channel).toLower();
}

// The family B input routing and the output mixers side by side: signal flows left to right.
QWidget* RoutingPage(EditorContext& context) {
  auto* page = new QWidget;
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(new RoutingMatrix(context, page));
  layout->addWidget(new OutputMixer(context, page));
  layout->addStretch(1);
  return page;
}

// Gains first: the window opens on the overview of every channel's level and mute.
template <size_t N>
void BuildPages(EditorWindow& window, EditorContext& context, int type,
                const std::array<const char*, N>& channel_titles, const QString& gains_title,
                MeterPoints* meter_points) {
  auto* gains = new GainsPage(context);
  window.AddPage(gains_title, gains, QStringLiteral("gains"));
  QObject::connect(gains->diagram(), &BlockDiagram::pageRequested, &window,
                   [&window](const QString& key) { window.ShowPage(window.PageIndex(key)); });
  for (size_t channel = 0; channel < N; ++channel) {
    const int ch = static_cast<int>(channel);
    auto* page = new ChannelPage(context, ch);
    if (meter_points != nullptr) page->ShowMeterPoint(*meter_points);
    window.AddPage(QString::fromLatin1(channel_titles[channel]), page, ChannelKey(type, ch), ch);
  }
  window.AddPage(QStringLiteral("Delays"), new DelaysPage(context), QStringLiteral("delays"));
  if (N == kTitlesB.size()) {
    window.AddPage(QStringLiteral("Routing"), RoutingPage(context), QStringLiteral("routing"));
  }
  auto* settings = new DeviceSettingsPanel(context);
  QObject::connect(settings, &DeviceSettingsPanel::ipSettingsRequested, &window,
                   &EditorWindow::OpenIpSettings);
  window.AddPage(QStringLiteral("Device"), settings, QStringLiteral("settings"));
  AddViewAllAction(window);
}

}  // namespace

void BuildFamilyAPages(EditorWindow& window, EditorContext& context) {
  BuildPages(window, context, device::kTypeRk540, kTitlesA, QStringLiteral("Gains"), nullptr);
}

void BuildFamilyBPages(EditorWindow& window, EditorContext& context, MeterPoints& meter_points) {
  BuildPages(window, context, device::kType540S, kTitlesB, QStringLiteral("Levels"), &meter_points);
}

}  // namespace tessaly::editor
