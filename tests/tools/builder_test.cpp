#include "carddb/builder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "carddb/info.h"
#include "carddb/schema.h"
#include "text/sqlliteral.h"

using namespace tvtools;
using tv::Database;

namespace {

const QString kCardsHeader = QStringLiteral(
    "set_code,number,english_name,japanese_name,colors,mana_cost_compact,cmc,rarity,type_line_en,"
    "original_type_en,supertypes,subtypes,power,toughness,japanese_type_line,japanese_text\n");

const QString kSets = QStringLiteral(
    "set_code,expansion_code,japanese_name,english_name,release_date\n"
    "USG,US,ウルザズ・サーガ,Urza's Saga,1998-10-12\n"
    "8ED,8E,第8版,Eighth Edition,2003-07-28\n"
    "ODY,OD,オデッセイ,Odyssey,2001-10-01\n");

const QString kCards =
    kCardsHeader +
    QStringLiteral(
        "8ED,1,Forest,森,,,0,common,Basic Land — Forest,Basic Land - Forest,Basic,Forest,,,基本土地 ― "
        "森,\n"
        "8ED,2,Forest,森,,,0,common,Basic Land — Forest,Basic Land - Forest,Basic,Forest,,,基本土地 ― "
        "森,\n"
        "USG,47,Serra's Embrace,セラの抱擁,W,2WW,4,uncommon,Enchantment — Aura,Enchant Creature,,Aura,,,"
        "エンチャント ― オーラ,\"エンチャント（クリーチャー）\\n飛行と警戒を持つ。\"\n"
        "ODY,9,Mystic Enforcer,神秘の執行者,GW,2GW,4,rare,Creature — Human Nomad Mystic,Creature - "
        "Nomad Mystic,,Human Nomad Mystic,3,3,クリーチャー ― 人間・ノーマッド・神秘家,\n"
        "USG,45,Serra Avatar,セラのアバター,W,4WWW,7,rare,Creature — Avatar,Summon - "
        "Avatar,,Avatar,*,*,クリーチャー ― アバター,\n");

const QString kTokens = QStringLiteral(
    "english_name,japanese_name,colors,power,toughness,text_en\n"
    "Goblin Soldier,ゴブリン・兵士,WR,1,1,\n"
    "Rukh,,R,4,4,Flying\n");

class BuilderTest : public ::testing::Test {
 protected:
  QString file(const QString& name) const { return dir.filePath(name); }

  void write(const QString& name, const QString& text) {
    QFile f(file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
  }

  BuildOptions options() const {
    return {file(QStringLiteral("cards.csv")), file(QStringLiteral("sets.csv")),
            file(QStringLiteral("tokens.csv")), file(QStringLiteral("out.db"))};
  }

  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    write(QStringLiteral("cards.csv"), kCards);
    write(QStringLiteral("sets.csv"), kSets);
    write(QStringLiteral("tokens.csv"), kTokens);
  }

  // The message of the failing build; "" when it succeeded.
  QString buildError(const BuildOptions& o) {
    try {
      buildCardDatabase(o);
    } catch (const BuildError& e) {
      return e.message();
    }
    return {};
  }

  QStringList folderContents() const {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
  }

  qlonglong count(Database& db, const QString& sql) {
    auto rs = db.openRecordset(sql, tv::RecordsetType::Snapshot, tv::dbForwardOnly);
    return rs.field(rs.fieldName(0)).toLongLong();
  }

  QTemporaryDir dir;
};

}  // namespace

