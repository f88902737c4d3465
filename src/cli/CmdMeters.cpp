#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cmath>

#include "cli/Commands.h"
#include "connect/Exchange.h"
#include "device/Commands.h"
#include "protocol/MeterReading.h"
#include "protocol/ValueLists.h"

namespace tessaly::cli {
namespace {

constexpr int kMaxWatchMs = 3600000;

// Written by hand so the keys keep the order a reader expects: name first, flags last.
QString Number(double value) { return QString::number(std::round(value * 1000.0) / 1000.0 + 0.0); }
QString Bool(bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); }

QString ToJson(const protocol::MeterReading& reading, int type) {
  QStringList channels;
  for (int c = 0; c < reading.channel_count; ++c) {
    const protocol::MeterChannel& ch = reading.channels[static_cast<size_t>(c)];
    QStringList points;
    for (int p = 0; p < protocol::kMeterPoints; ++p) {
      points << QStringLiteral("{\"level_db\": %1, \"leds\": %2}")
                    .arg(Number(ch.level_db[static_cast<size_t>(p)]))
                    .arg(ch.leds[static_cast<size_t>(p)]);
    }
    channels << QStringLiteral(
                    "{\"name\": \"%1\", \"points\": [%2], \"clip\": %3, \"limit\": %4, "
                    "\"gain_reduction_db\": %5}")
                    .arg(protocol::ChannelName(type, c), points.join(QStringLiteral(", ")),
                         Bool(ch.clip), Bool(ch.limit),
                         ch.gain_reduction_db ? Number(*ch.gain_reduction_db)
                                              : QStringLiteral("null"));
  }
  return QStringLiteral("{\"channels\": [%1], \"standby\": %2, \"sleep\": %3}")
      .arg(channels.join(QStringLiteral(", ")), Bool(reading.standby), Bool(reading.sleep));
}

QString YesNo(bool on) { return on ? QStringLiteral("yes") : QStringLiteral("no"); }

// "InL  -3.2 dB 6 | -60.0 dB 0 | ...  clip no  limit no  gain reduction -1.5 dB"
void PrintText(CliOutput& out, const protocol::MeterReading& reading, int type) {
  for (int c = 0; c < reading.channel_count; ++c) {
    const protocol::MeterChannel& ch = reading.channels[static_cast<size_t>(c)];
    QStringList points;
    for (int p = 0; p < protocol::kMeterPoints; ++p) {
      points << QStringLiteral("%1 dB %2")
                    .arg(ch.level_db[static_cast<size_t>(p)], 5, 'f', 1)
                    .arg(ch.leds[static_cast<size_t>(p)]);
    }
    out.Line(QStringLiteral("%1  %2  clip %3  limit %4  gain reduction %5")
                 .arg(protocol::ChannelName(type, c), -5)
                 .arg(points.join(QStringLiteral(" | ")), YesNo(ch.clip), YesNo(ch.limit),
                      ch.gain_reduction_db
                          ? QString::number(*ch.gain_reduction_db, 'f', 1) + QStringLiteral(" dB")
                          : QStringLiteral("-")));
  }
  out.Line(
      QStringLiteral("standby %1  sleep %2").arg(YesNo(reading.standby), YesNo(reading.sleep)));
}

void Pause(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

Outcome RunMeters(Session& session, const QStringList& args) {
  bool json = session.output().json();
  std::optional<int> watch_ms;
  std::optional<int> count;
  for (int i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QLatin1String("--json")) {
      json = true;
    } else if ((arg == QLatin1String("--watch") || arg == QLatin1String("--count")) &&
               i + 1 < args.size()) {
      const auto value = ParseInteger(args[++i], 1, kMaxWatchMs);
      if (!value) {
        return Outcome::Usage(QStringLiteral("%1 needs a number 1 to %2, not \"%3\".")
                                  .arg(arg)
                                  .arg(kMaxWatchMs)
                                  .arg(args[i]));
      }
      (arg == QLatin1String("--watch") ? watch_ms : count) = *value;
    } else {
      return Outcome::Usage(QStringLiteral("meters takes [--json] [--watch MS] [--count N]."));
    }
  }
  const Outcome opened = session.Open();
  if (!opened.ok()) return opened;
  const int type = session.device_type();
  CliOutput& out = session.output();
  const int polls = watch_ms ? count.value_or(0) : 1;  // 0: until stopped
  QElapsedTimer clock;
  for (int poll = 0; polls == 0 || poll < polls; ++poll) {
    clock.start();
    const comm::ExchangeResult polled = session.comm().Exchange(kCliSlot, device::kCmdMeters);
    if (!polled.answered()) {
      return Outcome::Device(
          QStringLiteral("The device at %1 did not answer the meter poll.").arg(session.Where()));
    }
    const auto reading = protocol::DecodeMeterReply(polled.Bytes(), type);
    if (!reading) {
      return Outcome::Device(
          QStringLiteral("The device at %1 sent a meter reply that cannot be read.")
              .arg(session.Where()));
    }
    if (json) {
      out.Line(ToJson(*reading, type));
    } else {
      if (poll > 0) out.Line(QString());
      PrintText(out, *reading, type);
    }
    if (watch_ms && (polls == 0 || poll + 1 < polls)) {
      Pause(std::max(0, *watch_ms - static_cast<int>(clock.elapsed())));
    }
  }
  return Outcome::Ok();
}

}  // namespace tessaly::cli
