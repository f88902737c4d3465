#include "editor/RoutingMatrix.h"

#include <array>

namespace tessaly::editor {

namespace {

constexpr std::array<const char*, 4> kInputs = {"In 1 L", "In 1 R", "In 2 L", "In 2 R"};
constexpr std::array<const char*, 4> kSources = {"ANA L", "ANA R", "DIG L", "DIG R"};
constexpr std::array<const char*, 4> kSourcesOfPair1 = {"ANA 1 L", "ANA 1 R", "DIG L", "DIG R"};
constexpr std::array<const char*, 4> kSourcesOfPair2 = {"ANA 2 L", "ANA 2 R", "DIG L", "DIG R"};

QStringList List(const std::array<const char*, 4>& texts) {
  QStringList list;
  for (const char* text : texts) list << QString::fromLatin1(text);
  return list;
}

CrossPointLayout Layout() {
  CrossPointLayout layout;
  layout.on_id = model::ParamId::kRouteOn;
  layout.level_id = model::ParamId::kRouteLevel;
  // Each input row takes its pair's analogue inputs and the digital input.
  layout.rows = List(kInputs);
  layout.columns = List(kSources);
  layout.target = [](int row, int column) { return QPoint(row, column); };
  layout.cell_name = [](int row, int column) {
    const auto& sources = row < 2 ? kSourcesOfPair1 : kSourcesOfPair2;
    return QStringLiteral("%1 to %2")
        .arg(QString::fromLatin1(sources[size_t(column)]),
             QString::fromLatin1(kInputs[size_t(row)]));
  };
  layout.row_channel = [](int row) { return row; };
  return layout;
}

}  // namespace

RoutingMatrix::RoutingMatrix(EditorContext& context, QWidget* parent)
    : CrossPointView(context, QStringLiteral("SOURCE INPUT"), Layout(), parent) {
  setObjectName(QStringLiteral("routingMatrix"));
}

}  // namespace tessaly::editor