TEST_F(BuilderTest, SmallBuildReadsBackThroughTheProgramsLayer) {
  ASSERT_EQ(buildError(options()), "");
  EXPECT_EQ(folderContents(), QStringList({"cards.csv", "out.db", "sets.csv", "tokens.csv"}));
  auto db = Database::open(file(QStringLiteral("out.db")), tv::kCardDbConnect);

  QStringList sets;
  for (auto rs = db->openRecordset(QStringLiteral("SELECT * FROM tbl_CardSet")); !rs.eof(); rs.moveNext())
    sets << rs.text(u"CardsetNo") + u' ' + rs.text(u"CardsetEx") + u' ' + rs.text(u"Cardset");
  EXPECT_EQ(sets, QStringList({"0 8E 第8版", "1 OD オデッセイ", "2 US ウルザズ・サーガ"}));

  EXPECT_EQ(count(*db, QStringLiteral("SELECT DbVersion FROM tbl_Version")), 5);
  EXPECT_EQ(count(*db, QStringLiteral("SELECT count(*) FROM tbl_CardMst")), 4);  // one Forest
  for (const char* table : {"wtbl_CardList", "wtbl_DecList", "wtbl_DecSideList"})
    EXPECT_EQ(count(*db, QStringLiteral("SELECT count(*) FROM ") + QString::fromLatin1(table)), 0);

  auto rs = db->openRecordset(QStringLiteral("SELECT * FROM tbl_CardMst WHERE NameE = ") +
                              tv::sqlLiteral(u"Serra's Embrace"));
  ASSERT_FALSE(rs.eof());
  EXPECT_EQ(rs.text(u"CardSetEx"), "US");
  EXPECT_EQ(rs.text(u"CardType"), "EC");
  EXPECT_EQ(rs.text(u"TextN"), "エンチャント（クリーチャー）\r\n飛行と警戒を持つ。");
  EXPECT_TRUE(rs.isNull(u"CType"));
  EXPECT_TRUE(rs.isNull(u"CAttack"));

  rs = db->openRecordset(QStringLiteral("SELECT * FROM tbl_CardMst WHERE NameE = 'Forest'"));
  EXPECT_EQ(rs.text(u"CardType"), "BL");
  EXPECT_TRUE(rs.isNull(u"NumCost"));
  EXPECT_TRUE(rs.isNull(u"Cost"));
  EXPECT_TRUE(rs.isNull(u"TextN"));

  rs = db->openRecordset(QStringLiteral("SELECT * FROM tbl_CardMst WHERE NameE = 'Serra Avatar'"));
  EXPECT_EQ(rs.field(u"CAttack"), "*");
  EXPECT_EQ(rs.field(u"NumCost").toInt(), 7);
  rs = db->openRecordset(QStringLiteral("SELECT * FROM tbl_CardMst WHERE NameE = 'Mystic Enforcer'"));
  EXPECT_EQ(rs.text(u"Color"), "M");
  EXPECT_EQ(rs.field(u"CAttack").typeId(), QMetaType::LongLong);  // stored as a number, sorts as one
  EXPECT_EQ(rs.text(u"CType"), "人間・ノーマッド・神秘家");

  QStringList tokens;
  for (rs = db->openRecordset(QStringLiteral("SELECT * FROM tbl_TokenMst")); !rs.eof(); rs.moveNext())
    tokens << QStringList{rs.text(u"NameN"), rs.text(u"Color"),
                          rs.isNull(u"TextN") ? "Null" : rs.text(u"TextN"), rs.text(u"CAttack"),
                          rs.text(u"CDefence")}
                  .join(u'|');
  EXPECT_EQ(tokens, QStringList({"ゴブリン・兵士|白赤|Null|1|1", "Rukh|赤|Flying|4|4"}));
}

TEST_F(BuilderTest, TokensAreOptional) {
  BuildOptions o = options();
  o.tokensCsv.clear();
  ASSERT_EQ(buildError(o), "");
  auto db = Database::open(o.output, tv::kCardDbConnect);
  EXPECT_EQ(count(*db, QStringLiteral("SELECT count(*) FROM tbl_TokenMst")), 0);
}

