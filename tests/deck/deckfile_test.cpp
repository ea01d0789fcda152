// tvf deck files: the codec's bytes and field rules, the deck tables at its
// edges, and saving and opening that change nothing when they fail.
#include "deck/deckfile.h"

#include <sys/stat.h>

#include <QDir>
#include <random>

#include "carddb/import.h"
#include "carddb/schema.h"
#include "deck/tvffile.h"
#include "deckhelpers.h"
#include "support/failingwrites.h"
#include "text/shiftjis.h"

namespace tv {
void PrintTo(const DeckEntry& e, std::ostream* os) {
  *os << '{' << e.CardSetEx.toStdString() << ", " << e.NameE.toStdString() << ", " << e.CardMaisu << '}';
}
void PrintTo(const Deck& d, std::ostream* os) {
  *os << "title " << d.title.toStdString() << " comment " << d.comment.toStdString() << " main";
  for (const auto& e : d.main) PrintTo(e, os);
  *os << " side";
  for (const auto& e : d.side) PrintTo(e, os);
}
}  // namespace tv

using namespace tv;
using tvtest::readFile;
using tvtest::writeFile;

namespace {

QByteArray sjis(const QString& s) { return *encodeShiftJis(s); }

Deck decoded(const QByteArray& bytes) {
  const TvfDecoded d = decodeTvf(bytes);
  EXPECT_TRUE(d.deck) << d.error.toStdString();
  return d.deck.value_or(Deck{});
}

class DeckFileTest : public DeckTest {
 protected:
  QString path(const QString& name) { return f.dir() + "/" + name; }

  // Every column of both deck tables, in table order.
  QStringList tables() {
    return tvtest::queryRows(f.db(), "SELECT 'wtbl_DecList', * FROM wtbl_DecList") +
           tvtest::queryRows(f.db(), "SELECT 'wtbl_DecSideList', * FROM wtbl_DecSideList");
  }
};

}  // namespace

TEST(TvfCodec, WritesTheFormatByteForByte) {
  const Deck burn{
      "Burn", "vs. control", {{"IN", "Card One", 4}, {"TO", "Card Two", 2}}, {{"TO", "Card Three", 3}}};
  EXPECT_EQ(*encodeTvf(burn).bytes, QByteArray("\"Burn\",\"vs. control\"\r\n"
                                               "\"IN\",\"Card One\",4\r\n"
                                               "\"TO\",\"Card Two\",2\r\n"
                                               "0,0,0\r\n"
                                               "\"TO\",\"Card Three\",3\r\n"));
  // Shift-JIS, a comment's line break as CR LF inside its quotes, a quote as ＂.
  const Deck jp{"赤単", "一行目\n二行目", {}, {{"8E", "Say \"Hi\"", 12}}};
  EXPECT_EQ(*encodeTvf(jp).bytes, QByteArray("\"\x90\xD4\x92\x50\",\"\x88\xEA\x8D\x73\x96\xDA\r\n"
                                             "\x93\xF1\x8D\x73\x96\xDA\"\r\n"
                                             "0,0,0\r\n"
                                             "\"8E\",\"Say \xFA\x57Hi\xFA\x57\",12\r\n"));
  EXPECT_EQ(*encodeTvf(Deck{}).bytes, QByteArray("\"\",\"\"\r\n0,0,0\r\n"));
  // Card names with letters Shift-JIS lacks are written folded; title, comment
  // and what cannot be folded are refused.
  const Deck folded{"", "", {{"AN", "Dandân", 1}, {"AL", "Lim-Dûl's Vault", 2}}, {{"WL", "Bösium Strip", 3}}};
  EXPECT_EQ(*encodeTvf(folded).bytes, QByteArray("\"\",\"\"\r\n\"AN\",\"Dandan\",1\r\n"
                                                 "\"AL\",\"Lim-Dul's Vault\",2\r\n0,0,0\r\n"
                                                 "\"WL\",\"Bosium Strip\",3\r\n"));
  const std::pair<Deck, QString> refused[] = {
      {{"deck \U0001F600", "", {}, {}}, "\U0001F600"},
      {{"", "Lim-Dûl", {}, {}}, "û"},
      {{"", "", {{"8E", "Shock \U0001F600", 1}}, {}}, "\U0001F600"},
  };
  for (const auto& [deck, badChar] : refused) {
    const TvfEncoded bad = encodeTvf(deck);
    EXPECT_FALSE(bad.bytes);
    EXPECT_EQ(bad.badChar, badChar);
  }
}

