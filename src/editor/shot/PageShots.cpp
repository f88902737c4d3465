// Renders the editor pages of both families to PNGs, from the default program and with no
// device: tessaly-page-shots [folder] [light|dark]
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "comm/Comm.h"
#include "editor/ChannelPage.h"
#include "editor/DelaysPage.h"
#include "editor/EditorContext.h"
#include "editor/GainsPage.h"
#include "model/EditCore.h"
#include "protocol/Offsets.h"
#include "protocol/ValueLists.h"
#include "widgets/Theme.h"

namespace {

constexpr int kSlot = 0;

class PrintMessenger : public tessaly::device::Messenger {
 public:
  tessaly::device::MessageAnswer Show(const tessaly::device::Message& message) override {
    std::fprintf(stderr, "%s: %s\n", qPrintable(message.title), qPrintable(message.text));
    return tessaly::device::SafeAnswer(message.buttons);
  }
};

bool Save(QWidget& page, const QString& path) {
  page.resize(1300, 700);
  page.show();
  const bool saved = page.grab().save(path);
  if (!saved) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return saved;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() > 2) qputenv("TESSALY_COLOR_SCHEME", args.at(2).toLatin1());
  tessaly::widgets::ApplyTheme(app);
  const QDir folder(args.size() > 1 ? args.at(1) : QStringLiteral("."));
  QDir().mkpath(folder.path());

  bool ok = true;
  for (const int type : {0, 3}) {
    PrintMessenger messenger;
    tessaly::comm::Comm comm(messenger);
    comm.state().table.device_type[kSlot] = static_cast<int16_t>(type);
    tessaly::protocol::ProgramStore store(comm);
    tessaly::model::EditCore core(store);
    tessaly::editor::EditorContext context{core.edits, messenger, kSlot, false};
    const QString family = type == 3 ? QStringLiteral("b") : QStringLiteral("a");
    const QString stem = folder.filePath(QStringLiteral("page-%1-").arg(family));

    tessaly::editor::GainsPage gains(context);
    ok = Save(gains, stem + QStringLiteral("gains.png")) && ok;
    tessaly::editor::DelaysPage delays(context);
    ok = Save(delays, stem + QStringLiteral("delays.png")) && ok;
    const auto& layout = tessaly::protocol::LayoutOfType(type);
    for (const int channel : {0, layout.first_output}) {
      tessaly::editor::ChannelPage page(context, channel);
      const QString name = tessaly::protocol::ChannelName(type, channel).toLower();
      ok = Save(page, stem + QStringLiteral("channel-%1.png").arg(name)) && ok;
    }
  }
  return ok ? 0 : 1;
}