TEST_F(BuilderTest, BadInputNamesFileAndLineAndLeavesNothingBehind) {
  const QString cards = file(QStringLiteral("cards.csv"));
  const QString sets = file(QStringLiteral("sets.csv"));
  const QString tokens = file(QStringLiteral("tokens.csv"));
  QString noCmc = kCards;
  noCmc.replace(QStringLiteral(",cmc,"), QStringLiteral(",cost_total,"));
  QString unknownSet = kCards;
  unknownSet.replace(QStringLiteral("ODY,9,"), QStringLiteral("XYZ,9,"));
  QString badType = kCards;
  badType.replace(QStringLiteral("Summon - Avatar"), QStringLiteral("Vanguard"));
  QString twoCodes = kSets;
  twoCodes.replace(QStringLiteral("ODY,OD"), QStringLiteral("ODY,us"));
  QString badDate = kSets;
  badDate.replace(QStringLiteral("2001-10-01"), QStringLiteral("1 Oct 2001"));

  const struct {
    const char* name;
    QString content;
    QString expected;
  } cases[] = {
      {"cards.csv", noCmc, cards + ":1: missing column 'cmc'"},
      {"cards.csv", kCardsHeader + "8ED,1,\"Forest,森\n", cards + ":2: quoted field is never closed"},
      {"cards.csv", kCards + "8ED,3,Plains\n", cards + ":7: 3 fields where the header has 16"},
      {"cards.csv", unknownSet, cards + ":5: set XYZ is not in sets.csv"},
      {"cards.csv", badType, cards + ":6: unknown card type 'Vanguard'"},
      {"sets.csv", twoCodes, sets + ":4: expansion_code us is already used on line 2"},
      {"sets.csv", badDate, sets + ":4: release_date '1 Oct 2001' is not a date (YYYY-MM-DD)"},
      {"sets.csv", QStringLiteral("set_code,expansion_code,japanese_name,release_date\n"),
       sets + ":1: no expansions"},
      {"tokens.csv", QStringLiteral("english_name,colors\nBear,G\n"),
       tokens + ":1: missing column 'japanese_name'"},
      {"tokens.csv",
       QStringLiteral("english_name,japanese_name,colors,power,toughness,text_en\nBear,熊,Green,2,2,\n"),
       tokens + ":2: unknown colour 'r' in 'Green'"},
  };
  for (const auto& c : cases) {
    SetUp();
    write(QString::fromLatin1(c.name), c.content);
    EXPECT_EQ(buildError(options()), c.expected);
    EXPECT_EQ(folderContents(), QStringList({"cards.csv", "sets.csv", "tokens.csv"}))
        << c.expected.toStdString();
  }
  SetUp();

  BuildOptions o = options();
  o.cardsCsv = file(QStringLiteral("missing.csv"));
  EXPECT_TRUE(buildError(o).startsWith(o.cardsCsv + ": cannot read"));

  o = options();
  o.output = file(QStringLiteral("no-such-folder/out.db"));
  EXPECT_TRUE(buildError(o).startsWith(o.output + ": cannot write")) << buildError(o).toStdString();
  o.output = dir.path();
  EXPECT_EQ(buildError(o), dir.path() + ": is a folder");
  EXPECT_EQ(folderContents(), QStringList({"cards.csv", "sets.csv", "tokens.csv"}));
}

TEST_F(BuilderTest, ExistingOutputReplacedOnlyBySuccess) {
  write(QStringLiteral("out.db"), QStringLiteral("the old database"));
  write(QStringLiteral("cards.csv"),
        kCards + "8ED,3,Shock,ショック,R,R,1,common,Instant,Instant,,,,,インスタント,\"x\"y\n");
  EXPECT_NE(buildError(options()), "");
  QFile old(file(QStringLiteral("out.db")));
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), "the old database");
  old.close();

  write(QStringLiteral("cards.csv"), kCards);
  ASSERT_EQ(buildError(options()), "");
  auto db = Database::open(file(QStringLiteral("out.db")), tv::kCardDbConnect);
  EXPECT_EQ(count(*db, QStringLiteral("SELECT count(*) FROM tbl_CardMst")), 4);
  EXPECT_EQ(folderContents(), QStringList({"cards.csv", "out.db", "sets.csv", "tokens.csv"}));
}