TEST(TvfCodec, DecksComeBackWhole) {
  const Deck decks[] = {
      {"Burn, again",
       "line one\nline two\n",
       {{"8E", "Shock", 4}, {"US", "Gaea's Cradle", 1}},
       {{"OD", "Mirari", 2}}},
      {"", "", {}, {}},
      {"side only", "", {}, {{"8E", "Shock", 3}, {"OD", "Forest", 0}}},
      {"セラの天使デッキ", "ｶﾀｶﾅ と　全角", {{"8E", "Serra's Embrace", kMaxCopies}}, {}},
  };
  for (const Deck& d : decks) EXPECT_EQ(decoded(*encodeTvf(d).bytes), d);
}

TEST(TvfCodec, ReadsFieldsAsAStream) {
  struct Case {
    const char* name;
    QString text;
    Deck want;
  };
  const QList<DeckEntry> none;
  const Case cases[] = {
      {"quoted zeros end the main deck",
       "'t','c'\r\n'0','0','0'\r\n'8E','Shock',1\r\n",
       {"t", "c", none, {{"8E", "Shock", 1}}}},
      {"no separator: all main",
       "'t','c'\r\n'8E','Shock',1\r\n'OD','Mirari',2\r\n",
       {"t", "c", {{"8E", "Shock", 1}, {"OD", "Mirari", 2}}, none}},
      {"a second separator is a sideboard card",
       "'t','c'\r\n0,0,0\r\n0,0,0\r\n",
       {"t", "c", none, {{"0", "0", 0}}}},
      {"one or two zeros are a card",
       "'',''\r\n0,0,1\r\n'0','x',0\r\n",
       {"", "", {{"0", "0", 1}, {"0", "x", 0}}, none}},
      {"a quoted field runs over line breaks",
       "'t','a\r\nb\rc\nd'\r\n0,0,0\r\n",
       {"t", "a\nb\nc\nd", none, none}},
      {"records spread over lines, junk after quotes skipped, bare fields",
       "'t'x,'c'\r\n'8E'\r\n'Shock' ,' 3'\r\nUS,Dark Ritual,04\n0,0,0\n",
       {"t", "c", {{"8E", "Shock", 3}, {"US", "Dark Ritual", 4}}, none}},
      {"old codes converted, exact case only",
       "'',''\r\n'IV','a',1\r\n'PS','a',1\r\n'TM','a',1\r\n'JM','a',1\r\n'iv','a',1\r\n'IVX','a',1\r\n",
       {"",
        "",
        {{"IN", "a", 1}, {"PL", "a", 1}, {"TO", "a", 1}, {"JU", "a", 1}, {"iv", "a", 1}, {"IVX", "a", 1}},
        none}},
      {"one card's records merge per section, as the engine compares keys",
       "'',''\r\n'8E','Shock',1\r\n'IN','x',1\r\n'8e','SHOCK',2\r\n'IV','x',1\r\n0,0,0\r\n"
       "'8E','Shock',1\r\n'8E','Shock',0\r\n",
       {"", "", {{"8E", "Shock", 3}, {"IN", "x", 2}}, {{"8E", "Shock", 1}}}},
      {"blank lines at the end are no record", "'',''\r\n0,0,0\r\n\r\n\r\n", {}},
      {"a blank after the separator's count",
       "'',''\r\n0,0,0 \r\n'8E','Shock',1\r\n",
       {"", "", none, {{"8E", "Shock", 1}}}},
      {"a quote inside a bare name is read as a save writes it",
       "'',''\r\n8E,Say 'Hi',1\r\n",
       {"", "", {{"8E", "Say ＂Hi＂", 1}}, none}},
  };
  // ' stands for " above.
  for (const Case& c : cases)
    EXPECT_EQ(decoded(sjis(QString(c.text).replace(u'\'', u'"'))), c.want) << c.name;
}

