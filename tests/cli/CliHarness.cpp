#include "CliHarness.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QProcess>
#include <QTcpServer>

namespace tessaly::test {
namespace {

constexpr int kRunLimitMs = 60000;

class CoreApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QCoreApplication::instance() == nullptr) {
      static int argc = 1;
      static char name[] = "test_cli";
      static char* argv[] = {name, nullptr};
      app_ = std::make_unique<QCoreApplication>(argc, argv);
    }
  }
  // Gone before the exit handlers run: Qt's own statics may be destroyed by then.
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QCoreApplication> app_;
};

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment);

// Command bytes of the traffic around an edit: identify, release, program status, versions,
// memory reads and the two probes.
bool IsEditCommand(const QString& packet) {
  static const QStringList kOther = {
      QStringLiteral("00"), QStringLiteral("0F"), QStringLiteral("1F"), QStringLiteral("22"),
      QStringLiteral("5D"), QStringLiteral("5F"), QStringLiteral("77"), QStringLiteral("7F")};
  const QStringList bytes = packet.split(QLatin1Char(' '));
  return bytes.size() > 3 && !kOther.contains(bytes[3]);
}

QStringList Marked(const QString& err, const QString& marker) {
  QStringList lines;
  for (const QString& line : err.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    if (line.startsWith(marker)) lines << line.mid(marker.size());
  }
  return lines;
}

}  // namespace

QStringList CliRun::OutLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
QStringList CliRun::ErrLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
QStringList CliRun::Sent() const { return Marked(err, QStringLiteral("> ")); }
QStringList CliRun::Received() const { return Marked(err, QStringLiteral("< ")); }

QStringList CliRun::EditPackets() const {
  QStringList edits;
  for (const QString& packet : Sent()) {
    if (IsEditCommand(packet)) edits << packet;
  }
  return edits;
}

QJsonDocument CliRun::Json() const { return QJsonDocument::fromJson(out.toUtf8()); }

QString Hex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }
QString HexBlock(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

void CliFixture::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  // A port nobody listens on, shared by every emulated device of the test so one scan covers all.
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
  port_ = probe.serverPort();
  probe.close();
}

int CliFixture::Start(sim::SimDeviceConfig config) {
  QString error;
  const int index = host_.Start(config, &error);
  EXPECT_GE(index, 0) << error.toStdString();
  return index;
}

int CliFixture::StartTcp(int type, int last_octet, const QString& name, int programs) {
  sim::SimDeviceConfig config;
  config.type = type;
  config.name = name;
  config.address = QStringLiteral("127.0.0.%1").arg(last_octet);
  config.port = port_;
  config.programs = programs;
  return Start(config);
}

int CliFixture::StartPty(int type, int com, const QString& name) {
  sim::SimDeviceConfig config;
  config.type = type;
  config.name = name;
  config.link = sim::SimLinkKind::kPty;
  config.pty_link = dir_.filePath(QStringLiteral("COM%1").arg(com));
  return Start(config);
}

CliRun CliFixture::Run(const QStringList& args, const QByteArray& input) const {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("TESSALY_DEVICE_PORT"), QString::number(port_));
  env.insert(QStringLiteral("TESSALY_COM_DIR"), dir_.path());
  process.setProcessEnvironment(env);
  process.start(QStringLiteral(TESSALY_CLI_PATH), args);
  CliRun run;
  const bool started = process.waitForStarted();
  if (started) {
    process.write(input);
    process.closeWriteChannel();
  }
  if (!started || !process.waitForFinished(kRunLimitMs)) {
    process.kill();
    process.waitForFinished();
    ADD_FAILURE() << "tessaly-cli did not finish: " << args.join(' ').toStdString();
    return run;
  }
  run.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

CliRun CliFixture::RunTcp(int last_octet, const QStringList& args) const {
  return Run(QStringList{QStringLiteral("--tcp"), QStringLiteral("127.0.0.%1").arg(last_octet)} +
             args);
}

}  // namespace tessaly::test