TEST_F(BuilderTest, RepeatAppendsRenamedCopiesOfEveryExpansion) {
  BuildOptions o = options();
  o.repeat = 3;
  ASSERT_EQ(buildError(o), "");
  auto db = Database::open(o.output, tv::kCardDbConnect);
  QStringList sets;
  for (auto rs = db->openRecordset(QStringLiteral("SELECT * FROM tbl_CardSet")); !rs.eof(); rs.moveNext())
    sets << rs.text(u"CardsetNo") + u' ' + rs.text(u"CardsetEx") + u' ' + rs.text(u"Cardset");
  EXPECT_EQ(sets, QStringList({"0 8E 第8版", "1 OD オデッセイ", "2 US ウルザズ・サーガ", "3 8E1 第8版 (2)",
                               "4 OD1 オデッセイ (2)", "5 US1 ウルザズ・サーガ (2)", "6 8E2 第8版 (3)",
                               "7 OD2 オデッセイ (3)", "8 US2 ウルザズ・サーガ (3)"}));
  EXPECT_EQ(count(*db, QStringLiteral("SELECT count(*) FROM tbl_CardMst")), 12);
  EXPECT_EQ(count(*db, QStringLiteral("SELECT count(*) FROM tbl_CardMst WHERE CardSetEx = 'US2'")), 2);
  EXPECT_EQ(count(*db, QStringLiteral("SELECT count(*) FROM tbl_TokenMst")), 2);
  o.repeat = 0;
  EXPECT_NE(buildError(o), "");
}

TEST_F(BuilderTest, InfoCountsTablesAndExpansions) {
  ASSERT_EQ(buildError(options()), "");
  const QString out = describeCardDatabase(file(QStringLiteral("out.db")));
  EXPECT_TRUE(out.contains(QStringLiteral("data version:  5\n"))) << out.toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("tbl_CardMst            4\n"))) << out.toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("tbl_TokenMst           2\n"))) << out.toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("   0  8E         1  第8版\n"))) << out.toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("   2  US         2  ウルザズ・サーガ\n"))) << out.toStdString();

  // Whatever the program would refuse, info refuses too.
  try {
    describeCardDatabase(file(QStringLiteral("sets.csv")));
    FAIL() << "no error";
  } catch (const BuildError& e) {
    EXPECT_TRUE(e.message().startsWith(file(QStringLiteral("sets.csv")) + ": not a card database"))
        << e.what();
  }
  EXPECT_THROW(describeCardDatabase(file(QStringLiteral("none.db"))), BuildError);
}