TEST(TvfCodec, RefusesMalformedFilesWithAReason) {
  std::vector<std::pair<QByteArray, QString>> cases = {
      {"", "1行目でファイルが途中で終わっています。"},
      {"\"title only\"\r\n", "2行目でファイルが途中で終わっています。"},
      {"\"\",\"\"\r\n\"8E\",\"Shock\"\r\n", "3行目でファイルが途中で終わっています。"},
      {"\"\",\"\"\r\n\"8E\",\"Shock\",32767\r\n\"8E\",\"Shock\",1\r\n",
       "「Shock」の枚数が合わせて32767枚を超えています。"},
      {"\"\",\"\"\r\n\"8E\",\"Shock\", 32768\r\n",
       "2行目の「Shock」の枚数「32768」は32767枚を超えています。"},
      {"\"\",\"\"\r\n\"8E\",\"Shock\",99999999999999999999\r\n",
       "2行目の「Shock」の枚数「99999999999999999999」は32767枚を超えています。"},
      {"\"\",\"\"\r\n0,0,0\r\n\"8E\",\"Sh\r\nock,1\r\n", "3行目の二重引用符が閉じていません。"},
      {"\"\x81\",\"\"\r\n", "Shift-JISの文字として読めないバイトがあります。"},
  };
  for (const char* count : {"x", "-1", "1.5", ""})
    cases.push_back({QByteArray("\"\",\"\"\r\n\"8E\",\"Shock\",") + count + "\r\n",
                     QString("2行目の枚数「%1」が0以上の整数ではありません。").arg(count)});
  for (const auto& [bytes, reason] : cases) {
    const TvfDecoded d = decodeTvf(bytes);
    EXPECT_FALSE(d.deck) << bytes.toStdString();
    EXPECT_TRUE(d.error.contains(reason)) << d.error.toStdString();
  }
}

TEST_F(DeckFileTest, SavesTheTablesAndOpensThemWithMasterValues) {
  f.addDeckRow(kMainDeckTable, "US", "Gaea's Cradle", "ガイアの揺籃の地", 1);
  f.addDeckRow(kMainDeckTable, "8E", "Serra Angel", "セラの天使", 4, 5, 4, 4);
  f.addDeckRow(kSideDeckTable, "XX", "Lost Card", QVariant(), 2);
  const QString p = path("deck");  // no extension added
  const auto saved = SaveDeckFile(f.db(), p, "Angels, \"white\"", "two\nlines");
  ASSERT_TRUE(saved.ok) << saved.error.toStdString();
  EXPECT_EQ(readFile(p), sjis("\"Angels, ＂white＂\",\"two\r\nlines\"\r\n\"US\",\"Gaea's Cradle\",1\r\n"
                              "\"8E\",\"Serra Angel\",4\r\n0,0,0\r\n\"XX\",\"Lost Card\",2\r\n"));
  const QStringList before = tables();
  f.db().execute("DELETE FROM wtbl_DecList");
  f.addDeckRow(kSideDeckTable, "8E", "Shock", "ショック", 1);

  const auto opened = OpenDeckFile(f.db(), p);
  ASSERT_TRUE(opened.ok) << opened.error.toStdString();
  EXPECT_EQ(opened.deck.title, "Angels, ＂white＂");
  EXPECT_EQ(opened.deck.comment, "two\nlines");
  EXPECT_EQ(tables(), before);  // the card missing from the master kept, values empty
  EXPECT_EQ(readDeckList(f.db(), kSideDeckTable, f.ctx.gSortField, DeckSelection::none()).lines,
            QStringList{"2  Lost Card/"});
  // Saving again gives the same bytes.
  ASSERT_TRUE(SaveDeckFile(f.db(), path("again"), opened.deck.title, opened.deck.comment).ok);
  EXPECT_EQ(readFile(path("again")), readFile(p));
}

