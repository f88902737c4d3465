#pragma once

namespace tessaly::graph {

// One line piece of a channel's curve, from the previous grid point to this one.
struct CurveSegment {
  int channel = 0;
  int point = 0;  // 1 .. 1583; point 0 only starts the line
  double hz_from = 0.0;
  double db_from = 0.0;
  double hz_to = 0.0;
  double db_to = 0.0;
};

// The editor's graph panel of one slot, as the curve computation sees it. A window implements
// it; the computation draws through it while it recomputes, so the user sees the curve grow.
class GraphPanel {
 public:
  virtual ~GraphPanel() = default;
  // Clear the panel and draw grid and labels (grid colour, draw width 1).
  virtual void DrawGraphGrid() = 0;
  // Draw one segment in the channel's colour with draw width 2. Panels that show one channel
  // ignore segments of other channels (e.g. a linked channel being recomputed).
  virtual void DrawCurveSegment(const CurveSegment& segment) = 0;
};

}  // namespace tessaly::graph
