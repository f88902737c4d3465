#include <QFile>

#include "CliHarness.h"

namespace tessaly::test {
namespace {

constexpr int kOctet = 171;

class CliEqTest : public CliFixture {
 protected:
  void SetUp() override {
    CliFixture::SetUp();
    device_ = Device(StartTcp(0, kOctet));
  }
  QString Write(const char* name, const QByteArray& text) {
    const QString path = dir().filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
  }
  std::shared_ptr<sim::SimDevice> device_;
};

const QString kApo = QStringLiteral(TESSALY_EQ_DATA "/apo-config.txt");

TEST_F(CliEqTest, DryRunShowsEveryBandAndNamesTheSkippedWithoutSending) {
  const QByteArray image = device_->Image();
  const CliRun run = RunTcp(kOctet, {"--trace", "eq", "import", "InL", kApo, "--dry-run"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  const QStringList lines = run.OutLines();
  ASSERT_EQ(lines.size(), 13);
  EXPECT_EQ(lines[0], "Band 1: PK 99.6 Hz -3.3 dB Q 2.04 -> Bell 100 Hz -3.5 dB Q 2");
  EXPECT_EQ(lines[2],
            "Band 3: HS 8000 Hz -2.5 dB -> HiShQ 8000 Hz -2.5 dB Q 0.7 (no Q given: takes 0.71)");
  EXPECT_TRUE(lines[8].startsWith("Band 9: (left over) -> Bell ")) << lines[8].toStdString();
  EXPECT_TRUE(lines[12].startsWith("Largest difference: "));
  EXPECT_TRUE(run.err.contains("Line 6 skipped, switched off: Filter 3: OFF PK"));
  EXPECT_TRUE(run.err.contains("Line 8 skipped, the device has no BP filter"));
  EXPECT_TRUE(run.EditPackets().isEmpty());
  EXPECT_EQ(device_->Image(), image);
}

TEST_F(CliEqTest, ImportSendsTheChangedBandsAndExportReadsBackUnchanged) {
  const CliRun run = RunTcp(kOctet, {"--trace", "eq", "import", "InL", kApo});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_GE(run.EditPackets().size(), 7);
  for (const QString& packet : run.EditPackets()) EXPECT_EQ(packet.section(' ', 3, 4), "05 00");
  EXPECT_EQ(RunTcp(kOctet, {"get", "InL", "eq.7.gain"}).OutLines(), QStringList{"15 dB"});
  EXPECT_EQ(RunTcp(kOctet, {"get", "InL", "eq.5.type"}).OutLines(), QStringList{"LP-Q"});

  for (const char* format : {"rew", "apo"}) {
    const QString path = dir().filePath(QStringLiteral("inl.txt"));
    const CliRun out = RunTcp(kOctet, {"eq", "export", "InL", path, "--format", format});
    ASSERT_EQ(out.exit_code, 0) << out.err.toStdString();
    const CliRun back = RunTcp(kOctet, {"--trace", "eq", "import", "InL", path});
    ASSERT_EQ(back.exit_code, 0) << format << ": " << back.err.toStdString();
    EXPECT_TRUE(back.EditPackets().isEmpty()) << format;
  }
}

TEST_F(CliEqTest, UnreadableFileNamesItsLineAndReachesNoDevice) {
  const QString bad = Write("bad.txt", "Preamp: -2 dB\nFilter 1: ON PK Fc 1k Hz Gain 1 dB Q 1\n");
  const CliRun run = RunTcp(kOctet, {"--trace", "eq", "import", "InL", bad});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.err.contains("Line 2: \"1k\" is not a finite number.")) << run.err.toStdString();
  EXPECT_TRUE(run.Sent().isEmpty());
  EXPECT_EQ(RunTcp(kOctet, {"eq", "export", "InL", bad, "--format", "csv"}).exit_code, 2);
}

}  // namespace
}  // namespace tessaly::test