TEST_F(DeckFileTest, AnOldCodeIsStoredAndLookedUpUnderItsNewCode) {
  f.addSet(3, "インベイジョン", "IN");
  f.addCard({"IN", "Shivan Zombie", "シヴのゾンビ", "M", "C", 4, "1BR", "C", "", "ゾンビ", 4, 4});
  writeFile(path("old.tvf"), "\"\",\"\"\r\n\"IV\",\"Shivan Zombie\",2\r\n0,0,0\r\n");
  ASSERT_TRUE(OpenDeckFile(f.db(), path("old.tvf")).ok);
  EXPECT_EQ(tables(), QStringList{"wtbl_DecList|IN|Shivan Zombie|シヴのゾンビ|2|4|4|4"});
}

TEST_F(DeckFileTest, AFailedSaveChangesNoFile) {
  f.addDeckRow(kMainDeckTable, "8E", "Shock", "ショック", 4);
  const QString p = path("keep.tvf");
  writeFile(p, "old contents");
  const auto bad = SaveDeckFile(f.db(), p, "emoji \U0001F600", "");
  EXPECT_FALSE(bad.ok);
  EXPECT_EQ(bad.error,
            "デッキを保存できませんでした。\r\n「\U0001F600」はデッキファイルに書けない文字です。");
  EXPECT_EQ(readFile(p), "old contents");
  const std::pair<QString, QString> targets[] = {
      {path("no/such/folder.tvf"), "ファイルまたはフォルダーが見つかりません。"},
      {f.dir(), "ファイルではなくフォルダーです。"},
      {p, "ファイルが大きすぎます。"},  // under a file-size limit, as on a full disk
  };
  for (const auto& [target, reason] : targets) {
    tvtest::FileSizeLimit limit(16);
    const auto r = SaveDeckFile(f.db(), target, "", "");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "デッキを保存できませんでした。\r\n" + reason);
  }
  // A count the file could not give back.
  f.addDeckRow(kSideDeckTable, "8E", "Forest", "森", int(kMaxCopies) + 1);
  EXPECT_EQ(SaveDeckFile(f.db(), p, "", "").error,
            "デッキを保存できませんでした。\r\n4行目の「Forest」の枚数「32768」は32767枚を超えています。");
  EXPECT_EQ(readFile(p), "old contents");
  EXPECT_EQ(QDir(f.dir()).entryList(QDir::Files), QStringList({QFileInfo(f.path()).fileName(), "keep.tvf"}));
}

TEST_F(DeckFileTest, AFailedOpenChangesNothing) {
  f.addDeckRow(kMainDeckTable, "8E", "Shock", "ショック", 4);
  f.addDeckRow(kSideDeckTable, "OD", "Mirari", "ミラーリ", 1);
  const QStringList before = tables();
  writeFile(path("bad.tvf"), "\"\",\"\"\r\n\"8E\",\"Forest\",20\r\n\"8E\",\"Shock\",four\r\n");
  writeFile(path("boom.tvf"), "\"\",\"\"\r\n\"8E\",\"Forest\",20\r\n0,0,0\r\n\"8E\",\"Boom\",1\r\n");
  writeFile(path("huge.tvf"), QByteArray(kMaxDeckFileSize + 1, ' '));
  // An engine failure half-way through the replacement.
  f.db().execute(
      "CREATE TEMP TRIGGER boom BEFORE INSERT ON wtbl_DecSideList WHEN NEW.NameE = 'Boom' "
      "BEGIN SELECT RAISE(ABORT, 'boom'); END");
  mkfifo(QFile::encodeName(path("fifo.tvf")).constData(), 0666);
  const std::pair<QString, QString> cases[] = {
      {"missing.tvf", "デッキファイルを開けませんでした。\r\nファイルまたはフォルダーが見つかりません。"},
      {"", "デッキファイルを開けませんでした。\r\nファイルではなくフォルダーです。"},
      {"fifo.tvf", "デッキファイルを開けませんでした。\r\n通常のファイルではありません。"},
      {"bad.tvf",
       "デッキファイルを読み込めませんでした。\r\n3行目の枚数「four」が0以上の整数ではありません。"},
      {"boom.tvf", "デッキファイルを読み込めませんでした。\r\nboom"},  // the engine's words, no SQL
      {"huge.tvf", "デッキファイルを読み込めませんでした。\r\nデッキファイルとしては大きすぎます。"},
  };
  for (const auto& [name, error] : cases) {
    const auto r = OpenDeckFile(f.db(), path(name));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, error);
    EXPECT_EQ(tables(), before) << name.toStdString();
  }
}

