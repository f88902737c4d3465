#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QTextStream>
#include <cstdio>

#include "cli/Commands.h"
#include "model/EditPath.h"

namespace tessaly::cli {
namespace {

// The words of one line as a shell splits them (double quotes group blanks), without the
// comment that a "#" outside quotes starts.
QStringList LineWords(const QString& line) {
  qsizetype end = 0;
  bool quoted = false;
  for (; end < line.size(); ++end) {
    if (line[end] == QLatin1Char('"')) quoted = !quoted;
    if (line[end] == QLatin1Char('#') && !quoted) break;
  }
  return QProcess::splitCommand(QStringView(line).left(end));
}

// "undo" or "redo" of the last edit through the slot's undo stack: "undo Gain Left -6 dB".
Outcome RunUndo(Session& session, bool redo) {
  model::UndoStack& stack = session.edit_path().Undo(kCliSlot);
  const QString word = redo ? QStringLiteral("redo") : QStringLiteral("undo");
  if (redo ? !stack.CanRedo() : !stack.CanUndo()) {
    return Outcome::Usage(QStringLiteral("There is no edit to %1.").arg(word));
  }
  const QString text = redo ? stack.RedoText() : stack.UndoText();
  const model::EditOutcome outcome = redo ? stack.RedoLast() : stack.UndoLast();
  if (outcome.status != model::EditStatus::kDone) {
    return Outcome::Device(outcome.reason.isEmpty()
                               ? QStringLiteral("The %1 of \"%2\" was not sent.").arg(word, text)
                               : outcome.reason);
  }
  CliOutput& out = session.output();
  if (out.json()) {
    QJsonObject object;
    object[word] = text;
    out.Json(object);
  } else {
    out.Line(word + QLatin1Char(' ') + text);
  }
  return Outcome::Ok();
}

// Commands that would leave the batch's one connection or start another batch.
bool RunsOutsideTheConnection(const QString& command) {
  return command == QLatin1String("scan") || command == QLatin1String("batch");
}

}  // namespace

Outcome RunBatch(Session& session, const QStringList& args) {
  bool keep_going = session.options().keep_going;
  QStringList rest;
  for (const QString& arg : args) {
    if (arg == QLatin1String("--keep-going")) {
      keep_going = true;
    } else {
      rest << arg;
    }
  }
  if (rest.size() != 1) return Outcome::Usage(QStringLiteral("batch needs FILE, or - for stdin."));
  QFile file;
  const bool from_stdin = rest[0] == QLatin1String("-");
  if (!from_stdin) file.setFileName(rest[0]);
  if (!(from_stdin ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly))) {
    return Outcome::Usage(QStringLiteral("The batch file %1 could not be read.").arg(rest[0]));
  }
  // Line by line, so that a controller feeding stdin sees each answer before it sends more.
  QTextStream in(&file);
  Outcome first_failure;
  QString line;
  for (int number = 1; in.readLineInto(&line); ++number) {
    const QStringList words = LineWords(line);
    if (words.isEmpty()) continue;
    Outcome outcome;
    if (words.size() == 1 &&
        (words[0] == QLatin1String("undo") || words[0] == QLatin1String("redo"))) {
      outcome = RunUndo(session, words[0] == QLatin1String("redo"));
    } else if (RunsOutsideTheConnection(words[0])) {
      outcome = Outcome::Usage(QStringLiteral("%1 cannot run inside a batch.").arg(words[0]));
    } else {
      outcome = RunCommandWords(session, words[0], words.mid(1));
    }
    if (outcome.ok()) continue;
    const QString message = QStringLiteral("line %1: %2").arg(number).arg(outcome.message);
    if (!keep_going) return {outcome.code, message};
    session.output().Error(message);
    if (first_failure.ok()) first_failure.code = outcome.code;
  }
  return first_failure;
}

}  // namespace tessaly::cli
