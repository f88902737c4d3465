#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>
#include <csignal>
#include <random>

#include <sys/resource.h>

#include "programs/FileLocations.h"
#include "programs/PresetFile.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramsRig.h"
#include "programs/ProjectFile.h"
#include "protocol/DefaultImage.h"

namespace tessaly::programs {
namespace {

QByteArray Pattern(int size, int seed) {
  QByteArray bytes(size, '\0');
  for (int i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + seed) & 0x3F);
  return bytes;
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Installed, the files go where the user's desktop keeps configuration, documents and data,
// wherever the user has moved those.
TEST(FileLocationsTest, PerUserFollowsTheDesktopsFolders) {
  QTemporaryDir home;
  const QByteArray names[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"};
  QByteArray saved[3];
  for (int i = 0; i < 3; ++i) saved[i] = qgetenv(names[i]);
  qputenv("HOME", home.path().toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("cfg")).toLocal8Bit());
  qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
  const FileLocations plain = FileLocations::PerUser();
  QDir(home.path()).mkpath(QStringLiteral("cfg"));
  QDir(home.path()).mkpath(QStringLiteral("Dokumente"));
  Write(home.filePath(QStringLiteral("cfg/user-dirs.dirs")),
        "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
  const FileLocations moved = FileLocations::PerUser();
  for (int i = 0; i < 3; ++i) qputenv(names[i], saved[i]);

  EXPECT_EQ(plain.config, home.filePath(QStringLiteral("cfg/tessaly")));
  EXPECT_EQ(plain.documents, home.filePath(QStringLiteral("Documents/Tessaly")));
  EXPECT_EQ(plain.backups, home.filePath(QStringLiteral("data/tessaly/backups")));
  EXPECT_EQ(moved.documents, home.filePath(QStringLiteral("Dokumente/Tessaly")));
}

TEST(FileTypeTest, ProjectSizesMarkersAndFolders) {
  struct Row {
    int type, size;
    char marker;
    const char* folder;
  };
  for (const Row& row : {Row{0, 22593, '=', "Project_540"}, Row{1, 19769, '<', "Project_360"},
                         Row{2, 5649, ';', "Project_4800"}, Row{3, 28729, '>', "Project_540S"}}) {
    const FileType& type = *FileTypeOf(row.type);
    EXPECT_EQ(ProjectFileSize(type), row.size) << row.type;
    const QByteArray empty = EncodeProject(row.type, {});
    EXPECT_EQ(empty.size(), row.size);
    EXPECT_EQ(empty[0], row.marker);
    EXPECT_EQ(ProjectFolder(QStringLiteral("/start"), type),
              QStringLiteral("/start/") + QLatin1String(row.folder));
    // Every empty slot says so in its program-number byte.
    const int last = type.project_record_size - 2;
    EXPECT_EQ(static_cast<uint8_t>(empty[1 + last]), 0xFF);
    ProjectBuffer buffer;
    EXPECT_TRUE(DecodeProject(empty, row.type, buffer));
    EXPECT_FALSE(DecodeProject(empty.left(row.size - 1), row.type, buffer));
    EXPECT_FALSE(DecodeProject(EncodeProject((row.type + 1) % 4, {}), row.type, buffer));
  }
}

// Each preset size and family gets its answer; what is taken lands where the record says.
TEST(PresetReadTest, SizesAndFamilies) {
  QTemporaryDir dir;
  struct Row {
    int type, size;
    PresetStatus status;
  };
  for (const Row& row :
       {Row{0, 9, PresetStatus::kIgnored}, Row{0, 0, PresetStatus::kIgnored},
        Row{0, 1363, PresetStatus::kOtherFamily}, Row{3, 1203, PresetStatus::kOtherFamily},
        Row{1, 1203, PresetStatus::kOk}, Row{3, 1363, PresetStatus::kOk},
        Row{0, 600, PresetStatus::kOk}, Row{3, 4000, PresetStatus::kOk}}) {
    const QString path = dir.filePath(QStringLiteral("p%1-%2").arg(row.type).arg(row.size));
    Write(path, Pattern(row.size, 1));
    const PresetRead read = ReadPreset(path, row.type);
    EXPECT_EQ(read.status, row.status) << row.type << " " << row.size;
    const int record = FileTypeOf(row.type)->record_size;
    if (row.status == PresetStatus::kOk) {
      EXPECT_EQ(read.bytes.size(), std::min(row.size, record));
    }
  }
  const PresetRead other = ReadPreset(dir.filePath(QStringLiteral("p3-1203")), 3);
  EXPECT_TRUE(other.message.contains(QStringLiteral("RK-540"))) << other.message.toStdString();
  EXPECT_EQ(ReadPreset(dir.filePath(QStringLiteral("none")), 0).status, PresetStatus::kNotFound);
}

// Damaged files of any size: read, applied and checked without a crash, and a full-size file of
// random bytes never passes the range check, so nothing of it would reach a device.
TEST(DamagedFileTest, RandomBytesAreReadSafelyAndRefused) {
  QTemporaryDir dir;
  std::mt19937 random(7);
  for (int type = 0; type < 4; ++type) {
    const int record = FileTypeOf(type)->record_size;
    const int project = static_cast<int>(EncodeProject(type, {}).size());
    for (const int size : {10, 11, record - 1, record, record + 1, 3 * record, project}) {
      QByteArray bytes(size, '\0');
      for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
      const QString path = dir.filePath(QStringLiteral("r%1-%2").arg(type).arg(size));
      Write(path, bytes);
      const PresetRead read = ReadPreset(path, type);
      if (read.status == PresetStatus::kOk) {
        protocol::ProgramData data(type == 3 ? protocol::Family::kB : protocol::Family::kA);
        ApplyPreset(read.bytes, data);
        if (size >= record) {
          EXPECT_FALSE(FirstBadParameter(data, type).isEmpty()) << type;
        }
      }
      ProjectBuffer buffer;
      EXPECT_FALSE(DecodeProject(bytes, type, buffer)) << type << " " << size;
      EXPECT_TRUE(buffer.empty());
    }
  }
}

TEST(PresetApplyTest, ImageAndLastTailBytesOnlyShortFileKeepsTheRest) {
  for (const auto family : {protocol::Family::kA, protocol::Family::kB}) {
    protocol::ProgramData data(family);
    const QByteArray former = Pattern(data.record_size(), 5);
    data.SetRecord(Bytes(former));
    const QByteArray full = Pattern(data.record_size(), 9);
    ApplyPreset(full, data);
    const auto record = data.Record();
    for (int i = 0; i < data.record_size(); ++i) {
      const bool applied = i < data.image_size() || i >= data.record_size() - 81;
      ASSERT_EQ(record[i], static_cast<uint8_t>((applied ? full : former)[i])) << i;
    }
    data.SetRecord(Bytes(former));
    ApplyPreset(full.left(100), data);
    EXPECT_EQ(data.Get(99), static_cast<uint8_t>(full[99]));
    EXPECT_EQ(data.Get(100), static_cast<uint8_t>(former[100]));
    EXPECT_EQ(data.Tail(849), static_cast<uint8_t>(former[data.record_size() - 1]));
  }
}

TEST(RecordCheckTest, DefaultsPassAForeignByteIsNamed) {
  for (int type = 0; type < 4; ++type) {
    protocol::ProgramData data(type == 3 ? protocol::Family::kB : protocol::Family::kA);
    EXPECT_EQ(FirstBadParameter(data, type), QString()) << type;
    data.Set(data.layout().eq_band_offset[data.layout().first_band[1] + 2], 200);
    const QString bad = FirstBadParameter(data, type);
    EXPECT_TRUE(bad.contains(QStringLiteral("band 3"))) << bad.toStdString();
  }
}

// The disk fills up mid-write: a file-size limit makes the write fail as a full disk does
// (permissions would not stop a test running as root).
TEST(AtomicWriteTest, FailedOverwriteKeepsTheOldFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("keep.540"));
  EXPECT_EQ(WriteFileAtomically(path, "old"), QString());
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 8;
  setrlimit(RLIMIT_FSIZE, &small);
  const QString error = WriteFileAtomically(path, QByteArray(64, 'x'));
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_TRUE(error.contains(QStringLiteral("keep.540"))) << error.toStdString();
  EXPECT_EQ(Read(path), QByteArray("old"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.540")});
  EXPECT_EQ(WriteFileAtomically(path, "new"), QString());
  EXPECT_EQ(Read(path), QByteArray("new"));
}

}  // namespace
}  // namespace tessaly::programs
