#include "CliHarness.h"

namespace tessaly::test {
namespace {

using CliGetTest = CliFixture;

TEST_F(CliGetTest, GetRefusesWhatItCannotNameAndParamsListsTheTable) {
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

  EXPECT_EQ(by_name["gain"]["families"].toArray(), QJsonArray({"A", "B"}));
  EXPECT_EQ(by_name["gain"]["unit"].toString(), "dB");
  EXPECT_EQ(by_name["gain"]["range"].toObject()["min_shown"].toString(), "-60 dB");
  EXPECT_EQ(by_name["gain"]["range"].toObject()["max_shown"].toString(), "12 dB");
  EXPECT_EQ(by_name["source"]["families"].toArray(), QJsonArray({"A"}));
  EXPECT_EQ(by_name["source"]["scope"].toString(), "output");
  EXPECT_EQ(by_name["source"]["captions"].toArray(),
            QJsonArray({"Input L", "Input R", "Input L+R"}));
  EXPECT_EQ(by_name["mix.IN.level"]["scope"].toString(), "mixer_send");
}

}  // namespace
}  // namespace tessaly::test
