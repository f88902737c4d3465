#include "cli/Commands.h"
#include "cli/ParameterText.h"

namespace tessaly::cli {
namespace {

constexpr const char* kUsage =
    R"(Usage: tessaly-cli [--tcp ADDRESS[:PORT] | --com N] [--type T] [--json] [--trace] COMMAND ...
       tessaly-cli [options] [--keep-going] batch FILE

Drives Tessaly devices through the same core as the editor: every packet is the one the editor
would send for the same action.

Options:
  --tcp ADDRESS[:PORT]  reach the device over TCP/IP; the port is TESSALY_DEVICE_PORT or 1001
                        unless given here
  --com N               reach the device over USB on COM port N (TESSALY_COM_DIR/COMn when set)
  --type T              the device's type code (0 RK-540, 1 RK-360, 2 RL-4800, 3 540S); skips
                        the probe and identification
  --json                print results as JSON (see below)
  --trace               print every packet sent ("> ") and received ("< ") in hex on stderr
  --help                this text; "tessaly-cli help set" lists the parameters
  --keep-going          batch: run every line even after one failed
  --version             print the program's version

Commands:
  scan FIRST LAST             scan addresses FIRST..LAST (same first three octets) on the
                              device port; one line per device found:
                              slot, address, type code, model, name (tab-separated)
  identify                    probe and identify the device: type code, model, name
  readout [--out FILE]        the complete device read-out, printed as JSON or written to FILE
  set CHANNEL PARAMETER VALUE read the device, then make one edit as the editor does (value in
                              the unit the editor shows, snapped and clamped alike, linked
                              channels follow) and send it; CHANNEL "device" for device settings
  get CHANNEL PARAMETER       read the device, then print the parameter's value as the editor
                              shows it
  params [--json]             the parameters of set; with --json their table: name, families,
                              device types, scope, range, step, unit, captions
  send COMMAND [P1 ... P8]    one raw exchange (bytes in decimal or 0x hex); prints the reply
  curve CHANNEL [--csv]       the channel's magnitude response as the graph draws it: one line
                              per point of the 1584-point grid, "HZ DB" (CSV with --csv)
  programs                    the device's program slots: number, stored or empty, name
  store N NAME                store the device's program into program N (1 to the type's count)
  recall N [--no-backup]      recall program N into the device (the program it ran is kept in
                              the backups folder first; when it cannot be, nothing is recalled
                              unless --no-backup, which keeps nothing)
  preset save FILE            save the device's program as a preset file
  preset load FILE [--verify] [--no-backup]
                              check a preset file and load it into the device (the program it
                              ran is kept in the backups folder first, as with recall); a
                              refused file sends nothing; --verify reads the device's program
                              back and compares
  preset show FILE            every parameter of a preset file as the editor shows it, no device
                              (the extension names the type, or give --type)
  project save FILE           read every program of the device into a project file
  project store FILE [--no-verify] [--no-backup]
                              write a project into the device's program memory (its programs are
                              kept in the backups folder first, as with recall), then read it
                              back and compare
  copy SRC DST                copy one channel's processing onto another, as the Copy window
  diff A B                    compare two of: a preset file, a project file, "device"; one line
                              per differing parameter "program channel parameter: a -> b";
                              exit 0 equal, 1 different, 3 an operand could not be read
  push FILE                   bring the device to a preset file of its family: send only the
                              parameters that differ, each as the editor sends it (one line
                              each), then read the device back; exit 0 when it holds the file,
                              1 when it differs (naming the first difference) or did not
                              answer, or for a project or the other family's file (nothing sent)
  meters [--json] [--watch MS] [--count N]
                              one meter poll (with --watch one every MS milliseconds, N times
                              or until stopped): per channel the level in dB and LEDs lit of
                              each of its three meter points, clip, limiter active and gain
                              reduction; then standby and sleep
  eq import CHANNEL FILE [--dry-run]
                              take a channel's EQ from a REW filter-settings export or an
                              Equalizer APO configuration: one line per band as asked and as the
                              device will hold it, skipped filters on stderr; then every changed
                              band is sent as the editor sends it (--dry-run sends nothing); a
                              file that cannot be read exits 1 naming its line, nothing sent
  eq export CHANNEL FILE --format rew|apo
                              write the channel's EQ bands in REW's or Equalizer APO's text
  paths                       where init.cfg, presets and projects, and backups are kept
  batch FILE                  the commands of FILE (- for stdin), one per line with its words as
                              on this command line (double quotes group words, "#" starts a
                              comment), over one connection and one read-out, each command's
                              output in order; the lines undo and redo take back and repeat the
                              last edit; stops at the first failing line with that line's exit
                              status unless --keep-going (then the first failure's status)

Channels are named as the editor shows them (InL InR Left Right Sub; In1L In1R In2L In2R Left
Right Sub on the 540S) or given by number from 0.

Exit status: 0 success, 1 the device did not answer or refused (or a file could not be
written), 2 usage error (also a batch file that cannot be read). Errors are one sentence on
stderr; in a batch it starts with "line N: ".

JSON output (--json), one document on stdout:
  scan      [{"slot", "address", "type", "model", "name"}, ...]
  identify  {"address", "port" or "com", "type", "model", "name"}
  readout   {"address", "type", "model", "name", "firmware", "second_version",
             "image" (hex), "settings" (hex, settings addresses 0..47), "ip",
             "routing" (hex, 540S; else null), "programs": [{"number", "status", "stored",
             "name"}], "current_program", "sleep_table" (hex)}
  set       {"channel", "parameter", "value", "sent", "linked": [channel names]}
  get       {"channel", "parameter", "value", "index"}
  params    [{"name", "families", "device_types", "scope", "range": {"min", "max",
             "min_shown", "max_shown"}, "step", "unit", "captions", "captions_b" (when
             family B names them otherwise), "values"}, ...]
  undo      {"undo": what was undone} (and redo alike, in a batch)
  send      {"command", "params": [8 bytes], "reply" (hex)}
  curve     {"channel", "points": [[hz, db], ...]}
  eq import {"bands": [{"band", "asked", "held", "changes"}], "skipped": [{"line", "text",
            "reason"}], "largest_difference_db"}
  paths     {"init_cfg", "presets_and_projects", "backups"}
  meters    one line per poll: {"channels": [{"name", "points": [{"level_db", "leds"} x3],
            "clip", "limit", "gain_reduction_db" (null without a word)}, ...], "standby",
            "sleep"}
)";

}  // namespace

Outcome RunHelp(Session& session, const QStringList& args) {
  CliOutput& out = session.output();
  if (args.isEmpty() || args[0] != QLatin1String("set")) {
    out.Line(QString::fromLatin1(kUsage).trimmed());
    return Outcome::Ok();
  }
  out.Line(QStringLiteral("Parameters of set (N: band number from 1, or routing source 1 to 4;"));
  out.Line(
      QStringLiteral("IN: mixer input In1L, In1R, In2L, In2R). Families: A = RK-540, RK-360,"));
  out.Line(QStringLiteral("RL-4800; B = 540S. Channels: in = inputs, out = outputs, any, device."));
  out.Line(QString());
  for (const model::ParameterDescriptor& parameter : model::Parameters()) {
    out.Line(HelpRow(parameter));
  }
  return Outcome::Ok();
}

}  // namespace tessaly::cli
