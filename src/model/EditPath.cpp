#include "model/EditPath.h"

#include "graph/ResponseCurves.h"
#include "model/ValueTargets.h"
#include "protocol/ChannelLinking.h"
#include "protocol/CommonOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ProgramStore.h"
#include "protocol/ValueLists.h"
#include "protocol/ValueScale.h"

namespace tessaly::model {
namespace {

using protocol::EditResult;

EditOutcome Refusal(EditStatus status, const QString& reason) {
  EditOutcome out;
  out.status = status;
  out.reason = reason;
  return out;
}

EditOutcome OutOfRange(const ParameterDescriptor& p, int index) {
  return Refusal(EditStatus::kRefused, QStringLiteral("%1 is not accepted for %2, which takes %3.")
                                           .arg(index)
                                           .arg(p.name, p.RangeText()));
}

// The worst result wins: a lost reply is not hidden by a later success.
EditResult Worse(EditResult a, EditResult b) {
  return static_cast<int>(b) > static_cast<int>(a) ? b : a;
}

std::vector<uint8_t> Snapshot(const protocol::ProgramData& data) {
  const auto record = data.Record();
  return {record.begin(), record.end()};
}

// Counts the path's own writes while it lives.
class OwnWrites {
 public:
  explicit OwnWrites(int& depth) : depth_(depth) { ++depth_; }
  ~OwnWrites() { --depth_; }
  OwnWrites(const OwnWrites&) = delete;
  OwnWrites& operator=(const OwnWrites&) = delete;

 private:
  int& depth_;
};

void PutByte(protocol::ProgramData& data, int offset, uint8_t value) {
  if (offset < data.tail_start()) {
    data.Set(offset, value);
  } else {
    data.SetTail(offset - data.tail_start(), value);
  }
}

}  // namespace

// One edit or resend of one slot, with the context its operation needs.
class EditRunner {
 public:
  EditRunner(const EditPath& path, const EditTarget& target, int type)
      : target_(target),
        parameter_(Param(target.id)),
        ctx_{path.store_,
             path.dispatcher_.For(target.slot),
             *path.linking_,
             target.slot,
             type,
             protocol::LayoutOfType(type),
             parameter_.scope == Scope::kDevice ? -1 : target.channel,
             target.element} {}

  const OpContext& ctx() const { return ctx_; }
  const ParameterDescriptor& parameter() const { return parameter_; }
  const Operation& op() const { return parameter_.op; }

  ParseOptions Context(ParseOptions options) const {
    options.device_type = ctx_.type;
    options.channel = ctx_.ch;
    options.delay_unit = ctx_.state().delay_unit;
    if (const auto band = ctx_.layout.GlobalBand(ctx_.ch, ctx_.element)) {
      options.band_type = ctx_.state().band_type[static_cast<size_t>(*band)];
    }
    return options;
  }

  // Recomputes the curves an edit of `channel` moved and tells the views.
  void Announce(EditPath& path, int channel) const {
    graph::ResponseCurves& curves = path.curves_;
    const int slot = ctx_.slot;
    switch (op().curves) {
      case CurveEffect::kBand:
        if (const auto band = ctx_.layout.GlobalBand(channel, ctx_.element)) {
          curves.UpdateBandCurve(slot, *band);
        }
        break;
      case CurveEffect::kChannelBands:
        curves.RecomputeChannelBands(slot, channel);
        break;
      case CurveEffect::kHighPass:
      case CurveEffect::kLowPass: {
        const int filter = op().curves == CurveEffect::kHighPass ? protocol::kFilterHighPass
                                                                 : protocol::kFilterLowPass;
        if (const auto x = ctx_.layout.CrossoverIndex(channel, filter)) {
          curves.UpdateXoverCurve(slot, *x);
        }
        break;
      }
      case CurveEffect::kNone:
        break;
    }
    emit path.parameterChanged(slot, channel, target_.id, ctx_.element);
  }

