// MTGJSON files made to hurt: the builder refuses them with a message and
// exit status 1, in bounded memory, or reads past what it skips anyway.
#include <gtest/gtest.h>
#include <lzma.h>
#include <sys/resource.h>
#include <zlib.h>

#include <QProcess>
#include <QTemporaryDir>

#include "carddb/decompress.h"
#include "carddb/import.h"
#include "support/fixtures.h"

using namespace tvtools;

namespace {

enum class Packing { Xz, Gzip };

// One compressed stream (xz) or member (gzip) of `data`.
QByteArray compressed(Packing packing, const QByteArray& data) {
  QByteArray out(data.size() / 100 + (1 << 16), Qt::Uninitialized);
  if (packing == Packing::Xz) {
    size_t used = 0;
    EXPECT_EQ(lzma_easy_buffer_encode(0, LZMA_CHECK_CRC32, nullptr,
                                      reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()),
                                      reinterpret_cast<uint8_t*>(out.data()), &used, size_t(out.size())),
              LZMA_OK);
    out.truncate(qsizetype(used));
    return out;
  }
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
  z.avail_in = uInt(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = uInt(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.truncate(qsizetype(z.total_out));
  deflateEnd(&z);
  return out;
}

// `head`, `times` × 16 MiB of `fill`, `tail`: one piece compressed once and
// repeated, so gigabytes take a few kilobytes and no time to make.
QByteArray bomb(Packing packing, const QByteArray& head, char fill, int times, const QByteArray& tail) {
  return compressed(packing, head) + compressed(packing, QByteArray(16 << 20, fill)).repeated(times) +
         compressed(packing, tail);
}

const QByteArray kSet = R"({"data": {"XYZ": {"code": "XYZ", "name": "X", "releaseDate": "2020-01-01",
                           "type": "core", "cards": [)";
const QByteArray kCard = R"({"name": "Bear", "number": "7", "types": ["Creature"], "type": "Creature",
                            "manaValue": 2.0, "rarity": "common", "colors": ["G"]})";
const QByteArray kSetEnd = "]}}}";

struct ToolRun {
  int exitCode = -1;  // -1: it did not exit by itself
  QString out;
};

// The builder as a user runs it, under `ulimit -v` (not beside the address
// sanitizer, which reserves terabytes of address space).
ToolRun runTool(const QStringList& args) {
  QProcess tool;
  tool.setProcessChannelMode(QProcess::MergedChannels);
#ifndef __SANITIZE_ADDRESS__
  tool.setChildProcessModifier([] {
    const rlimit limit{rlim_t(512) << 20, rlim_t(512) << 20};
    setrlimit(RLIMIT_AS, &limit);
  });
#endif
  tool.start(QStringLiteral(TV_CARDDB_TOOL), args);
  tool.waitForFinished(120'000);
  const bool exited = tool.exitStatus() == QProcess::NormalExit;
  return {exited ? tool.exitCode() : -1, QString::fromUtf8(tool.readAll())};
}

}  // namespace

TEST(HostileImport, RefusedOrReadInBoundedMemory) {
  const struct {
    const char* name;
    QByteArray content;
    int exitCode;
    const char* output;
  } cases[] = {
      {"blanks.json.xz", bomb(Packing::Xz, "", ' ', 16, R"({"data": {}})"), 1,
       "no deck cards in sets of the types"},
      {"brackets.json.xz", bomb(Packing::Xz, "", '[', 4, ""), 1,
       "brackets.json.xz: line 1, column 65: values nested more than 64 deep"},
      {"name.json.xz", bomb(Packing::Xz, kSet + R"({"name": ")", 'a', 160, "\"}" + kSetEnd), 1,
       "name.json.xz: XYZ, card 1: name: a value longer than 64 KiB"},
      // Rulings are skipped: a huge one is read past.
      {"rulings.json.gz",
       bomb(Packing::Gzip, kSet + kCard.chopped(1) + R"(, "rulings": [{"text": ")", 'r', 16,
            "\"}]}" + kSetEnd),
       0, ": 1 expansions, 1 cards, 0 tokens"},
  };
  QTemporaryDir dir;
  for (const auto& c : cases) {
    tvtest::writeFile(dir.filePath(c.name), c.content);
    const ToolRun run = runTool({"import", "--mtgjson", dir.filePath(c.name), "-o", dir.filePath("out.db")});
    EXPECT_EQ(run.exitCode, c.exitCode) << c.name << ": " << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QString::fromUtf8(c.output))) << c.name << ": " << run.out.toStdString();
  }
}

