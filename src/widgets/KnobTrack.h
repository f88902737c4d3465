#pragma once

namespace tessaly::widgets {

// A knob's value lives on a virtual vertical track: the top holds the largest index, the bottom
// index 0. The index of a point is the integer part of its share of the track, counted from the
// top, so a travel of length/maximum moves one step whatever the widget's size.
class KnobTrack {
 public:
  KnobTrack(int maximum, double length);

  int maximum() const { return maximum_; }
  double length() const { return length_; }
  double Clamp(double top) const;
  int IndexAt(double top) const;
  double TopOf(int index) const;

 private:
  int maximum_;
  double length_;
};

// One drag along a track: pointer travel moves the point (scaled for fine adjustment, clamped to
// the ends) and the point sticks at the detent index for a stretch of pointer travel when it
// reaches it from either side.
class KnobDrag {
 public:
  KnobDrag(const KnobTrack& track, int start_index, int detent_index, double detent_travel);

  // `pointer_dy` is the pointer's travel since the last move, downwards positive; returns the
  // index.
  int Move(double pointer_dy, double factor);

 private:
  KnobTrack track_;
  double top_;
  double detent_top_;
  double detent_travel_;
  bool held_ = false;
  double held_travel_ = 0.0;
};

}  // namespace tessaly::widgets
