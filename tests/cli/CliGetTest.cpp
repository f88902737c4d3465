#include <QJsonArray>
#include <QJsonObject>

#include "CliHarness.h"

namespace tessaly::test {
namespace {

struct GetCase {
  int type;
  int offset;  // an image byte the device holds before the run
  int byte;
  QStringList args;  // CHANNEL PARAMETER
  QString shown;
};

class CliGetTest : public CliFixture, public ::testing::WithParamInterface<GetCase> {};

// The value comes from the device's memory through the read-out, as the editor would show it.
TEST_P(CliGetTest, ShowsWhatTheDeviceHolds) {
  const GetCase& c = GetParam();
  const auto device = Device(StartTcp(c.type, 2));
  QByteArray image = device->Image();
  image[c.offset] = static_cast<char>(c.byte);
  device->SetImage(image);
  const CliRun run = RunTcp(2, QStringList{"get"} + c.args);
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.OutLines(), QStringList({c.shown}));
  const CliRun json = RunTcp(2, QStringList{"--json", "get"} + c.args);
  EXPECT_EQ(json.Json().object()["value"].toString(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, CliGetTest,
    ::testing::Values(GetCase{0, 84, 127, {"InR", "gain"}, "3.5 dB"},
                      GetCase{0, 19, 5, {"InL", "eq.2.type"}, "Notch"},
                      GetCase{0, 344, 16, {"Sub", "mute"}, "on"},
                      GetCase{0, 221, 7, {"Right", "lp.slope"}, "-24dB/oct LR"},
                      GetCase{0, 348, 2, {"device", "input.source"}, "Noise Generator"},
                      GetCase{3, 164, 108, {"In2L", "gain"}, "-6 dB"},
                      GetCase{3, 418, 24, {"Sub", "mix.In2L.level"}, "-6 dB"}),
    [](const ::testing::TestParamInfo<GetCase>& info) {
      QString name = QStringLiteral("Type%1").arg(info.param.type) + info.param.args.join("");
      name.removeIf([](QChar c) { return !c.isLetterOrNumber(); });
      return name.toStdString();
    });

using CliParamsTest = CliFixture;

TEST_F(CliParamsTest, GetRefusesWhatItCannotNameAndParamsListsTheTable) {
  StartTcp(0, 2);
  for (const QStringList& args :
       {QStringList{"get", "Foo", "gain"}, QStringList{"get", "InL", "volume"},
        QStringList{"get", "InL"}, QStringList{"get", "InL", "mix.1.on"}}) {
    const CliRun run = RunTcp(2, args);
    EXPECT_EQ(run.exit_code, 2) << args.join(' ').toStdString();
    EXPECT_EQ(run.ErrLines().size(), 1) << run.err.toStdString();
  }

  const CliRun run = Run({"params", "--json"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  std::map<QString, QJsonObject> by_name;
  for (const QJsonValue& entry : run.Json().array()) {
    by_name[entry.toObject()["name"].toString()] = entry.toObject();
  }
  const QStringList help = Run({"help", "set"}).OutLines();
  EXPECT_EQ(static_cast<qsizetype>(by_name.size()), help.size() - 3);  // less the legend

  const QJsonObject gain = by_name["gain"];
  EXPECT_EQ(gain["families"].toArray(), QJsonArray({"A", "B"}));
  EXPECT_EQ(gain["unit"].toString(), "dB");
  EXPECT_EQ(gain["range"].toObject()["min_shown"].toString(), "-60 dB");
  EXPECT_EQ(gain["range"].toObject()["max_shown"].toString(), "12 dB");
  const QJsonObject source = by_name["source"];
  EXPECT_EQ(source["families"].toArray(), QJsonArray({"A"}));
  EXPECT_EQ(source["scope"].toString(), "output");
  EXPECT_EQ(source["captions"].toArray(), QJsonArray({"Input L", "Input R", "Input L+R"}));
  EXPECT_EQ(by_name["mix.IN.level"]["scope"].toString(), "mixer_send");
  EXPECT_EQ(by_name["eq.N.q"]["scope"].toString(), "band");
}

}  // namespace
}  // namespace tessaly::test