// A save writes a double quote as "＂" and letters Shift-JIS lacks folded to
// ASCII; opening finds such a name's card again when exactly one card of the
// expansion folds to it.
TEST_F(DeckFileTest, NamesASaveFoldedFindTheirCardsAgain) {
  for (const auto& [set, name] :
       std::initializer_list<std::pair<QString, QString>>{{"AN", "Dandân"},
                                                          {"AN", "Junún Efreet"},
                                                          {"NC", "Henzie \"Toolbox\" Torre"},
                                                          {"CS", "Jötun Grunt"},
                                                          {"CS", "Jotun Grünt"}})  // the last two fold alike
    f.addCard({set, name, name + "（日本語）", "B", "C", 1, "B", "C", {}, {}, {}, {}});
  writeFile(path("folded.tvf"),
            "\"\",\"\"\r\n\"AN\",\"Dandan\",1\r\n\"an\",\"JUNUN EFREET\",2\r\n"
            "NC,Henzie \"Toolbox\" Torre,3\r\n0,0,0\r\n" +
                sjis("\"NC\",\"Henzie ＂Toolbox＂ Torre\",4\r\n") +
                "\"CS\",\"Jotun Grunt\",5\r\n\"ZZ\",\"Dandan\",6\r\n");
  const auto r = OpenDeckFile(f.db(), path("folded.tvf"));
  ASSERT_TRUE(r.ok) << r.error.toStdString();
  EXPECT_EQ(
      tables(),
      QStringList({"wtbl_DecList|AN|Dandân|Dandân（日本語）|1|1|-|-",
                   "wtbl_DecList|an|Junún Efreet|Junún Efreet（日本語）|2|1|-|-",
                   "wtbl_DecList|NC|Henzie \"Toolbox\" Torre|Henzie \"Toolbox\" Torre（日本語）|3|1|-|-",
                   "wtbl_DecSideList|NC|Henzie \"Toolbox\" Torre|Henzie \"Toolbox\" Torre（日本語）|4|1|-|-",
                   "wtbl_DecSideList|CS|Jotun Grunt|-|5|-|-|-", "wtbl_DecSideList|ZZ|Dandan|-|6|-|-|-"}));
  Deck now = readDeckTables(f.db());
  now.title = now.comment = "";
  EXPECT_EQ(r.deck, now);  // what the deck now is, for the unsaved-deck question
}

// Every card of the sample whose English name the file cannot hold as it is
// comes back from a saved deck, in a database of just those cards.
TEST_F(DeckFileTest, EverySampleCardWithSuchANameComesBack) {
  Deck deck;
  const QStringList setTypes = tvtools::ImportOptions::defaultSetTypes();
  tvtools::readAllPrintings(
      TV_SOURCE_DIR "/data/AllPrintings-subset.json.xz", [](const QString&) { return true; },
      [&](tvtools::MtgSet&& set) {
        if (!setTypes.contains(set.type) || set.onlineOnly) return;
        tvtools::ImportContext context;
        for (const tvtools::ImportedCard& card : tvtools::mapMtgSet(set, context)) {
          const tvtools::CardRow& c = card.row;
          if (!c.nameE.contains(u'"') && encodeShiftJis(c.nameE)) continue;
          tv::insertCard(f.db(), {c.set, c.nameE, c.nameN, c.color, c.cost, c.numCost, c.rare, c.cardType,
                                  c.textN, c.ctype, c.attack, c.defence});
          (deck.main.size() <= deck.side.size() ? deck.main : deck.side).append({c.set, c.nameE, 1});
        }
      });
  EXPECT_EQ(deck.main.size() + deck.side.size(), 44);
  replaceDeckTables(f.db(), deck);
  const QStringList before = tables();
  ASSERT_TRUE(SaveDeckFile(f.db(), path("sample.tvf"), "", "").ok);
  EXPECT_TRUE(readFile(path("sample.tvf")).contains("\"ARN\",\"Dandan\",1"));
  replaceDeckTables(f.db(), {});
  ASSERT_TRUE(OpenDeckFile(f.db(), path("sample.tvf")).ok);
  EXPECT_EQ(tables(), before);
}

