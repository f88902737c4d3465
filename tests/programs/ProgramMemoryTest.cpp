#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "comm/TimeScale.h"
#include "programs/DeviceExtras.h"
#include "programs/PresetFile.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramsRig.h"
#include "programs/SleepTable.h"

namespace tessaly::programs {
namespace {

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int AddressOf(const QByteArray& packet) {
  return static_cast<uint8_t>(packet[4]) * 256 + static_cast<uint8_t>(packet[5]);
}

QList<uint8_t> Commands(const sim::SimDevice& device) { return device.ReceivedCommands(); }

// Every wait of the exchange layer at a twentieth, read once before the first exchange of the
// binary: a silent device costs milliseconds.
class ScaledTime : public ::testing::Environment {
 public:
  void SetUp() override { qputenv("TESSALY_TIME_SCALE", "0.05"); }
};
const auto* const kScaledTime = ::testing::AddGlobalTestEnvironment(new ScaledTime);

TEST(ProgramAddressTest, LastSlotsOfBothFamilies) {
  EXPECT_EQ(ProgramAddress(0, 63, 0), 22688);
  EXPECT_EQ(ProgramAddress(3, 55, 0), 28928);
  EXPECT_EQ(ProgramNumberText(8), QStringLiteral("09"));
  EXPECT_EQ(ProgramNumberText(9), QStringLiteral("10"));
}

TEST(StoreRecallTest, OneLetterNameThenRecallOverTcpAndPty) {
  for (const bool pty : {false, true}) {
    Rig rig;
    ASSERT_TRUE(rig.Online(device::kTypeRk540, pty));
    rig.ReadNames();
    EXPECT_EQ(rig.memory.Store(kSlot, 0, QStringLiteral(" "), {}).message,
              QString::fromLatin1(kInputNameText));
    EXPECT_EQ(rig.device->ReceivedCount(), 0);
    ASSERT_EQ(rig.memory.Store(kSlot, 0, QStringLiteral("A"), {}).status, TransferStatus::kDone);
    EXPECT_EQ(Commands(*rig.device), (QList<uint8_t>{92, 40, 42}));
    EXPECT_EQ(rig.device->ProgramName(0), QStringLiteral("A               "));
    EXPECT_EQ(rig.device->ProgramStatus(0), 0);
    EXPECT_EQ(rig.names.At(kSlot)->program_name[0], QStringLiteral("A               "));

    rig.device->ClearReceived();
    const TransferResult empty = rig.memory.Recall(kSlot, 5, std::nullopt, {});
    EXPECT_EQ(empty.message, QString::fromLatin1(kProgramEmptyText));
    EXPECT_EQ(rig.device->ReceivedCount(), 0);

    QByteArray other = rig.device->Program(0);
    other[10] = 77;
    rig.device->StoreProgram(7, other);
    rig.ReadNames();
    ASSERT_EQ(rig.memory.Recall(kSlot, 7, 2, {}).status, TransferStatus::kDone);
    EXPECT_EQ(rig.data().Get(10), 77);
    EXPECT_EQ(rig.data().Get(351), 7);
    EXPECT_FALSE(rig.lock());
    const QList<uint8_t> sent = Commands(*rig.device);
    EXPECT_EQ(sent.size(), 12);  // 27, then 11 reads: the display sent nothing
    EXPECT_EQ(sent.front(), 27);
  }
}

// save -> store -> save gives the same file and leaves the device's memory as it was.
TEST(ProjectTest, RoundTripKeepsFilesAndMemoryEmptySlotsIncluded) {
  for (const int type : {0, 2, 3}) {
    Rig rig;
    ASSERT_TRUE(rig.Online(type));
    rig.device->FillPrograms(3);
    rig.device->ClearProgram(1);
    QByteArray last = rig.device->Program(0);
    last[20] = 99;
    const int last_slot = rig.device->program_count() - 1;
    rig.device->StoreProgram(last_slot, last);
    rig.ReadNames();
    const QByteArray memory =
        rig.device->ReadMemory(ProgramAddress(type, 0, 0), ProgramAddress(type, last_slot + 1, 0));
    const QString first = rig.Path(QStringLiteral("first"));
    ASSERT_EQ(rig.files.SaveProject(kSlot, first, {}).outcome, FileOutcome::kDone);
    const QByteArray file = ReadFile(first);
    EXPECT_EQ(file.size(), ProjectFileSize(*FileTypeOf(type)));
    // The last slot's first block was read at its own address.
    bool seen = false;
    for (const QByteArray& p : rig.device->ReceivedPackets()) {
      seen = seen || (p[3] == 95 && AddressOf(p) == ProgramAddress(type, last_slot, 0));
    }
    EXPECT_TRUE(seen);

    ProjectBuffer buffer;
    ASSERT_EQ(rig.files.LoadProject(kSlot, first, buffer).outcome, FileOutcome::kDone);
    const FileResult stored = rig.files.StoreProject(kSlot, buffer, {}, {});
    ASSERT_EQ(stored.outcome, FileOutcome::kDone) << stored.message.toStdString();
    EXPECT_EQ(ReadFile(stored.backup), file);
    EXPECT_EQ(rig.device->ReadMemory(ProgramAddress(type, 0, 0), memory.size()), memory);
    const QString second = rig.Path(QStringLiteral("second"));
    ASSERT_EQ(rig.files.SaveProject(kSlot, second, {}).outcome, FileOutcome::kDone);
    EXPECT_EQ(ReadFile(second), file);
  }
}

TEST(ProjectTest, WrongMarkerIsRefusedAndVerifyNamesTheDifference) {
  Rig rig;
  ASSERT_TRUE(rig.Online(device::kType540S));
  const QString path = rig.Path(QStringLiteral("type0.pj5"));
  ASSERT_EQ(WriteFileAtomically(path, EncodeProject(0, {})), QString());
  ProjectBuffer buffer;
  const FileResult wrong = rig.files.LoadProject(kSlot, path, buffer);
  EXPECT_EQ(std::pair(wrong.outcome, wrong.message),
            std::pair(FileOutcome::kRefused, QString::fromLatin1(kFileWrongText)));
  EXPECT_TRUE(buffer.empty());

  buffer = ProjectBuffer(56, EmptyProjectRecord(3));
  buffer[4][511] = 4;
  buffer[4][100] = 9;
  ASSERT_EQ(rig.memory.WriteAll(kSlot, buffer, {}).status, TransferStatus::kDone);
  EXPECT_EQ(rig.device->ProgramStatus(4), 4);
  EXPECT_EQ(rig.device->ProgramStatus(5), 255);
  rig.device->WriteMemory(ProgramAddress(3, 4, 100), QByteArray(1, 8));
  const TransferResult verified = rig.memory.Verify(kSlot, buffer, {});
  EXPECT_EQ(verified.message, QStringLiteral("Program 05 differs from what was sent at byte 100."));
}

TEST(PresetLoadTest, BlocksThen49AndRefusedFilesSendNothing) {
  for (const int type : {0, 3}) {
    Rig rig;
    ASSERT_TRUE(rig.Online(type));
    protocol::ProgramData preset = rig.data();
    preset.Set(preset.layout().gain_offset[0], 40);
    preset.SetTail(849, 7);
    preset.SetTail(0, 5);  // in the first 769 tail bytes: never applied
    const QString path = rig.Path(QStringLiteral("p"));
    ASSERT_EQ(
        WriteFileAtomically(path, QByteArray(reinterpret_cast<const char*>(preset.Record().data()),
                                             preset.record_size())),
        QString());
    const QByteArray before(reinterpret_cast<const char*>(rig.data().Record().data()),
                            rig.data().record_size());
    const FileResult loaded = rig.files.LoadPreset(kSlot, path, std::nullopt, {});
    ASSERT_EQ(loaded.outcome, FileOutcome::kDone) << loaded.message.toStdString();
    EXPECT_EQ(ReadFile(loaded.backup), before);
    const QList<uint8_t> sent = Commands(*rig.device);
    EXPECT_EQ(sent.size(), rig.data().image_size() / 32 + 1);
    EXPECT_EQ(sent.back(), 49);
    EXPECT_EQ(rig.device->Image().at(preset.layout().gain_offset[0]), 40);
    EXPECT_EQ(std::pair(rig.data().Tail(849), rig.data().Tail(0)),
              std::pair(std::optional<uint8_t>(7), std::optional<uint8_t>(0)));

    rig.device->ClearReceived();
    preset.Set(preset.layout().eq_band_offset[0], 250);
    ASSERT_EQ(
        WriteFileAtomically(path, QByteArray(reinterpret_cast<const char*>(preset.Record().data()),
                                             preset.record_size())),
        QString());
    const FileResult bad = rig.files.LoadPreset(kSlot, path, std::nullopt, {});
    EXPECT_EQ(bad.outcome, FileOutcome::kRefused);
    EXPECT_TRUE(bad.message.contains(QStringLiteral("band 1"))) << bad.message.toStdString();
    ASSERT_EQ(WriteFileAtomically(path, QByteArray(type == 0 ? 1363 : 1203, '\0')), QString());
    EXPECT_EQ(rig.files.LoadPreset(kSlot, path, std::nullopt, {}).outcome, FileOutcome::kRefused);
    EXPECT_EQ(rig.device->ReceivedCount(), 0);
    EXPECT_EQ(rig.data().Get(preset.layout().eq_band_offset[0]),
              rig.device->Image().at(preset.layout().eq_band_offset[0]));
  }
}

// The device falls silent halfway: one link-loss message, no partial file, the backup kept, and
// the next connect works.
TEST(FaultTest, SilentDeviceMidTransfer) {
  Rig rig;
  ASSERT_TRUE(rig.Online(device::kTypeRk540));
  rig.device->FillPrograms(10);
  rig.ReadNames();
  const QString save = rig.Path(QStringLiteral("half.pj5"));
  rig.device->SetSilentAfter(20);
  EXPECT_EQ(rig.files.SaveProject(kSlot, save, {}).outcome, FileOutcome::kFailed);
  EXPECT_FALSE(QFile::exists(save));
  EXPECT_EQ(rig.messenger.shown.size(), 1);
  EXPECT_TRUE(QDir(rig.startup.path()).entryList(QDir::Files).isEmpty());

  rig.device->ClearFaults();
  rig.comm.tcp().Connect(kSlot, rig.comm.table()[kSlot].ip_address, rig.emulator.port(), 3000);
  rig.comm.table()[kSlot].online = true;
  ProjectBuffer buffer(64, EmptyProjectRecord(0));
  rig.device->SetSilentAfter(10 * 6 + 5);  // the backup read, then part of the store
  const FileResult store = rig.files.StoreProject(kSlot, buffer, {}, {});
  EXPECT_EQ(store.outcome, FileOutcome::kFailed);
  EXPECT_EQ(rig.messenger.shown.size(), 2);
  EXPECT_EQ(ReadFile(store.backup).size(), 22593);
  EXPECT_TRUE(store.message.contains(QStringLiteral("Programs 01 to 05")))
      << store.message.toStdString();

  // A preset load and a recall cut short: the edit buffer was kept first, the record keeps the
  // recalled program out until it is whole.
  const auto reconnect = [&rig] {
    rig.device->ClearFaults();
    rig.comm.tcp().Connect(kSlot, rig.comm.table()[kSlot].ip_address, rig.emulator.port(), 3000);
    rig.comm.table()[kSlot].online = true;
  };
  reconnect();
  const QString preset = rig.Path(QStringLiteral("p.540"));
  ASSERT_EQ(rig.files.SavePreset(kSlot, preset).outcome, FileOutcome::kDone);
  rig.device->SetSilentAfter(4);
  const FileResult load = rig.files.LoadPreset(kSlot, preset, std::nullopt, {});
  EXPECT_EQ(load.outcome, FileOutcome::kFailed);
  EXPECT_TRUE(load.message.contains(QStringLiteral("after 4 of 11 blocks")))
      << load.message.toStdString();
  EXPECT_EQ(ReadFile(load.backup), ReadFile(preset));
  reconnect();
  QByteArray recalled = rig.device->Program(8);
  recalled[10] = 99;  // in the first block, which arrives before the device falls silent
  rig.device->StoreProgram(8, recalled);
  rig.ReadNames();
  const QByteArray before = ReadFile(preset);
  rig.device->SetSilentAfter(5);
  EXPECT_EQ(rig.memory.Recall(kSlot, 8, std::nullopt, {}).status, TransferStatus::kFailed);
  EXPECT_EQ(rig.messenger.shown.size(), 4);
  EXPECT_EQ(rig.files.SavePreset(kSlot, preset).outcome, FileOutcome::kDone);
  EXPECT_EQ(ReadFile(preset), before);
  reconnect();
  EXPECT_EQ(rig.memory.Recall(kSlot, 8, std::nullopt, {}).status, TransferStatus::kDone);
}

TEST(ChannelCopyTest, CommandBytesAndWhatMoves) {
  struct Row {
    int type;
    CopyMode mode;
    int from, to, src, dst;
  };
  for (const Row& r : {Row{0, CopyMode::kOutput, 0, 2, 2, 4}, Row{3, CopyMode::kOutput, 0, 2, 4, 6},
                       Row{3, CopyMode::kInput, 3, 0, 3, 0}}) {
    Rig rig;
    ASSERT_TRUE(rig.Online(r.type));
    protocol::ProgramData& data = rig.data();
    const protocol::Layout& layout = data.layout();
    const int band_from = layout.eq_band_offset[layout.first_band[r.src]];
    data.Set(band_from + 1, 0x33);
    const auto gain = data.Get(layout.gain_offset[r.dst]);
    EXPECT_EQ(rig.copier.Copy(kSlot, r.mode, r.from, r.from, std::nullopt),
              protocol::EditResult::kRefused);
    EXPECT_EQ(rig.copier.Copy(kSlot, r.mode, r.from, r.to, 1), protocol::EditResult::kDone);
    const QList<QByteArray> sent = rig.device->ReceivedPackets();
    ASSERT_EQ(sent.size(), 1);  // the page on show is another channel
    EXPECT_EQ(std::tuple(sent[0][3], sent[0][10], sent[0][11]), std::tuple(55, r.src, r.dst));
    EXPECT_EQ(data.Get(layout.eq_band_offset[layout.first_band[r.dst]] + 1), 0x33);
    EXPECT_EQ(data.Get(layout.gain_offset[r.dst]), gain);
  }
}

TEST(TriggerSleepTest, TriggerByteFiveAndSleepTimes) {
  const TriggerSettings trigger{.input_low = true, .output_low = false, .enabled = true};
  EXPECT_EQ(trigger.TriggerByte(), 5);
  for (const int type : {0, 1, 3}) {
    Rig rig;
    ASSERT_TRUE(rig.Online(type));
    ASSERT_EQ(ConfirmTrigger(rig.store, kSlot, trigger), protocol::EditResult::kDone);
    EXPECT_EQ(rig.data().Tail(protocol::kTailTrigger), 5);
    const QList<uint8_t> expected = type == 1 ? QList<uint8_t>() : QList<uint8_t>({46, 17});
    EXPECT_EQ(Commands(*rig.device), expected);
    EXPECT_EQ(rig.device->Settings()[21], type == 1 ? 0 : 5);
  }
  EXPECT_EQ(SleepGroupFromSliders({127, 255, 255}), (std::array<uint8_t, 3>{0, 0, 0}));
  EXPECT_EQ(SleepGroupFromSliders({0, 0, 0}), (std::array<uint8_t, 3>{127, 255, 255}));
  EXPECT_EQ(SleepTimeText(0), QStringLiteral("Time:0 ms"));
  EXPECT_EQ(SleepTimeText(8388607), QStringLiteral("Time:78601.24 ms"));
  Rig rig;
  ASSERT_TRUE(rig.Online(3));
  SleepTable table;
  ASSERT_EQ(SendSleepGroup(rig.store, table, kSlot, 4, {1, 2, 3}), protocol::EditResult::kDone);
  EXPECT_EQ(table.GroupCount(4), 65536 + 2 * 256 + 3);
  EXPECT_EQ(rig.device->Settings().mid(480 + 12, 3), QByteArray("\x01\x02\x03", 3));
}

}  // namespace
}  // namespace tessaly::programs