// Each piece handed on is bounded, however much one chunk of the file unpacks to.
TEST(HostileImport, DecompressedPiecesAreBounded) {
  QTemporaryDir dir;
  for (const Packing packing : {Packing::Xz, Packing::Gzip}) {
    const QString path = dir.filePath(packing == Packing::Xz ? "a.xz" : "a.gz");
    tvtest::writeFile(path, bomb(packing, "{", ' ', 4, "}"));
    DecompressingReader reader(path);
    qint64 total = 0;
    qsizetype largest = 0;
    for (QByteArray piece = reader.next(); !piece.isEmpty(); piece = reader.next()) {
      total += piece.size();
      largest = std::max(largest, piece.size());
    }
    EXPECT_EQ(total, (qint64(4) << 24) + 2);
    EXPECT_LE(largest, 1 << 18);
  }
}

TEST(HostileImport, MessagesNameTheCardAndCutLongValues) {
  const QByteArray xz = compressed(Packing::Xz, kSet + kCard + kSetEnd);
  const QByteArray longName = QByteArray(kCard).replace("Bear", QByteArray(900, 'N'));
  const struct {
    const char* file;
    QByteArray content;
    const char* error;
  } cases[] = {
      {"nul.json", kSet + QByteArray(kCard).replace("Bear", "Be\\u0000ar") + kSetEnd,
       "nul.json: XYZ #7: name holds a NUL character"},
      {"garbage.json.xz", xz + "garbage", "garbage.json.xz: data after the end of the xz data"},
      {"garbage2.json.xz", xz + QByteArray(4, '\0') + "more garbage than a header",
       "garbage2.json.xz: data after the end of the xz data"},
      {"long.json",
       kSet + QByteArray(longName).replace("\"type\": \"Creature\"", "\"type\": \"Bird\"") + kSetEnd,
       "long.json: XYZ #7 (NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN…): unknown card "
       "type"},
      {"longer.json", kSet + QByteArray(kCard).replace("Bear", QByteArray(1001, 'N')) + kSetEnd,
       "longer.json: XYZ #7: name longer than 1000 characters"},
      // Within the bounds of the input, beyond the engine's once a loyalty line is added.
      {"walker.json",
       kSet + QByteArray(kCard).replace("\"Creature\"", "\"Planeswalker\"").chopped(1) +
           R"(, "loyalty": "3", "foreignData": [{"language": "Japanese", "text": ")" +
           QByteArray("あ").repeated(21843) + "\"}]}" + kSetEnd,
       "walker.json: XYZ #7 (Bear): TextN longer than 64 KiB"},
      {"syntax.json", "{\"data\":\n" + QByteArray(5000, ' ') + "\n  x}",
       "syntax.json: not an MTGJSON AllPrintings file: [json.exception.parse_error.101] parse error at line "
       "3, "
       "column 3:"},
  };
  for (const auto& c : cases) {
    QTemporaryDir dir;
    tvtest::writeFile(dir.filePath(c.file), c.content);
    ImportOptions o;
    o.mtgjson = dir.filePath(c.file);
    o.output = dir.filePath("out.db");
    const QString error = tvtest::buildErrorOf([&] { importCardDatabase(o); });
    EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
    EXPECT_LT(error.size(), 400) << c.file;
  }
  // Two xz files one after the other are one file's data.
  QTemporaryDir dir;
  ImportOptions o;
  o.mtgjson = dir.filePath("two.json.xz");
  o.output = dir.filePath("out.db");
  tvtest::writeFile(o.mtgjson, compressed(Packing::Xz, kSet) + compressed(Packing::Xz, kCard + kSetEnd));
  EXPECT_EQ(importCardDatabase(o).cards, 1);
}
