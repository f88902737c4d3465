#pragma once

#include "cli/ParameterTable.h"

// The edit functions behind the rows of the parameter table.
namespace tessaly::cli::edits {

Outcome Gain(EditTarget& t, const QString& v, EditReport& r);
Outcome Delay(EditTarget& t, const QString& v, EditReport& r);
Outcome Mute(EditTarget& t, const QString& v, EditReport& r);
Outcome Polarity(EditTarget& t, const QString& v, EditReport& r);
Outcome Link(EditTarget& t, const QString& v, EditReport& r);

Outcome GateBypass(EditTarget& t, const QString& v, EditReport& r);
Outcome GateThreshold(EditTarget& t, const QString& v, EditReport& r);
Outcome GateRelease(EditTarget& t, const QString& v, EditReport& r);
Outcome GateAttack(EditTarget& t, const QString& v, EditReport& r);

Outcome CompThreshold(EditTarget& t, const QString& v, EditReport& r);
Outcome CompRatio(EditTarget& t, const QString& v, EditReport& r);
Outcome CompKnee(EditTarget& t, const QString& v, EditReport& r);
Outcome CompRelease(EditTarget& t, const QString& v, EditReport& r);
Outcome CompAttack(EditTarget& t, const QString& v, EditReport& r);
Outcome CompMakeup(EditTarget& t, const QString& v, EditReport& r);
Outcome CompBypass(EditTarget& t, const QString& v, EditReport& r);

Outcome LimThreshold(EditTarget& t, const QString& v, EditReport& r);
Outcome LimRelease(EditTarget& t, const QString& v, EditReport& r);
Outcome LimAttack(EditTarget& t, const QString& v, EditReport& r);
Outcome LimBypass(EditTarget& t, const QString& v, EditReport& r);

Outcome BandType(EditTarget& t, const QString& v, EditReport& r);
Outcome BandFrequency(EditTarget& t, const QString& v, EditReport& r);
Outcome BandGain(EditTarget& t, const QString& v, EditReport& r);
Outcome BandQ(EditTarget& t, const QString& v, EditReport& r);
Outcome BandBypass(EditTarget& t, const QString& v, EditReport& r);
Outcome EqBypass(EditTarget& t, const QString& v, EditReport& r);
Outcome EqFlat(EditTarget& t, const QString& v, EditReport& r);

Outcome HighPassFrequency(EditTarget& t, const QString& v, EditReport& r);
Outcome HighPassSlope(EditTarget& t, const QString& v, EditReport& r);
Outcome LowPassFrequency(EditTarget& t, const QString& v, EditReport& r);
Outcome LowPassSlope(EditTarget& t, const QString& v, EditReport& r);

Outcome SpeakerDrive(EditTarget& t, const QString& v, EditReport& r);
Outcome OutputSource(EditTarget& t, const QString& v, EditReport& r);
Outcome MixerOn(EditTarget& t, const QString& v, EditReport& r);
Outcome MixerLevel(EditTarget& t, const QString& v, EditReport& r);
Outcome RoutingOn(EditTarget& t, const QString& v, EditReport& r);
Outcome RoutingLevel(EditTarget& t, const QString& v, EditReport& r);

Outcome InputSource(EditTarget& t, const QString& v, EditReport& r);
Outcome AnalogMode(EditTarget& t, const QString& v, EditReport& r);
Outcome DigitalMode(EditTarget& t, const QString& v, EditReport& r);
Outcome NoiseType(EditTarget& t, const QString& v, EditReport& r);
Outcome NoiseLevel(EditTarget& t, const QString& v, EditReport& r);
Outcome NoiseEnable(EditTarget& t, const QString& v, EditReport& r);
Outcome Standby(EditTarget& t, const QString& v, EditReport& r);
Outcome SleepMode(EditTarget& t, const QString& v, EditReport& r);
Outcome MeterMode(EditTarget& t, const QString& v, EditReport& r);
Outcome LineOut(EditTarget& t, const QString& v, EditReport& r);

}  // namespace tessaly::cli::edits
