#include "carddb/import.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "carddb/builder.h"
#include "carddb/info.h"
#include "carddb/progress.h"
#include "carddb/schema.h"
#include "support/fixtures.h"
#include "support/printers.h"
#include "text/sqlliteral.h"

using namespace tvtools;
using tvtest::readFile;
using tvtest::writeFile;

namespace {

const QString kSample = QStringLiteral(TV_SOURCE_DIR "/tests/tools/mtgjson-sample.json");
const QString kData = QStringLiteral(TV_SOURCE_DIR "/data/");

// MID has no Japanese data in MTGJSON, APC (as every set before Mirrodin) no Japanese text.
const QByteArray kWhisper =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<cards>\n"
    "  <card name=\"Delver of Secrets\" ja=\"秘密を掘り下げる者\" type=\"クリーチャー ― 人間・ウィザード\" "
    "pt=\"1/1\">変身させる。</card>\n"
    "  <card name=\"Insectile Aberration\" ja=\"昆虫の逸脱者\" type=\"クリーチャー ― 人間・昆虫\" "
    "pt=\"3/2\">飛行</card>\n"
    "  <card name=\"Fire\" ja=\"火\" type=\"インスタント\">２点。</card>\n"
    "  <card name=\"Ice\" ja=\"氷\" type=\"インスタント\">タップする。\nカード１枚を引く。</card>\n"
    "  <card name=\"Curse of Silence\" ja=\"静寂の呪い\" type=\"エンチャント ― オーラ・呪い\">"
    "エンチャント（プレイヤー）</card>\n"
    "</cards>\n";

QString importError(const ImportOptions& o) {
  return tvtest::buildErrorOf([&] { importCardDatabase(o); });
}

// Every row of a table, each value quoted as SQL writes it, in key order.
QStringList rows(const QString& dbPath, const QString& table, const QString& columns, const QString& order) {
  QStringList quoted;
  for (const QString& c : columns.split(u',')) quoted << "quote(" + c + ")";
  return tvtest::queryRows(
      *tv::Database::open(dbPath, tv::kCardDbConnect),
      QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(quoted.join(u','), table, order));
}

const QString kCardColumns =
    QStringLiteral("CardSetEx,NameE,NameN,Color,Cost,NumCost,Rare,CardType,TextN,CType,CAttack,CDefence");

}  // namespace