// The sample card database, from the repository's own copy of the data.
TEST(SampleCardDatabase, BuildsFromTheRealData) {
  QTemporaryDir dir;
  const QString data = QStringLiteral(TV_SOURCE_DIR "/data/");
  const BuildOptions o{data + "cards.csv", data + "sets.csv", data + "tokens.csv",
                       dir.filePath(QStringLiteral("cards.db"))};
  buildCardDatabase(o);
  auto db = Database::open(o.output, tv::kCardDbConnect);
  auto scalar = [&](const QString& sql) {
    auto rs = db->openRecordset(sql, tv::RecordsetType::Snapshot, tv::dbForwardOnly);
    return rs.field(rs.fieldName(0));
  };

  EXPECT_EQ(scalar(QStringLiteral("SELECT DbVersion FROM tbl_Version")).toInt(), 5);
  EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM tbl_CardSet")).toInt(), 18);
  EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM tbl_CardMst")).toInt(), 4119);
  EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM tbl_TokenMst")).toInt(), 18);
  EXPECT_EQ(scalar(QStringLiteral("SELECT CardsetEx FROM tbl_CardSet WHERE CardsetNo = 0")), "8E");
  EXPECT_EQ(scalar(QStringLiteral("SELECT CardsetEx FROM tbl_CardSet WHERE CardsetNo = 17")), "US");
  EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM tbl_CardMst WHERE CardSetEx = '8E'")).toInt(), 342);
  // Lands stay out of the mana curve; every card has a known type code.
  EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM tbl_CardMst WHERE CardType IN ('L', 'BL', 'LL') AND "
                                  "NumCost IS NOT NULL"))
                .toInt(),
            0);
  EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM tbl_CardMst WHERE CardType = 'BL'")).toInt(), 40);
  EXPECT_EQ(
      scalar(QStringLiteral("SELECT count(*) FROM tbl_CardMst WHERE CardType NOT IN ('L','BL','LL','I','S',"
                            "'E','EC','EL','EP','EA','C','A','LA','AC')"))
          .toInt(),
      0);

  const struct {
    const char* set;
    const char16_t* name;
    const char16_t* expected;  // NameN|Color|Cost|NumCost|Rare|CardType|CType|CAttack|CDefence
  } cards[] = {
      {"6E", u"Forest", u"森|N|Null|Null|C|BL|Null|Null|Null"},
      {"8E", u"Forest", u"森|N|Null|Null|C|BL|Null|Null|Null"},
      {"AP", u"Fire // Ice", u"火 // 氷|M|1R // 1U|4|U|I|Null|Null|Null"},
      {"IN", u"Absorb", u"吸収|M|WUU|3|R|I|Null|Null|Null"},
      {"US", u"Karn, Silver Golem", u"銀のゴーレム、カーン|N|5|5|R|AC|ゴーレム|4|4"},
      {"US", u"Serra's Embrace", u"セラの抱擁|W|2WW|4|U|EC|Null|Null|Null"},
      {"US", u"Fertile Ground", u"肥沃な大地|G|1G|2|C|EL|Null|Null|Null"},
      {"8E", u"Confiscate", u"押収|U|4UU|6|U|EP|Null|Null|Null"},
      {"7E", u"Steal Artifact", u"秘宝奪取|U|2UU|4|U|EA|Null|Null|Null"},
      {"US", u"Power Taint", u"魔力の汚点|U|1U|2|C|EP|Null|Null|Null"},
      {"US", u"Dark Ritual", u"暗黒の儀式|B|B|1|C|I|Null|Null|Null"},
      {"US", u"Barrin, Master Wizard", u"練達の魔術師バリン|U|1UU|3|R|C|人間・ウィザード|1|1"},
      {"8E", u"Lhurgoyf", u"ルアゴイフ|G|2GG|4|R|C|ルアゴイフ|*|1+*"},
      {"ON", u"Embermage Goblin", u"燃えさし魔道ゴブリン|R|3R|4|U|C|ゴブリン・ウィザード|1|1"},
  };
  for (const auto& c : cards) {
    auto rs = db->openRecordset(
        QStringLiteral("SELECT * FROM tbl_CardMst WHERE CardSetEx = %1 AND NameE = %2")
            .arg(tv::sqlLiteral(QString::fromLatin1(c.set)), tv::sqlLiteral(QString::fromUtf16(c.name))),
        tv::RecordsetType::Snapshot, tv::dbForwardOnly);
    ASSERT_FALSE(rs.eof()) << QString::fromUtf16(c.name).toStdString();
    QStringList got;
    for (const char16_t* f :
         {u"NameN", u"Color", u"Cost", u"NumCost", u"Rare", u"CardType", u"CType", u"CAttack", u"CDefence"})
      got << (rs.isNull(f) ? QStringLiteral("Null") : rs.text(f));
    EXPECT_EQ(got.join(u'|'), QString::fromUtf16(c.expected));
  }
}
