#pragma once

namespace tessaly::comm {

// One factor for every wait limit and timer interval, read once from TESSALY_TIME_SCALE (a
// positive number, 1 when unset or unreadable). The product always runs at 1; fault tests run
// at a small fraction so that a 20 s wait costs milliseconds.
double TimeScale();

// `ms` scaled by TimeScale(), never below 1 ms so that a scaled wait still waits.
int ScaledMs(int ms);

}  // namespace tessaly::comm
