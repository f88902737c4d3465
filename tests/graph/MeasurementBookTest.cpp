#include "graph/MeasurementBook.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <cmath>

namespace tessaly::graph {
namespace {

Measurement Sample(bool phase) {
  Measurement m;
  m.hz = {20.0, 1000.0, 20000.0};
  m.db = {80.0, 85.5, 78.25};
  if (phase) m.phase = {-10.0, 0.0, 12.5};
  return m;
}

TEST(MeasurementBookTest, SessionKeepsMeasurementsOffsetSmoothingAndLocksForItsTypeOnly) {
  MeasurementBook book;
  book.Add(3, 2, {QStringLiteral("left.txt"), Sample(true)});
  book.Add(3, 2, {QStringLiteral("left-2.txt"), Sample(false)});
  book.SetOffset(3, 2, -80.5);
  book.SetSmoothing(3, 2, 12);
  book.SetLocked(3, 25, true);
  book.Add(4, 0, {QStringLiteral("other slot"), Sample(false)});
  // Written and read as the file holds it.
  const QJsonObject session =
      QJsonDocument::fromJson(QJsonDocument(book.SessionJson(3, 0)).toJson()).object();

  MeasurementBook read;
  read.Add(3, 0, {QStringLiteral("replaced"), Sample(false)});
  QString error;
  EXPECT_FALSE(read.LoadSession(3, 3, session, &error));
  EXPECT_EQ(error.toStdString(), "The session belongs to the RK-540, not the 540S.");
  EXPECT_EQ(read.Of(3, 0).items.size(), 1u);  // a refused session changes nothing
  ASSERT_TRUE(read.LoadSession(3, 0, session, &error)) << error.toStdString();
  EXPECT_TRUE(read.Of(3, 0).items.empty());
  const ChannelMeasurements& set = read.Of(3, 2);
  ASSERT_EQ(set.items.size(), 2u);
  EXPECT_EQ(set.items[0].name, "left.txt");
  EXPECT_EQ(set.items[0].data.db, Sample(true).db);
  EXPECT_EQ(set.items[0].data.phase, Sample(true).phase);
  EXPECT_TRUE(set.items[1].data.phase.empty());
  EXPECT_DOUBLE_EQ(set.offset_db, -80.5);
  EXPECT_EQ(set.smoothing, 12);
  EXPECT_TRUE(read.Locked(3, 25));
  EXPECT_FALSE(read.Locked(3, 24));
  EXPECT_TRUE(read.Of(4, 0).items.empty());

  QJsonObject damaged = session;
  damaged[QStringLiteral("tessaly_session")] = 7;
  EXPECT_FALSE(read.LoadSession(3, 0, damaged, &error));
}

TEST(MeasurementBookTest, PredictedIsMeasurementPlusResponseWithTheOffset) {
  ChannelMeasurements set;
  set.offset_db = -80.0;
  set.items.push_back({QStringLiteral("m"), Sample(false)});
  const Curve measured = MeasuredCurve(set, set.items[0]);
  Curve response;
  response.fill(-3.0);
  const Curve predicted = PredictedCurve(measured, response);
  EXPECT_DOUBLE_EQ(measured[0], 0.0);
  EXPECT_DOUBLE_EQ(predicted[0], -3.0);
  EXPECT_DOUBLE_EQ(predicted[kGraphPoints - 1], 78.25 - 80.0 - 3.0);
}

}  // namespace
}  // namespace tessaly::graph