// Random and mutated files: the reader never crashes, and opening either
// replaces the deck with exactly the file's deck or changes nothing.
TEST_F(DeckFileTest, RandomAndMutatedFilesOpenWholeOrNotAtAll) {
  const QByteArray seed = *encodeTvf(Deck{"Title, \"x\"",
                                          "a\nb",
                                          {{"8E", "Shock", 4}, {"IV", "Card", 2}, {"8E", "Serra Angel", 1}},
                                          {{"OD", "Mirari", 1}, {"US", "Dark Ritual", 3}}})
                               .bytes;
  const char alphabet[] = {'"', ',', '\r', '\n',   '0',    '1',    '9',
                           'a', '-', ' ',  '\x81', '\x82', '\xA0', '\xFF'};
  std::mt19937 rng(90901);
  auto pick = [&rng](qsizetype n) { return std::uniform_int_distribution<qsizetype>(0, n - 1)(rng); };
  f.addDeckRow(kMainDeckTable, "8E", "Forest", "森", 9);
  int opened = 0;
  const QString p = path("fuzz.tvf");
  for (int i = 0; i < 3000; ++i) {
    QByteArray bytes;
    if (i % 10 == 0) {
      for (qsizetype n = pick(60); n > 0; --n) bytes += alphabet[pick(sizeof alphabet)];
    } else {
      bytes = seed;
      for (qsizetype n = 1 + pick(4); n > 0; --n) {
        const qsizetype at = pick(bytes.size() + 1);
        const int how = int(pick(4));  // insert, remove, replace, cut
        if (how == 0) bytes.insert(at, alphabet[pick(sizeof alphabet)]);
        if (how == 1 && at < bytes.size()) bytes.remove(at, 1 + pick(8));
        if (how == 2 && at < bytes.size()) bytes[at] = alphabet[pick(sizeof alphabet)];
        if (how == 3) bytes.truncate(at);
      }
    }
    writeFile(p, bytes);
    const QStringList before = tables();
    const TvfDecoded expected = decodeTvf(bytes);
    const auto r = OpenDeckFile(f.db(), p);
    ASSERT_EQ(r.ok, bool(expected.deck)) << bytes.toStdString();
    if (!r.ok) {
      ASSERT_EQ(tables(), before) << bytes.toStdString();
      continue;
    }
    ++opened;
    Deck now = readDeckTables(f.db());
    now.title = r.deck.title;
    now.comment = r.deck.comment;
    ASSERT_EQ(now, *expected.deck) << bytes.toStdString();
  }
  EXPECT_GT(opened, 300);  // the run reaches the tables, not only the refusals
}

TEST(DeckChangeTracker, CountsContentNotRowOrder) {
  DeckChangeTracker tracker;
  Deck d;
  EXPECT_FALSE(tracker.changed(d));
  d.main = {{"8E", "Shock", 1}, {"OD", "Mirari", 2}};
  EXPECT_TRUE(tracker.changed(d));
  tracker.markSaved(d);
  std::swap(d.main[0], d.main[1]);
  EXPECT_FALSE(tracker.changed(d));
  for (auto edit : {+[](Deck& x) { x.title = "t"; }, +[](Deck& x) { x.comment = "c"; },
                    +[](Deck& x) { x.main[0].CardMaisu = 3; }, +[](Deck& x) { x.side = x.main; }}) {
    Deck changed = d;
    edit(changed);
    EXPECT_TRUE(tracker.changed(changed));
  }
}
