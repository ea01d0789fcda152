#include "carddb/oraclefacts.h"

#include <QSet>
#include <algorithm>
#include <limits>

#include "carddb/names.h"

namespace tv {
namespace {

Recordset snapshot(Database& db, const QString& sql) {
  return db.openRecordset(sql, RecordsetType::Snapshot, dbForwardOnly);
}

const QString kFormatsSql = QStringLiteral("SELECT FormatNo, Format FROM tbl_Format ORDER BY Format");

bool flag(const QVariant& v) { return v.isValid() && v.toLongLong() != 0; }

QString textOf(const QVariant& v) { return v.isValid() ? v.toString() : QString(); }

// Equal values held once: most type lines, colours and legality lists repeat
// over thousands of cards, and every card is held for the whole run.
template <typename T>
class Pool {
 public:
  T operator()(const T& value) { return *values_.insert(value); }

 private:
  QSet<T> values_;
};

Legality legalityOf(const QString& word) {
  if (word.compare(u"Legal", Qt::CaseInsensitive) == 0) return Legality::Legal;
  if (word.compare(u"Banned", Qt::CaseInsensitive) == 0) return Legality::Banned;
  if (word.compare(u"Restricted", Qt::CaseInsensitive) == 0) return Legality::Restricted;
  return Legality::NotLegal;  // a word the program does not know is no permission
}

}  // namespace

bool OracleFacts::present(Database& db) {
  const QStringList tables = cardFactsTables();
  return std::all_of(tables.begin(), tables.end(), [&](const QString& table) { return db.hasTable(table); });
}

std::shared_ptr<const OracleFacts> OracleFacts::load(Database& db) {
  if (!present(db)) return nullptr;
  auto facts = std::make_shared<OracleFacts>();
  OracleFacts& f = *facts;

  QHash<qint64, int> formatOfNo;
  for (auto rs = snapshot(db, kFormatsSql); !rs.eof(); rs.moveNext()) {
    formatOfNo.insert(rs.field(u"FormatNo").toLongLong(), int(f.formats_.size()));
    f.formats_ << rs.text(u"Format");
  }

  Pool<QString> text;
  QHash<qint64, int> cardOfNo;
  for (auto rs =
           snapshot(db, QStringLiteral("SELECT CardNo, NameE, Colors, ColorIdentity, ManaValue, TypeLineE,"
                                       " TypeLineN, TextE, Power, Toughness, Loyalty, Commander, Partner,"
                                       " PartnerWith, AnyNumber, CopyLimit FROM tbl_CardOracle"
                                       " ORDER BY CardNo"));
       !rs.eof(); rs.moveNext()) {
    Card c;
    c.NameE = rs.text(u"NameE");
    const QString key = c.NameE.toCaseFolded();
    if (c.NameE.isEmpty() || f.byName_.contains(key)) continue;
    c.Colors = text(rs.text(u"Colors"));
    c.ColorIdentity = text(rs.text(u"ColorIdentity"));
    c.ManaValue = rs.field(u"ManaValue");
    c.Power = rs.field(u"Power");
    c.Toughness = rs.field(u"Toughness");
    c.Loyalty = rs.field(u"Loyalty");
    c.TypeLineE = text(rs.text(u"TypeLineE"));
    c.TypeLineN = text(rs.text(u"TypeLineN"));
    c.TextE = text(rs.text(u"TextE"));
    c.Commander = flag(rs.field(u"Commander"));
    c.Partner = flag(rs.field(u"Partner"));
    c.PartnerWith = text(textOf(rs.field(u"PartnerWith")));
    c.AnyNumber = flag(rs.field(u"AnyNumber"));
    bool number = false;
    const double limit = rs.field(u"CopyLimit").toDouble(&number);
    if (number && limit >= 1) c.CopyLimit = int(std::min(limit, double(std::numeric_limits<int>::max())));
    const int index = int(f.cards_.size());
    f.byName_.insert(key, index);
    cardOfNo.insert(rs.field(u"CardNo").toLongLong(), index);
    f.cards_.push_back(std::move(c));
  }

  // The rows come by card: each card is looked up once.
  constexpr char kNoRow = char(0xff);
  qint64 lastNo = -1;
  Card* card = nullptr;
  for (auto rs = snapshot(db, QStringLiteral("SELECT CardNo, FormatNo, Legality FROM tbl_CardLegality"));
       !rs.eof(); rs.moveNext()) {
    if (const qint64 no = rs.field(u"CardNo").toLongLong(); no != lastNo || !card) {
      lastNo = no;
      const auto it = cardOfNo.constFind(no);
      card = it == cardOfNo.cend() ? nullptr : &f.cards_[size_t(*it)];
    }
    const auto format = formatOfNo.constFind(rs.field(u"FormatNo").toLongLong());
    if (!card || format == formatOfNo.cend()) continue;
    QByteArray& list = card->legalities;
    if (list.size() <= *format) list.resize(*format + 1, kNoRow);
    if (list[*format] == kNoRow)
      list[*format] = char(legalityOf(rs.text(u"Legality")));  // the first row counts
  }
  Pool<QByteArray> legalities;
  for (Card& c : f.cards_) c.legalities = legalities(c.legalities.replace(kNoRow, char(Legality::NotLegal)));

  for (auto rs = snapshot(db, QStringLiteral("SELECT CardsetEx, SetCode, NameE, ReleaseDate, SetType"
                                             " FROM tbl_CardSetInfo ORDER BY ReleaseDate DESC, CardsetEx"));
       !rs.eof(); rs.moveNext())
    f.expansions_.push_back({rs.text(u"CardsetEx"), rs.text(u"SetCode"), rs.text(u"NameE"),
                             rs.text(u"ReleaseDate"), rs.text(u"SetType")});
  return facts;
}

std::optional<QStringList> OracleFacts::storedFormats(Database& db) {
  if (!present(db)) return std::nullopt;
  QStringList formats;
  for (auto rs = snapshot(db, kFormatsSql); !rs.eof(); rs.moveNext()) formats << rs.text(u"Format");
  return formats;
}

const OracleFacts::Card* OracleFacts::find(QStringView nameE) const {
  const auto it = byName_.constFind(nameE.toString().toCaseFolded());
  return it == byName_.cend() ? nullptr : &cards_[size_t(*it)];
}

int OracleFacts::formatIndex(QStringView format) const {
  for (qsizetype i = 0; i < formats_.size(); ++i)
    if (formats_[i].compare(format, Qt::CaseInsensitive) == 0) return int(i);
  return -1;
}

Legality OracleFacts::legality(const Card& card, int format) {
  return format >= 0 && format < card.legalities.size() ? Legality(card.legalities[format])
                                                        : Legality::NotLegal;
}

Legality OracleFacts::legality(QStringView nameE, QStringView format) const {
  const Card* card = find(nameE);
  const int index = formatIndex(format);
  return card && index >= 0 ? legality(*card, index) : Legality::NotLegal;
}

qint64 OracleFacts::copiesAllowed(const Card& card, qint64 usual) {
  if (card.AnyNumber) return std::numeric_limits<qint64>::max();
  return card.CopyLimit > 0 ? card.CopyLimit : usual;
}

}  // namespace tv
