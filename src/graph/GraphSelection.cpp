#include "graph/GraphSelection.h"

#include <cmath>

#include "protocol/Offsets.h"
#include "protocol/ValueLists.h"

namespace tessaly::graph {
namespace {

QString Name(int device_type, int channel) {
  return protocol::ChannelName(device_type, channel).trimmed();
}

}  // namespace

CurveChoice AllChannels(int device_type) {
  const protocol::Layout& layout = protocol::LayoutOfType(device_type);
  CurveChoice choice;
  choice.shown.assign(static_cast<size_t>(layout.channel_count), true);
  choice.sum_input.assign(static_cast<size_t>(layout.channel_count), -1);
  return choice;
}

std::vector<ShownCurve> ShownCurves(const ResponseCurves& curves, int slot, int device_type,
                                    const CurveChoice& choice) {
  const protocol::Layout& layout = protocol::LayoutOfType(device_type);
  const bool family_b = protocol::FamilyOf(device_type) == protocol::Family::kB;
  const SlotCurves* stored = curves.Curves(slot);
  std::vector<ShownCurve> out;
  for (int ch = 0; ch < layout.channel_count; ++ch) {
    if (static_cast<size_t>(ch) >= choice.shown.size() || !choice.shown[ch]) continue;
    ShownCurve curve;
    curve.channel = ch;
    curve.name = Name(device_type, ch);
    curve.colour = ChannelColour(family_b, ch);
    if (stored != nullptr) curve.values = stored->channel_curve[ch];
    const int input = static_cast<size_t>(ch) < choice.sum_input.size() ? choice.sum_input[ch] : -1;
    if (layout.IsOutput(ch) && input >= 0 && input < layout.first_output) {
      curve.input = input;
      curve.name += QStringLiteral(" + ") + Name(device_type, input);
      if (stored != nullptr) {
        for (int p = 0; p < kGraphPoints; ++p) curve.values[p] += stored->channel_curve[input][p];
      }
    }
    out.push_back(curve);
  }
  return out;
}

QString CurvesCsv(const std::vector<ShownCurve>& shown) {
  QString text = QStringLiteral("Frequency [Hz]");
  for (const ShownCurve& curve : shown)
    text += QLatin1Char(',') + curve.name + QStringLiteral(" [dB]");
  text += QLatin1Char('\n');
  const GraphFreqTable& freq = GraphFreq();
  for (int p = 0; p < kGraphPoints; ++p) {
    // The grid repeats the frequency where its segments meet; a table holds it once.
    if (p > 0 && freq[p] == freq[p - 1]) continue;
    // QString::number writes a point in every locale.
    text += QString::number(freq[p]);
    for (const ShownCurve& curve : shown) {
      // Rounded first, so a tiny negative value reads 0.000 rather than -0.000.
      const double thousandths = std::round(curve.values[p] * 1000.0) / 1000.0 + 0.0;
      text += QLatin1Char(',') + QString::number(thousandths, 'f', 3);
    }
    text += QLatin1Char('\n');
  }
  return text;
}

}  // namespace tessaly::graph
