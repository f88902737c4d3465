#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include "CliHarness.h"

namespace tessaly::test {
namespace {

constexpr uint8_t kReadParams = 93;
constexpr uint8_t kReadSettings = 95;

class CliBatchTest : public CliFixture {
 protected:
  void StartDevice(int type) {
    device_ = Device(StartTcp(type, 2));
    image_ = device_->Image();
  }
  QString WriteBatch(const QString& lines) const {
    const QString path = dir().filePath(QStringLiteral("lines.txt"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.toUtf8());
    return path;
  }
  CliRun RunBatch(const QString& lines, const QStringList& options = {}) const {
    return RunTcp(2, options + QStringList{"batch", WriteBatch(lines)});
  }
  // Memory reads the emulator heard: the read-out's image and settings blocks and the name.
  int Reads() const {
    int reads = 0;
    for (const uint8_t command : device_->ReceivedCommands()) {
      if (command == kReadParams || command == kReadSettings) ++reads;
    }
    return reads;
  }

  std::shared_ptr<sim::SimDevice> device_;
  QByteArray image_;
};

TEST_F(CliBatchTest, LinesRunInOrderAndUndoRedoReachTheDevice) {
  StartDevice(0);
  const CliRun run = RunBatch(
      "# trim the left output\n"
      "get Left gain\n"
      "set Left gain -6   # quieter\n"
      "\n"
      "set Left mute on\n"
      "undo\n"
      "get Left mute\n"
      "get Left gain\n"
      "redo\n"
      "get Left mute\n"
      "undo\n"
      "undo\n"
      "get Left gain\n");
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  const QStringList out = run.OutLines();
  ASSERT_EQ(out.size(), 11) << run.out.toStdString();
  EXPECT_EQ(out.mid(0, 2), QStringList({"0 dB", "Left gain -6 dB"}));
  EXPECT_EQ(out[2], "Left mute on");
  EXPECT_EQ(out[3], "undo Mute Left on");
  EXPECT_EQ(out.mid(4, 2), QStringList({"off", "-6 dB"}));
  EXPECT_EQ(out[6], "redo Mute Left on");
  EXPECT_EQ(out[7], "on");
  EXPECT_EQ(out[10], "0 dB");
  // Both edits undone: the device holds what it held before the batch.
  EXPECT_EQ(device_->Image(), image_);
}

struct FailureCase {
  const char* name;
  QStringList options;
  int exit_code;
  QStringList out;
  bool right_edited;
};

class CliBatchFailureTest : public CliBatchTest,
                            public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CliBatchFailureTest, FirstFailingLineDecides) {
  StartDevice(0);
  const FailureCase& c = GetParam();
  const CliRun run = RunBatch(
      "set Left gain -3\n"
      "set Left volume 1\n"
      "set Right gain -3\n",
      c.options);
  EXPECT_EQ(run.exit_code, c.exit_code);
  EXPECT_EQ(run.OutLines(), c.out);
  ASSERT_EQ(run.ErrLines().size(), 1) << run.err.toStdString();
  EXPECT_TRUE(run.ErrLines()[0].startsWith("tessaly-cli: line 2: ")) << run.err.toStdString();
  EXPECT_EQ(RunTcp(2, {"get", "Right", "gain"}).OutLines(),
            QStringList({c.right_edited ? "-3 dB" : "0 dB"}));
}

INSTANTIATE_TEST_SUITE_P(Options, CliBatchFailureTest,
                         ::testing::Values(FailureCase{"Stops", {}, 2, {"Left gain -3 dB"}, false},
                                           FailureCase{"KeepsGoing",
                                                       {"--keep-going"},
                                                       2,
                                                       {"Left gain -3 dB", "Right gain -3 dB"},
                                                       true}),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                           return info.param.name;
                         });

TEST_F(CliBatchTest, LinkedEqEditRecomputesTheFollowersCurve) {
  StartDevice(0);
  const CliRun run = RunBatch(
      "set InL link on\n"
      "set InR eq.2.gain 9\n"
      "curve InL --csv\n"
      "curve InR --csv\n");
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  const QStringList out = run.OutLines();
  ASSERT_EQ(out.size(), 2 + 2 * 1585);
  EXPECT_EQ(out[1], "InR eq.2.gain 9 dB (linked: InL)");
  const QStringList follower = out.mid(2, 1585);
  const QStringList leader = out.mid(2 + 1585);
  EXPECT_EQ(follower, leader);
  EXPECT_NE(follower, RunTcp(2, {"curve", "Right", "--csv"}).OutLines()) << "the band is flat";
}

TEST_F(CliBatchTest, HundredEditsShareOneReadout) {
  StartDevice(3);
  // The readout command's reads are one read-out.
  ASSERT_EQ(RunTcp(2, {"readout"}).exit_code, 0);
  const int one_readout = Reads();
  device_->ClearReceived();
  QByteArray lines;
  for (int i = 0; i < 100; ++i) lines += QStringLiteral("set Sub gain -%1\n").arg(i % 40).toUtf8();
  const CliRun run = Run({"--tcp", "127.0.0.2", "batch", "-"}, lines);
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.OutLines().size(), 100);
  EXPECT_GT(one_readout, 0);
  EXPECT_EQ(Reads(), one_readout);
}

TEST_F(CliBatchTest, UsageErrorsOfTheBatchItself) {
  StartDevice(0);
  for (const QStringList& args :
       {QStringList{"batch"}, QStringList{"batch", "/nonexistent/lines.txt"},
        QStringList{"batch", "a", "b"}}) {
    const CliRun run = RunTcp(2, args);
    EXPECT_EQ(run.exit_code, 2) << args.join(' ').toStdString();
    EXPECT_EQ(run.ErrLines().size(), 1) << run.err.toStdString();
  }
  for (const char* line : {"scan 127.0.0.2 127.0.0.3\n", "batch -\n", "undo\n", "redo\n"}) {
    const CliRun run = RunBatch(QString::fromUtf8(line));
    EXPECT_EQ(run.exit_code, 2) << line;
    EXPECT_TRUE(run.out.isEmpty()) << line;
  }
}

}  // namespace
}  // namespace tessaly::test
