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
  return {7, 1, {192, 168, 0, 100}, {10, 0, 0, 10}, {10, 0, 0, 300}};  // COM7, TCP/IP
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Fourteen little-endian words. A file too short leaves the fields as they were; a longer one is
// read at its start and cut to the record's 28 bytes when saved.
TEST(InitConfigTest, RecordFileReadAndWritten) {
  const QByteArray encoded = Sample().Encode();
  EXPECT_EQ(encoded.toHex(), "07000100c000a800000064000a00000000000a000a00000000002c01");
  QTemporaryDir dir;
  const QString path = InitConfigPath(dir.path());
  const auto write = [&path](const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
  };
  for (const auto& contents : std::vector<std::optional<QByteArray>>{
           std::nullopt, QByteArray(), encoded.left(kInitConfigSize - 1), QByteArray(2, '\3')}) {
    QFile::remove(path);
    if (contents) {
      ASSERT_TRUE(write(*contents));
    }
    InitConfig config{4, 0, {1, 2, 3, 4}};
    const InitConfig before = config;
    EXPECT_FALSE(LoadInitConfig(path, config)) << contents.value_or("missing").size();
    EXPECT_EQ(config, before);
  }
  ASSERT_TRUE(write(encoded + QByteArray(10, '\x55')));
  InitConfig loaded;
  ASSERT_TRUE(LoadInitConfig(path, loaded));
  EXPECT_EQ(loaded, Sample());
  ASSERT_TRUE(SaveInitConfig(path, loaded));
  EXPECT_EQ(ReadFile(path), encoded);
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
  EXPECT_EQ(OrderLastOctets(3, "20", "12"), 20);
  EXPECT_EQ(OrderLastOctets(7, "20", "12"), 12);
  EXPECT_EQ(OrderLastOctets(3, "10", "12"), std::nullopt);
  EXPECT_EQ(OrderLastOctets(7, "12", "12"), std::nullopt);
  EXPECT_EQ(OrderLastOctets(3, "", "12"), std::nullopt);
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
  return {comm::kLinkUsb,
          2,
          5,
          3,
          {"192", "168", "0", "100"},
          {"192", "168", "1", "10", "192", "168", "1", "12"}};
}

// A non-numeric octet in any field warns and writes nothing; OK writes the shown values.
TEST(PortSelectionTest, OkChecksTheOctetsWritesTheShownValuesAndSetsTheChoices) {
  QTemporaryDir dir;
  tessaly::test::RecordingMessenger messenger;
  ConnectSession session;
  session.program_folder = dir.path();
  comm::CommState state;
  state.connection_mode = comm::kLinkTcp;
  state.com_port = 2;
  for (int field = 0; field < 12; ++field) {
    PortChoice choice = UsbChoice();
    (field < 4 ? choice.single[size_t(field)] : choice.several[size_t(field - 4)]) =
        field % 2 == 0 ? QStringLiteral("1x") : QString();
    EXPECT_EQ(AcceptPortSelection(choice, session, state, messenger), AcceptResult::kBadOctet)
        << field;
    ASSERT_EQ(messenger.shown.size(), 1);
    EXPECT_EQ(messenger.shown[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(messenger.shown[0].icon, device::MessageIcon::kExclamation);
    messenger.shown.clear();
  }
  EXPECT_FALSE(QFile::exists(session.ConfigPath()));
  EXPECT_EQ(state.com_port, 2);

  ASSERT_EQ(AcceptPortSelection(UsbChoice(), session, state, messenger), AcceptResult::kSaved);
  EXPECT_TRUE(messenger.shown.isEmpty());
  EXPECT_EQ(state.connection_mode, comm::kLinkUsb);
  EXPECT_EQ(state.com_port, 5);
  EXPECT_EQ(session.usb_id_choice, 3);
  EXPECT_TRUE(session.several_addresses);
  EXPECT_FALSE(session.port_selection_cancelled);
  InitConfig written;
  ASSERT_TRUE(written.Decode(ReadFile(session.ConfigPath())));
  EXPECT_EQ(written.com_port, 5);
  EXPECT_EQ(written.connection_mode, 0);
  EXPECT_EQ(written.single, (Octets{192, 168, 0, 100}));
  EXPECT_EQ(written.range_start, (Octets{192, 168, 1, 10}));
  EXPECT_EQ(written.range_end, (Octets{192, 168, 1, 12}));

  // The one-address option clears several addresses.
  PortChoice one = UsbChoice();
  one.device_count_option = 0;
  one.connection_mode = comm::kLinkTcp;
  ASSERT_EQ(AcceptPortSelection(one, session, state, messenger), AcceptResult::kSaved);
  EXPECT_FALSE(session.several_addresses);
  EXPECT_EQ(state.connection_mode, comm::kLinkTcp);
}

}  // namespace
}  // namespace tessaly::connect
