#include <gtest/gtest.h>

#include <QProcess>

#include "app/AppState.h"
#include "support/SimHarness.h"

namespace tessaly::app {
namespace {

struct Outcome {
  int exit_code = -1;
  QString out;
  QString err;
};

// The application with no display at all: no X server, no offscreen platform to fall back on.
Outcome WithoutDisplay(const QStringList& arguments) {
  test::EnsureCoreApplication();
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    env.remove(QString::fromLatin1(name));
  }
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  process.setProcessEnvironment(env);
  process.start(QStringLiteral(TESSALY_APP_PATH), arguments);
  Outcome run;
  if (!process.waitForFinished(20000)) return run;
  run.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

TEST(CommandLine, AnswersWithoutADisplay) {
  struct Case {
    QStringList arguments;
    int exit_code;
    QString out;  // a line the output holds
    QString err;
  };
  const Case cases[] = {
      {{"--help"}, 0, "--device-port <N>", ""},
      {{"-h"}, 0, "--open-first", ""},
      {{"--version"}, 0, QStringLiteral("Tessaly ") + QLatin1String(kSoftwareVersion), ""},
      {{"--no-such-option"}, 1, "", "Unknown option 'no-such-option'"},
  };
  for (const Case& c : cases) {
    const Outcome run = WithoutDisplay(c.arguments);
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    EXPECT_EQ(run.exit_code, c.exit_code) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(c.out)) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(c.err)) << run.err.toStdString();
  }
}

}  // namespace
}  // namespace tessaly::app