 private:
  EditTarget target_;
  const ParameterDescriptor& parameter_;
  OpContext ctx_;
};

EditPath::EditPath(protocol::ProgramStore& store, graph::ResponseCurves& curves,
                   protocol::Dispatcher& dispatcher, QObject* parent)
    : QObject(parent),
      store_(store),
      curves_(curves),
      dispatcher_(dispatcher),
      linking_(std::make_unique<protocol::ChannelLinking>(store, dispatcher)) {
  for (int slot = 0; slot < device::kSlotCount; ++slot) {
    stacks_[static_cast<size_t>(slot)] = std::make_unique<UndoStack>(*this, slot);
  }
  connect(&store_, &protocol::ProgramStore::programChanged, this, [this](int slot) {
    if (slot < 0 || slot >= device::kSlotCount) return;
    Undo(slot).Clear();
    ClearPending(slot);
    emit programReplaced(slot);
  });
  connect(&store_, &protocol::ProgramStore::channelChanged, this, &EditPath::OnChannelChanged);
}

void EditPath::OnChannelChanged(int slot, int channel) {
  if (own_writes_ > 0) return;
  const auto type = store_.DeviceType(slot);
  if (!type) return;
  for (const EditTarget& t : ValueTargets(slot, *type)) {
    if (t.channel == channel) emit parameterChanged(slot, channel, t.id, t.element);
  }
}

EditPath::~EditPath() = default;

UndoStack& EditPath::Undo(int slot) {
  return *stacks_[static_cast<size_t>(std::clamp(slot, 0, device::kSlotCount - 1))];
}

const PendingEdits& EditPath::Pending(int slot) const {
  return pending_[static_cast<size_t>(std::clamp(slot, 0, device::kSlotCount - 1))];
}

void EditPath::ClearPending(int slot) {
  if (slot < 0 || slot >= device::kSlotCount) return;
  PendingEdits& pending = pending_[static_cast<size_t>(slot)];
  if (pending.Count() == 0) return;
  pending.ClearAll();
  emit pendingChanged(slot);
}

void EditPath::Acknowledge(int slot, const PendingEdits::Key& key) {
  if (slot < 0 || slot >= device::kSlotCount) return;
  PendingEdits& pending = pending_[static_cast<size_t>(slot)];
  if (!pending.Contains(key)) return;
  pending.Clear(key);
  emit pendingChanged(slot);
}

void EditPath::Track(int slot, const std::vector<PendingEdits::Key>& keys, EditStatus status) {
  if (slot < 0 || slot >= device::kSlotCount) return;
  PendingEdits& pending = pending_[static_cast<size_t>(slot)];
  const bool lost = status == EditStatus::kSendFailed ||
                    (status == EditStatus::kHeld && store_.transmitter().Unreachable(slot));
  if (!lost && status != EditStatus::kDone) return;
  const int before = pending.Count();
  bool changed = false;
  for (const PendingEdits::Key& key : keys) {
    changed = changed || pending.Contains(key) != lost;
    if (lost) {
      pending.Mark(key);
    } else {
      pending.Clear(key);
    }
  }
  if (changed || pending.Count() != before) emit pendingChanged(slot);
}

void EditPath::BeginGesture(int slot, const QString& text) { Undo(slot).BeginGesture(text); }
void EditPath::EndGesture(int slot) { Undo(slot).EndGesture(); }

namespace {

// Why a target cannot be edited; empty when it can.
EditOutcome Check(const protocol::ProgramStore& store, const EditTarget& t, int* type) {
  const ParameterDescriptor* p = &Param(t.id);
  const auto device_type = store.DeviceType(t.slot);
  if (!device_type) {
    return Refusal(EditStatus::kRefused, QStringLiteral("Slot %1 is not a device slot (0 to %2).")
                                             .arg(t.slot)
                                             .arg(device::kSlotCount - 1));
  }
  *type = *device_type;
  if (!p->OnType(*type)) {
    return Refusal(EditStatus::kNotSupported,
                   QStringLiteral("This device type has no \"%1\".").arg(p->name));
  }
  const protocol::Layout& layout = protocol::LayoutOfType(*type);
  const int ch = t.channel;
  QString reason;
  switch (p->scope) {
    case Scope::kInput:
    case Scope::kRoutingPoint:
      if (!layout.IsInput(ch)) {
        reason = QStringLiteral("\"%1\" belongs to the input channels 0 to %2.")
                     .arg(p->name)
                     .arg(layout.input_count - 1);
      }
      break;
    case Scope::kOutput:
    case Scope::kCrossover:
    case Scope::kMixerSend:
      if (!layout.IsOutput(ch)) {
        reason = QStringLiteral("\"%1\" belongs to the output channels %2 to %3.")
                     .arg(p->name)
                     .arg(layout.first_output)
                     .arg(layout.channel_count - 1);
      }
      break;
    case Scope::kAnyChannel:
    case Scope::kBand:
      if (!layout.IsChannel(ch)) {
        reason = QStringLiteral("\"%1\" belongs to the channels 0 to %2.")
                     .arg(p->name)
                     .arg(layout.channel_count - 1);
      }
      break;
    case Scope::kDevice:
      break;
  }
  if (reason.isEmpty() && p->scope == Scope::kBand && !layout.IsBand(ch, t.element)) {
    reason = QStringLiteral("The channel has EQ bands 1 to %1.").arg(layout.BandCount(ch));
  }
  const bool four = p->scope == Scope::kMixerSend || p->scope == Scope::kRoutingPoint;
  if (reason.isEmpty() && four && (t.element < 0 || t.element >= protocol::kMixerSends)) {
    reason = p->scope == Scope::kMixerSend
                 ? QStringLiteral("Mixer inputs are numbered 1 to %1.").arg(protocol::kMixerSends)
                 : QStringLiteral("Routing sources are numbered 1 to %1.")
                       .arg(protocol::kRoutingSources);
  }
  if (!reason.isEmpty()) return Refusal(EditStatus::kRefused, reason);
  return {};
}

QString ElementText(const EditTarget& t, int type) {
  switch (Param(t.id).scope) {
    case Scope::kBand:
      return QStringLiteral(" Band %1").arg(t.element + 1);
    case Scope::kMixerSend:
      return QLatin1Char(' ') + protocol::ChannelName(type, t.element);
    case Scope::kRoutingPoint:
      return QStringLiteral(" Source %1").arg(t.element + 1);
    default:
      return {};
  }
}

}  // namespace

EditOutcome EditPath::SetText(const EditTarget& target, QStringView text, ParseOptions options) {
  int type = 0;
  EditOutcome checked = Check(store_, target, &type);
  if (!checked.reason.isEmpty()) return checked;
  const EditRunner runner(*this, target, type);
  const ParseResult parsed = runner.parameter().Parse(text, runner.Context(options));
  if (!parsed.ok()) return Refusal(EditStatus::kRefused, parsed.refusal);
  return SetIndex(target, *parsed.index);
}

EditOutcome EditPath::SetIndex(const EditTarget& target, int index) {
  return SetIndexes({{target, index}});
}

ParseResult EditPath::Parse(const EditTarget& target, QStringView text,
                            ParseOptions options) const {
  int type = 0;
  const EditOutcome checked = Check(store_, target, &type);
  if (!checked.reason.isEmpty()) return {std::nullopt, checked.reason};
  const EditRunner runner(*this, target, type);
  return runner.parameter().Parse(text, runner.Context(options));
}

EditOutcome EditPath::SetIndexes(const std::vector<FieldIndex>& fields) {
  if (fields.empty()) return Refusal(EditStatus::kRefused, QStringLiteral("Nothing to set."));
  int type = 0;
  const FieldIndex& last = fields.back();
  for (size_t i = 0; i < fields.size(); ++i) {
    const FieldIndex& f = fields[i];
    EditOutcome checked = Check(store_, f.target, &type);
    if (!checked.reason.isEmpty()) return checked;
    const ParameterDescriptor& p = Param(f.target.id);
    const bool together = f.target.slot == last.target.slot &&
                          f.target.channel == last.target.channel &&
                          f.target.element == last.target.element;
    if (i + 1 < fields.size() && (p.op.stage == nullptr || !together)) {
      return Refusal(EditStatus::kRefused, QStringLiteral("\"%1\" does not travel with \"%2\".")
                                               .arg(p.name, Param(last.target.id).name));
    }
    if (i + 1 < fields.size() && (f.index < p.minimum || f.index > p.maximum)) {
      return OutOfRange(p, f.index);
    }
  }
  const EditTarget& target = last.target;
  const int index = last.index;
  const EditRunner runner(*this, target, type);
  const ParameterDescriptor& p = runner.parameter();
  const Operation& op = p.op;
  const OpContext& ctx = runner.ctx();
  const auto before_index = op.read(ctx);
  if (!before_index) {
    return Refusal(EditStatus::kRefused, QStringLiteral("The channel has no \"%1\".").arg(p.name));
  }
  if (index < p.minimum || index > p.maximum) return OutOfRange(p, index);

  EditOutcome out;
  out.index = index;
  if (fields.size() == 1 && p.same_value_is_no_edit && *before_index == index) {
    out.unchanged = true;
    out.shown = p.Show(index, runner.Context({}));
    return out;
  }

  const bool held = store_.transmitter().Holds(target.slot);
  const std::vector<uint8_t> record_before = Snapshot(ctx.data());
  const protocol::SlotState state_before = ctx.state();

  std::optional<OwnWrites> own(std::in_place, own_writes_);
  // The earlier fields go into the record only; the last one's command carries them all.
  EditResult result = EditResult::kDone;
  for (size_t i = 0; i + 1 < fields.size() && result == EditResult::kDone; ++i) {
    const EditRunner staged(*this, fields[i].target, type);
    result = staged.op().stage(staged.ctx(), fields[i].index, true);
  }
  if (result == EditResult::kDone) result = op.write(ctx, index, true);
  if (result == EditResult::kRefused || result == EditResult::kNotSupported) {
    ctx.data().SetRecord(record_before);
    ctx.state() = state_before;
    return Refusal(
        result == EditResult::kRefused ? EditStatus::kRefused : EditStatus::kNotSupported,
        QStringLiteral("The edit of \"%1\" was refused in the device's present state.")
            .arg(p.name));
  }
  if (op.link != nullptr) {
    const protocol::LinkOutcome link = op.link(ctx);
    if (link.result != EditResult::kRefused) result = Worse(result, link.result);
    out.followers = link.followers;
  }
  own.reset();
  runner.Announce(*this, ctx.ch);
  for (const int follower : out.followers) runner.Announce(*this, follower);

  out.index = op.read(ctx).value_or(index);
  out.shown = p.Show(out.index, runner.Context({}));
  out.status = result == EditResult::kSendFailed ? EditStatus::kSendFailed
               : held                            ? EditStatus::kHeld
                                                 : EditStatus::kDone;
  std::vector<PendingEdits::Key> keys;
  for (const FieldIndex& f : fields) keys.push_back({f.target.id, ctx.ch, f.target.element});
  for (const int follower : out.followers) keys.push_back({target.id, follower, target.element});
  Track(target.slot, keys, out.status);

  if (p.undoable) {
    UndoEntry entry;
    const QString channel =
        ctx.ch < 0 ? QString() : QLatin1Char(' ') + protocol::ChannelName(type, ctx.ch);
    entry.text = p.caption + channel + ElementText(target, type) + QLatin1Char(' ') + out.shown;
    const auto record_after = ctx.data().Record();
    for (size_t i = 0; i < record_before.size() && i < record_after.size(); ++i) {
      if (record_before[i] != record_after[i]) {
        entry.bytes.push_back({static_cast<int>(i), record_before[i], record_after[i]});
      }
    }
    if (ctx.state() != state_before)
      entry.state = std::make_unique<const UndoEntry::StateChange>(
          UndoEntry::StateChange{state_before, ctx.state()});
    // A one-shot action is undone by resending what it changed: every band of the channel.
    const auto add_sends = [&](int channel) {
      if (p.kind != ValueKind::kAction) {
        entry.sends.push_back({p.id, channel, ctx.element});
        return;
      }
      for (int band = 0; band < ctx.layout.BandCount(channel); ++band) {
        entry.sends.push_back({ParamId::kEqGain, channel, band});
      }
    };
    add_sends(ctx.ch);
    for (const int follower : out.followers) add_sends(follower);
    Undo(target.slot).Push(std::move(entry));
    emit undoRecorded(target.slot);
  }
  return out;
}

EditOutcome EditPath::Resend(const EditTarget& target) {
  int type = 0;
  EditOutcome checked = Check(store_, target, &type);
  if (!checked.reason.isEmpty()) return checked;
  const EditRunner runner(*this, target, type);
  const auto index = runner.op().read(runner.ctx());
  if (!index) {
    return Refusal(EditStatus::kRefused,
                   QStringLiteral("The channel has no \"%1\".").arg(runner.parameter().name));
  }
  const bool held = store_.transmitter().Holds(target.slot);
  EditResult result = EditResult::kDone;
  {
    const OwnWrites own(own_writes_);
    result = runner.op().write(runner.ctx(), *index, false);
  }
  EditOutcome out;
  out.index = *index;
  out.shown = runner.parameter().Show(*index, runner.Context({}));
  switch (result) {
    case EditResult::kDone:
      out.status = held ? EditStatus::kHeld : EditStatus::kDone;
      break;
    case EditResult::kSendFailed:
      out.status = EditStatus::kSendFailed;
      break;
    case EditResult::kNotSupported:
      out.status = EditStatus::kNotSupported;
      break;
    default:
      out.status = EditStatus::kRefused;
      break;
  }
  Track(target.slot, {{target.id, runner.ctx().ch, target.element}}, out.status);
  return out;
}

int EditPath::Index(const EditTarget& target) const {
  int type = 0;
  if (!Check(store_, target, &type).reason.isEmpty()) return -1;
  const EditRunner runner(*this, target, type);
  return runner.op().read(runner.ctx()).value_or(-1);
}

QString EditPath::Shown(const EditTarget& target) const {
  int type = 0;
  if (!Check(store_, target, &type).reason.isEmpty()) return {};
  const EditRunner runner(*this, target, type);
  const auto index = runner.op().read(runner.ctx());
  return index ? runner.parameter().Show(*index, runner.Context({})) : QString();
}

void EditPath::Announce(int slot, ParamId id) { emit parameterChanged(slot, -1, id, -1); }

std::optional<int> EditPath::DeviceType(int slot) const { return store_.DeviceType(slot); }

const protocol::SlotState* EditPath::SlotStateOf(int slot) const { return store_.State(slot); }

bool EditPath::LineBusy() const { return store_.transmitter().Busy(); }

EditOutcome EditPath::StepIndex(const EditTarget& target, int steps) {
  int type = 0;
  EditOutcome checked = Check(store_, target, &type);
  if (!checked.reason.isEmpty()) return checked;
  const EditRunner runner(*this, target, type);
  const ParameterDescriptor& p = runner.parameter();
  const auto now = p.op.read(runner.ctx());
  if (!now)
    return Refusal(EditStatus::kRefused, QStringLiteral("The channel has no \"%1\".").arg(p.name));
  const int top = p.kind == ValueKind::kBandQ
                      ? protocol::EqQScale(runner.Context({}).band_type).TopByte()
                      : p.maximum;
  const int next = std::clamp(*now + steps, p.minimum, top);
  if (next == *now) {
    EditOutcome out;
    out.index = next;
    out.unchanged = true;
    return out;
  }
  return SetIndex(target, next);
}

QString EditPath::BoxText(const EditTarget& target, bool decimal_comma) const {
  int type = 0;
  if (!Check(store_, target, &type).reason.isEmpty()) return {};
  const EditRunner runner(*this, target, type);
  const auto index = runner.op().read(runner.ctx());
  ParseOptions options;
  options.decimal_comma = decimal_comma;
  return index ? runner.parameter().BoxText(*index, runner.Context(options)) : QString();
}

EditOutcome EditPath::Replay(int slot, const UndoEntry& entry, bool forward) {
  protocol::ProgramData* data = store_.Data(slot);
  protocol::SlotState* state = store_.State(slot);
  const auto type = store_.DeviceType(slot);
  if (data == nullptr || state == nullptr || !type) {
    return Refusal(EditStatus::kRefused, QStringLiteral("Slot %1 has no device.").arg(slot));
  }
  const std::vector<uint8_t> record_now = Snapshot(*data);
  const protocol::SlotState state_now = *state;
  for (const UndoEntry::Byte& b : entry.bytes)
    PutByte(*data, b.offset, forward ? b.after : b.before);
  if (entry.state) *state = forward ? entry.state->after : entry.state->before;

  const bool held = store_.transmitter().Holds(slot);
  EditResult result = EditResult::kDone;
  const OwnWrites own(own_writes_);
  for (const UndoEntry::Send& s : entry.sends) {
    const EditRunner runner(*this, {slot, s.id, s.channel, s.element}, *type);
    const auto index = runner.op().read(runner.ctx());
    if (index) result = Worse(result, runner.op().write(runner.ctx(), *index, false));
    runner.Announce(*this, s.channel);
  }
  EditOutcome out;
  std::vector<PendingEdits::Key> keys;
  for (const UndoEntry::Send& s : entry.sends) keys.push_back({s.id, s.channel, s.element});
  if (result == EditResult::kSendFailed) {
    // The stack stays where it was, so the record goes back to what it held.
    data->SetRecord(record_now);
    *state = state_now;
    out.status = EditStatus::kSendFailed;
    out.reason =
        QStringLiteral("The device did not answer; \"%1\" was not %2.")
            .arg(entry.text, forward ? QStringLiteral("redone") : QStringLiteral("undone"));
    return out;
  }
  out.status = held ? EditStatus::kHeld : EditStatus::kDone;
  out.shown = entry.text;
  Track(slot, keys, out.status);
  return out;
}

EditOutcome EditPath::Adopt(const EditTarget& target, int index) {
  int type = 0;
  EditOutcome checked = Check(store_, target, &type);
  if (!checked.reason.isEmpty()) return checked;
  const EditRunner runner(*this, target, type);
  const ParameterDescriptor& p = runner.parameter();
  if (index < p.minimum || index > p.maximum) return OutOfRange(p, index);
  EditResult result = EditResult::kDone;
  {
    const OwnWrites own(own_writes_);
    result = runner.op().write(runner.ctx(), index, false);
  }
  if (result == EditResult::kRefused || result == EditResult::kNotSupported) {
    return Refusal(EditStatus::kRefused,
                   QStringLiteral("The device's \"%1\" cannot be taken.").arg(p.name));
  }
  runner.Announce(*this, runner.ctx().ch);
  PendingEdits& pending = pending_[static_cast<size_t>(target.slot)];
  const PendingEdits::Key key{target.id, runner.ctx().ch, target.element};
  if (pending.Contains(key)) {
    pending.Clear(key);
    emit pendingChanged(target.slot);
  }
  EditOutcome out;
  out.status = EditStatus::kHeld;
  out.index = index;
  out.shown = p.Show(index, runner.Context({}));
  return out;
}

}  // namespace tessaly::model