TEST(Import, RealCardsOfEachLayoutAndType) {
  QTemporaryDir dir;
  ImportOptions o;
  o.mtgjson = kSample;
  o.whisper = dir.filePath("whisper.xml");
  o.sets = dir.filePath("sets.csv");
  o.output = dir.filePath("cards.db");
  writeFile(o.whisper, kWhisper);
  writeFile(o.sets, "set_code,expansion_code,japanese_name,release_date\nAPC,AP,アポカリプス,2001-06-04\n");
  const ImportSummary summary = importCardDatabase(o);
  EXPECT_EQ(summary.sets, 11);  // the sample's AFR and CNS hold no card a deck holds
  EXPECT_EQ(summary.leftOut,
            (QMap<QString, int>{{"online only", 1}, {"sets of no deck cards", 2}, {"type Conspiracy", 2}}));

  // NameN|Color|Cost|NumCost|Rare|CardType|start of TextN (CR LF as /)|CType|CAttack|CDefence, Null as "-"
  const char* const cards[][3] = {
      {"M19", "Llanowar Elves", "ラノワールのエルフ|G|G|1|C|C|(Ｔ)：(緑)を加える。|エルフ・ドルイド|1|1"},
      {"NEO", "The Wandering Emperor", "放浪皇|W|2WW|4|M|PW|初期忠誠度：3/瞬速/放|-|-|-"},
      {"MID", "Delver of Secrets // Insectile Aberration",  // no Japanese in MTGJSON: WHISPER's
       "秘密を掘り下げる者 // 昆虫の逸脱者|U|U|1|U|C|変身させる。 // 飛行|人間・ウィザード|1|1"},
      {"ELD", "Bonecrusher Giant // Stomp",
       "砕骨の巨人 // 踏みつけ|R|2R|3|R|C|砕骨の巨人が呪文の対象に|巨人|4|3"},
      {"AP", "Fire // Ice", "火 // 氷|M|1R // 1U|4|U|I|２点。 // タップする|-|-|-"},
      {"EMN", "Bruna, the Fading Light // Brisela, Voice of Nightmares",
       "消えゆく光、ブルーナ // 悪夢の声、ブリセラ|W|5WW|7|R|C|あなたが消えゆく光、ブル|天使・ホラー|5|7"},
      // No Japanese anywhere: the English name, the type as Heliod's line gives it. MTGJSON gives its
      // front the back's printed type.
      {"KHM", "Valki, God of Lies // Tibalt, Cosmic Impostor",
       "Valki, God of Lies // Tibalt, Cosmic Impostor|B|1B|2|M|C|-|神|2|1"},
      {"THS", "Heliod, God of the Sun", "太陽の神、ヘリオッド|W|3W|4|M|C|破壊不能/あなたの白への|神|5|6"},
      {"FUT", "Bound in Silence", "静寂の捕縛|W|2W|3|U|EC|エンチャント（クリーチャ|-|-|-"},  // Tribal
      {"M19", "Gift of Paradise", "楽園の贈り物|G|2G|3|U|EL|エンチャント（土地）/楽|-|-|-"},
      {"MID", "Curse of Silence", "静寂の呪い|W|W|1|R|E|エンチャント（プレイヤー|-|-|-"},
      {"M19", "Forest", "森|N|-|-|C|BL|-|-|-|-"},
      {"FUT", "Dryad Arbor", "ドライアドの東屋|G|-|-|U|L|（ドライアドの東屋は呪文|-|-|-"},
  };
  const QStringList columns =
      QString(
          "NameN|Color|Cost|NumCost|Rare|CardType|substr(replace(TextN, char(13, 10), '/'), 1, 12)|CType|"
          "CAttack|CDefence")
          .split(u'|');
  auto db = tv::Database::open(o.output, tv::kCardDbConnect);
  for (const auto& [set, name, expected] : cards)
    EXPECT_EQ(tvtest::cardValues(*db, set, name, columns), expected) << name;

  // Newest first; classic code and name from the sets table, MTGJSON's Japanese name, else the English.
  const QString info = describeCardDatabase(o.output);
  for (const char* part : {"tbl_CardMst           16\n", "   0  NEO        1  Kamigawa: Neon Dynasty\n",
                           "   5  M19        4  Core Set 2019\n", "   8  THS        1  テーロス\n",
                           "  10  AP         1  アポカリプス\n"})
    EXPECT_TRUE(info.contains(QString::fromUtf8(part))) << info.toStdString();

  // gzip reads as the plain file does.
  const QString gz = dir.filePath("sample.json.gz");
  gzFile out = gzopen(gz.toLocal8Bit().constData(), "wb");
  const QByteArray json = readFile(kSample);
  gzwrite(out, json.constData(), unsigned(json.size()));
  gzclose(out);
  o.mtgjson = gz;
  EXPECT_EQ(importCardDatabase(o).cards, 16);

  EXPECT_EQ(WhisperCards::key(u"Æther Vial"), WhisperCards::key(u"aether vial"));
  EXPECT_EQ(WhisperCards::key(u"Lim-Dûl's Vault"), WhisperCards::key(u"Lim-Dul's Vault"));
  EXPECT_EQ(compactManaCost(u"{X}{10}{G/U}{2/W}{B/P}"), "X10(G/U)(2/W)(B/P)");
}

// The classic sets from MTGJSON and WHISPER make the same rows as the shipped CSV drawn from them.
TEST(Import, ClassicSetsEqualTheCsvBuild) {
  QTemporaryDir dir;
  ImportOptions o;
  o.mtgjson = kData + "AllPrintings-subset.json.xz";
  o.whisper = kData + "whisper-cards.xml.xz";
  o.sets = kData + "sets.csv";
  o.tokens = kData + "tokens.csv";
  o.output = dir.filePath("imported.db");
  o.only =
      QStringLiteral("USG,ULG,6ED,UDS,MMQ,NEM,PCY,INV,PLS,7ED,APC,ODY,TOR,JUD,ONS,LGN,SCG,8ED").split(u',');
  ASSERT_EQ(importError(o), "");
  const QString built = dir.filePath("built.db");
  buildCardDatabase({kData + "cards.csv", o.sets, o.tokens, built});

  EXPECT_EQ(rows(o.output, "tbl_CardSet", "CardsetNo,Cardset,CardsetEx", "CardsetNo"),
            rows(built, "tbl_CardSet", "CardsetNo,Cardset,CardsetEx", "CardsetNo"));
  const QStringList imported = rows(o.output, "tbl_CardMst", kCardColumns, "CardSetEx, NameE");
  EXPECT_EQ(imported.size(), 4119);
  EXPECT_EQ(imported, rows(built, "tbl_CardMst", kCardColumns, "CardSetEx, NameE"));
  EXPECT_EQ(rows(o.output, "tbl_TokenMst", "NameN,Color,TextN,CAttack,CDefence", "rowid"),
            rows(built, "tbl_TokenMst", "NameN,Color,TextN,CAttack,CDefence", "rowid"));

  // The shipped data as built: its size, and cards of the harder kinds.
  const QString info = describeCardDatabase(built);
  for (const char* part : {"tbl_CardSet           18\ntbl_CardMst         4119\ntbl_TokenMst          18\n",
                           "card facts (legality, colour identity, rules text): none\n",
                           "   0  8E       342  第8版\n", "  17  US       335  ウルザズ・サーガ\n"})
    EXPECT_TRUE(info.contains(QString::fromUtf8(part))) << info.toStdString();
  auto db = tv::Database::open(built, tv::kCardDbConnect);
  const QStringList columns =
      QString("NameN,Color,Cost,NumCost,Rare,CardType,CType,CAttack,CDefence").split(u',');
  EXPECT_EQ(tvtest::cardValues(*db, "AP", "Fire // Ice", columns), "火 // 氷|M|1R // 1U|4|U|I|-|-|-");
  EXPECT_EQ(tvtest::cardValues(*db, "US", "Karn, Silver Golem", columns),
            "銀のゴーレム、カーン|N|5|5|R|AC|ゴーレム|4|4");
  EXPECT_EQ(tvtest::cardValues(*db, "8E", "Lhurgoyf", columns), "ルアゴイフ|G|2GG|4|R|C|ルアゴイフ|*|1+*");
}

