#include <QFile>

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
  qsizetype Reads() const {
    const QList<uint8_t> heard = device_->ReceivedCommands();
    return heard.count(kReadParams) + heard.count(kReadSettings);
  }

  std::shared_ptr<sim::SimDevice> device_;
  QByteArray image_;
};

TEST_F(CliBatchTest, LinesRunInOrderAndUndoRedoReachTheDevice) {
  StartDevice(0);
  const CliRun run = RunBatch(
      "# trim the left output\nget Left gain\nset Left gain -6   # quieter\n\nset Left mute on\n"
      "undo\nget Left mute\nget Left gain\nredo\nget Left mute\nundo\nundo\nget Left gain\n");
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  const QStringList out = run.OutLines();
  ASSERT_EQ(out.size(), 11) << run.out.toStdString();
  EXPECT_EQ(out.mid(0, 8),
            QStringList({"0 dB", "Left gain -6 dB", "Left mute on", "undo Mute Left on", "off",
                         "-6 dB", "redo Mute Left on", "on"}));
  EXPECT_EQ(out[10], "0 dB");
  // Both edits undone: the device holds what it held before the batch.
  EXPECT_EQ(device_->Image(), image_);
}

// The first failing line decides the exit status; --keep-going runs the lines after it.
TEST_F(CliBatchTest, FirstFailingLineDecides) {
  StartDevice(0);
  for (const bool keep_going : {false, true}) {
    device_->SetImage(image_);
    const CliRun run = RunBatch("set Left gain -3\nset Left volume 1\nset Right gain -3\n",
                                keep_going ? QStringList{"--keep-going"} : QStringList{});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.OutLines(), QStringList({"Left gain -3 dB"}) +
                                  (keep_going ? QStringList{"Right gain -3 dB"} : QStringList{}));
    ASSERT_EQ(run.ErrLines().size(), 1) << run.err.toStdString();
    EXPECT_TRUE(run.ErrLines()[0].startsWith("tessaly-cli: line 2: ")) << run.err.toStdString();
    EXPECT_EQ(RunTcp(2, {"get", "Right", "gain"}).OutLines(),
              QStringList({keep_going ? "-3 dB" : "0 dB"}));
  }
}

TEST_F(CliBatchTest, LinkedEqEditRecomputesTheFollowersCurve) {
  StartDevice(0);
  const CliRun run =
      RunBatch("set InL link on\nset InR eq.2.gain 9\ncurve InL --csv\ncurve InR --csv\n");
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  const QStringList out = run.OutLines();
  ASSERT_EQ(out.size(), 2 + 2 * 1585);
  EXPECT_EQ(out[1], "InR eq.2.gain 9 dB (linked: InL)");
  EXPECT_EQ(out.mid(2, 1585), out.mid(2 + 1585));  // the follower's curve is the leader's
  EXPECT_NE(out.mid(2, 1585), RunTcp(2, {"curve", "Right", "--csv"}).OutLines());
}

TEST_F(CliBatchTest, HundredEditsShareOneReadout) {
  StartDevice(3);
  // The readout command's reads are one read-out.
  ASSERT_EQ(RunTcp(2, {"readout"}).exit_code, 0);
  const qsizetype one_readout = Reads();
  ASSERT_GT(one_readout, 0);
  device_->ClearReceived();
  QByteArray lines;
  for (int i = 0; i < 100; ++i) lines += QStringLiteral("set Sub gain -%1\n").arg(i % 40).toUtf8();
  const CliRun run = Run({"--tcp", "127.0.0.2", "batch", "-"}, lines);
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.OutLines().size(), 100);
  EXPECT_EQ(Reads(), one_readout) << "the batch read the device more than once";
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
