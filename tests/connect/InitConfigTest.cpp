#include "connect/InitConfig.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include "comm/CommState.h"
#include "connect/AddressRules.h"
#include "connect/PortSelection.h"
#include "support/RecordingMessenger.h"

namespace tessaly::connect {
namespace {

InitConfig Sample() {
  InitConfig config;
  config.com_port = 7;
  config.connection_mode = 1;
  config.single = {192, 168, 0, 100};
  config.range_start = {10, 0, 0, 10};
  config.range_end = {10, 0, 0, 300};
  return config;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(InitConfigTest, EncodesFourteenLittleEndianFields) {
  const QByteArray bytes = Sample().Encode();
  ASSERT_EQ(bytes.size(), kInitConfigSize);
  const QByteArray expected = QByteArray::fromHex(
      "0700"
      "0100"
      "c000a8000000"
      "6400"
      "0a0000000000"
      "0a00"
      "0a0000000000"
      "2c01");
  EXPECT_EQ(bytes.toHex(), expected.toHex());
}

TEST(InitConfigTest, RoundTripThroughARealFile) {
  QTemporaryDir dir;
  const QString path = InitConfigPath(dir.path());
  ASSERT_TRUE(SaveInitConfig(path, Sample()));
  EXPECT_EQ(QFile(path).size(), kInitConfigSize);
  InitConfig loaded;
  ASSERT_TRUE(LoadInitConfig(path, loaded));
  EXPECT_EQ(loaded, Sample());
}

TEST(InitConfigTest, NegativeFieldsSurvive) {
  QTemporaryDir dir;
  const QString path = InitConfigPath(dir.path());
  InitConfig config = Sample();
  config.range_end[3] = -2;
  ASSERT_TRUE(SaveInitConfig(path, config));
  InitConfig loaded;
  ASSERT_TRUE(LoadInitConfig(path, loaded));
  EXPECT_EQ(loaded.range_end[3], -2);
}

TEST(InitConfigTest, MissingShortOrEmptyFileLeavesFieldsAsTheyWere) {
  QTemporaryDir dir;
  const QString path = InitConfigPath(dir.path());
  struct Case {
    const char* what;
    std::optional<QByteArray> contents;
  };
  const Case cases[] = {{"missing", std::nullopt},
                        {"empty", QByteArray()},
                        {"short by one", Sample().Encode().left(kInitConfigSize - 1)},
                        {"two bytes", QByteArray("\x03\x00", 2)}};
  for (const Case& c : cases) {
    QFile::remove(path);
    if (c.contents) WriteFile(path, *c.contents);
    InitConfig config;
    config.com_port = 4;
    config.single = {1, 2, 3, 4};
    const InitConfig before = config;
    EXPECT_FALSE(LoadInitConfig(path, config)) << c.what;
    EXPECT_EQ(config, before) << c.what;
  }
}

TEST(InitConfigTest, LongerFileReadsTheRecordAtItsStartAndSaveCutsItTo28Bytes) {
  QTemporaryDir dir;
  const QString path = InitConfigPath(dir.path());
  WriteFile(path, Sample().Encode() + QByteArray(10, '\x55'));
  InitConfig loaded;
  ASSERT_TRUE(LoadInitConfig(path, loaded));
  EXPECT_EQ(loaded, Sample());
  ASSERT_TRUE(SaveInitConfig(path, loaded));
  EXPECT_EQ(ReadFile(path), Sample().Encode());
}

TEST(InitConfigTest, SaveIntoAMissingFolderFails) {
  QTemporaryDir dir;
  EXPECT_FALSE(SaveInitConfig(dir.filePath(QStringLiteral("no/such/init.cfg")), Sample()));
}

TEST(AddressRulesTest, RangeFieldsClampAndCopy) {
  struct Case {
    int item;
    const char* typed;
    const char* shown;
    int copy_to;
  };
  const Case cases[] = {
      {0, "300", "223", 4},  {0, "0", "1", 4},    {0, "192", "192", 4},  {0, "-4", "1", 4},
      {1, "256", "255", 5},  {1, "-1", "0", 5},   {2, "17", "17", 6},    {2, "999", "255", 6},
      {3, "256", "255", -1}, {3, "0", "0", -1},   {7, "255", "254", -1}, {7, "0", "1", -1},
      {4, "999", "999", -1}, {5, "-3", "-3", -1}, {6, "x", "x", -1},     {0, "", "", 4},
      {1, "ab", "ab", 5},
  };
  for (const Case& c : cases) {
    const RangeFieldEdit edit = RangeFieldRule(c.item, QString::fromLatin1(c.typed));
    EXPECT_EQ(edit.text, QString::fromLatin1(c.shown)) << c.item << " " << c.typed;
    EXPECT_EQ(edit.copy_to, c.copy_to) << c.item << " " << c.typed;
  }
}

TEST(AddressRulesTest, LastOctetsKeepTheStartBelowTheEnd) {
  EXPECT_EQ(OrderLastOctets(3, QStringLiteral("20"), QStringLiteral("12")), 20);
  EXPECT_EQ(OrderLastOctets(7, QStringLiteral("20"), QStringLiteral("12")), 12);
  EXPECT_EQ(OrderLastOctets(3, QStringLiteral("10"), QStringLiteral("12")), std::nullopt);
  EXPECT_EQ(OrderLastOctets(7, QStringLiteral("12"), QStringLiteral("12")), std::nullopt);
  EXPECT_EQ(OrderLastOctets(3, QStringLiteral(""), QStringLiteral("12")), std::nullopt);
}

TEST(AddressRulesTest, NewIpOctets) {
  struct Case {
    int index;
    const char* typed;
    const char* shown;
  };
  const Case cases[] = {
      {3, "300", "254"}, {3, "255", "254"}, {3, "0", "1"},   {3, "254", "254"},
      {0, "224", "223"}, {0, "0", "1"},     {0, "10", "10"}, {1, "256", "255"},
      {2, "-1", "0"},    {1, "abc", ""},    {0, "1a", ""},   {2, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NewIpOctetRule(c.index, QString::fromLatin1(c.typed)), QString::fromLatin1(c.shown))
        << c.index << " " << c.typed;
  }
}

PortChoice UsbChoice() {
  PortChoice choice;
  choice.connection_mode = comm::kLinkUsb;
  choice.device_count_option = 2;
  choice.com_index = 5;
  choice.usb_id = 3;
  choice.single = {QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("0"),
                   QStringLiteral("100")};
  choice.several = {QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("1"),
                    QStringLiteral("10"),  QStringLiteral("192"), QStringLiteral("168"),
                    QStringLiteral("1"),   QStringLiteral("12")};
  return choice;
}

TEST(PortSelectionTest, OkWritesTheShownValuesAndSetsTheChoices) {
  QTemporaryDir dir;
  tessaly::test::RecordingMessenger messenger;
  ConnectSession session;
  session.program_folder = dir.path();
  comm::CommState state;
  state.connection_mode = comm::kLinkTcp;
  ASSERT_EQ(AcceptPortSelection(UsbChoice(), session, state, messenger), AcceptResult::kSaved);
  EXPECT_TRUE(messenger.shown.isEmpty());
  EXPECT_EQ(state.connection_mode, comm::kLinkUsb);
  EXPECT_EQ(state.com_port, 5);
  EXPECT_EQ(session.usb_id_choice, 3);
  EXPECT_TRUE(session.several_addresses);
  EXPECT_FALSE(session.port_selection_cancelled);

  const QByteArray file = ReadFile(session.ConfigPath());
  ASSERT_EQ(file.size(), kInitConfigSize);
  InitConfig written;
  ASSERT_TRUE(written.Decode(file));
  EXPECT_EQ(written.com_port, 5);
  EXPECT_EQ(written.connection_mode, 0);
  EXPECT_EQ(written.single, (Octets{192, 168, 0, 100}));
  EXPECT_EQ(written.range_start, (Octets{192, 168, 1, 10}));
  EXPECT_EQ(written.range_end, (Octets{192, 168, 1, 12}));
}

TEST(PortSelectionTest, OneAddressOptionClearsSeveralAddresses) {
  QTemporaryDir dir;
  tessaly::test::RecordingMessenger messenger;
  ConnectSession session;
  session.program_folder = dir.path();
  session.several_addresses = true;
  comm::CommState state;
  PortChoice choice = UsbChoice();
  choice.device_count_option = 0;
  choice.connection_mode = comm::kLinkTcp;
  ASSERT_EQ(AcceptPortSelection(choice, session, state, messenger), AcceptResult::kSaved);
  EXPECT_FALSE(session.several_addresses);
  EXPECT_EQ(state.connection_mode, comm::kLinkTcp);
}

TEST(PortSelectionTest, NonNumericOctetWarnsAndWritesNothing) {
  QTemporaryDir dir;
  tessaly::test::RecordingMessenger messenger;
  ConnectSession session;
  session.program_folder = dir.path();
  comm::CommState state;
  state.com_port = 2;
  for (int field = 0; field < 12; ++field) {
    PortChoice choice = UsbChoice();
    QString& text = field < 4 ? choice.single[static_cast<size_t>(field)]
                              : choice.several[static_cast<size_t>(field - 4)];
    text = field % 2 == 0 ? QStringLiteral("1x") : QString();
    messenger.shown.clear();
    EXPECT_EQ(AcceptPortSelection(choice, session, state, messenger), AcceptResult::kBadOctet)
        << field;
    ASSERT_EQ(messenger.shown.size(), 1);
    EXPECT_EQ(messenger.shown[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(messenger.shown[0].icon, comm::MessageIcon::kExclamation);
  }
  EXPECT_FALSE(QFile::exists(session.ConfigPath()));
  EXPECT_EQ(state.com_port, 2);
}

}  // namespace
}  // namespace tessaly::connect