TEST(Import, BadInputIsRefusedAndLeavesTheOldDatabase) {
  const QByteArray set = R"({"code": "XYZ", "name": "X", "releaseDate": "2020-01-01", "type": "core")";
  const QByteArray card = R"({"name": "Bear", "number": "7", "types": ["Creature"], "type": "Creature",
                              "manaValue": 2.0, "rarity": "common", "colors": ["G"]})";
  const struct {
    const char* file;  // what --mtgjson names
    QByteArray content;
    const char* error;
  } cases[] = {
      {"cut.json.xz", readFile(kData + "AllPrintings-subset.json.xz").left(200000),
       "cut.json.xz: truncated xz data"},
      {"a.json", R"({"data": {"XYZ": )" + set + "}}}", "a.json: XYZ: set without cards"},
      {"a.json", R"({"data": {"XYZ": )" + set + R"(, "cards": []}}})", "a.json: XYZ: set without cards"},
      {"a.json",
       R"({"data": {"XYZ": )" + set + R"(, "cards": [)" + QByteArray(card).replace("Bear", "") + "]}}}",
       "a.json: XYZ #7: card without a name"},
      {"a.json",
       R"({"data": {"XYZ": )" + set + R"(, "cards": [)" +
           QByteArray(card).replace("\"type\": \"Creature\"", "\"type\": \"Bird\"") + "]}}}",
       "a.json: XYZ #7 (Bear): unknown card type 'Bird'"},
      {"a.json", R"({"data": {"XYZ": )" + set + R"(, "cards": [)" + card + "]}",
       "a.json: not an MTGJSON AllPrintings file"},
      {"a.json", R"({"meta": {}})", "a.json: not an MTGJSON AllPrintings file: no \"data\" object"},
  };
  for (const auto& c : cases) {
    QTemporaryDir dir;
    writeFile(dir.filePath("out.db"), "old");
    writeFile(dir.filePath(c.file), c.content);
    ImportOptions o;
    o.mtgjson = dir.filePath(c.file);
    o.output = dir.filePath("out.db");
    const QString error = importError(o);
    EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
    QStringList expected{QString::fromUtf8(c.file), QStringLiteral("out.db")};
    expected.sort();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).join(u' ') + u' ' + readFile(o.output),
              expected.join(u' ') + " old")
        << c.error;
  }

  QTemporaryDir dir;
  ImportOptions o;
  o.mtgjson = kSample;
  o.output = dir.filePath("out.db");
  o.only = {QStringLiteral("M19"), QStringLiteral("ZZZ")};
  EXPECT_TRUE(importError(o).endsWith("mtgjson-sample.json: no set ZZZ")) << importError(o).toStdString();
  o.only.clear();
  o.output = kSample;
  EXPECT_TRUE(importError(o).endsWith("mtgjson-sample.json: is also an input file"))
      << importError(o).toStdString();
  o.output = dir.filePath("out.db");
  o.whisper = dir.filePath("w.xml");
  writeFile(o.whisper, "<cards><card name=\"A\" ja=\"あ\">x</cards>");
  EXPECT_TRUE(importError(o).startsWith(o.whisper + ":1: ")) << importError(o).toStdString();
  EXPECT_FALSE(QFile::exists(o.output));
}

TEST(Import, TheTerminalsProgressLine) {
  ImportProgress p;
  p.sets = 12;
  p.cards = 3456;
  p.bytesRead = 250;
  p.bytesTotal = 1000;
  // A quarter read in 30 s: 90 s to go; none before a second has passed.
  EXPECT_EQ(progressLine(p, 30000, 60), "[#####................]  25%  12 sets  3456 cards  1:30 left");
  EXPECT_EQ(progressLine(p, 500, 40), "[##........]  25%  12 sets  3456 cards  ");
  p.writing = true;
  EXPECT_EQ(progressLine(p, 30000, 20), "  25%  12 sets  3456");
}
