#include "browse/querytables.h"

#include <QHash>
#include <algorithm>

#include "carddb/codes.h"
#include "text/fold.h"

namespace tv {
namespace {

using query::Field;
using query::Term;

// Letters of W U B R G anywhere in the text, as colour bits.
quint8 colorBits(QStringView letters) {
  static constexpr QStringView kLetters = u"WUBRG";
  quint8 bits = 0;
  for (const QChar c : letters)
    if (const qsizetype k = kLetters.indexOf(c.toUpper()); k >= 0) bits |= quint8(1u << k);
  return bits;
}

// A multicoloured card's colours are the symbols of its cost ("1R // 1U", "(B/R)").
quint8 printingColors(QStringView color, QStringView cost) {
  if (color.compare(u"M", Qt::CaseInsensitive) == 0) return colorBits(cost);
  return color.size() == 1 ? colorBits(color) : 0;  // N and anything unknown: no colour
}

QString printed(const Cell& c) {
  switch (c.kind) {
    case Cell::Integer:
      return QString::number(c.integer);
    case Cell::Real:
      return QString::number(c.real);
    case Cell::Text:
      return QString::fromUtf8(c.bytes);
    default:
      return {};
  }
}

// A card without a cost (a land) has mana value 0.
std::optional<double> manaValue(const Cell& c) {
  if (c.kind == Cell::Null) return 0.0;
  return query::printedNumber(printed(c));
}

// The type lines of the card facts; without them, the card type's labels and the creature type.
std::pair<QString, QString> typeLines(const OracleFacts::Card* facts, QStringView cardType,
                                      QStringView ctype) {
  QString ja = facts ? facts->TypeLineN : QString();
  QString en = facts ? facts->TypeLineE : QString();
  if (const CardTypeCode* code = findCardType(cardType); code && (ja.isEmpty() || en.isEmpty())) {
    if (ja.isEmpty()) {
      ja = code->labelJa.trimmed().toString();
      if (!ctype.isEmpty()) ja += QStringLiteral(" ― ") + ctype.toString();
    }
    if (en.isEmpty()) en = code->labelEn.toString();
  }
  return {foldRulesText(ja), foldRulesText(en)};
}

// `f` of each value, by the value's index.
template <typename Values, typename F>
auto each(const Values& values, F&& f) {
  std::vector<std::decay_t<decltype(f(*std::begin(values)))>> out;
  out.reserve(std::size(values));
  for (const auto& v : values) out.push_back(f(v));
  return out;
}

// Whether `test` holds of each value, by the value's index.
template <typename Values, typename Test>
std::vector<char> flags(const Values& values, Test&& test) {
  return each(values, [&](const auto& v) -> char { return test(v); });
}

}  // namespace

QueryTables::QueryTables(Database& db, const Catalogue& catalogue, std::shared_ptr<const OracleFacts> facts)
    : facts_(std::move(facts)) {
  for (const QByteArray& name : catalogue.namesE) {
    const OracleFacts::Card* card = facts_ ? facts_->find(QString::fromUtf8(name)) : nullptr;
    factsOfName_.push_back(card ? qint32(card - facts_->cards().data()) : -1);
  }
  if (facts_)
    for (const OracleFacts::Card& card : facts_->cards()) factsText_.push_back(foldRulesText(card.TextE));
  numCosts_ = each(catalogue.numCosts, [](const Cell& c) { return manaValue(c); });
  attacks_ = each(catalogue.attacks, printed);
  defences_ = each(catalogue.defences, printed);

  QHash<QString, QString> today, english;  // by expansion code
  if (facts_)
    for (const OracleFacts::Expansion& e : facts_->expansions()) {
      today.insert(e.CardsetEx.toCaseFolded(), e.SetCode);
      english.insert(e.CardsetEx.toCaseFolded(), foldName(e.NameE));
    }
  QHash<qint64, qint32> setOfNo;
  for (auto rs = db.openRecordset(QStringLiteral("SELECT CardsetNo, Cardset, CardsetEx FROM tbl_CardSet"),
                                  RecordsetType::Snapshot, dbForwardOnly);
       !rs.eof(); rs.moveNext()) {
    const QString code = rs.text(u"CardsetEx");
    setOfNo.insert(rs.cell(u"CardsetNo").integer, qint32(expansions_.size()));
    expansions_.push_back({code, today.value(code.toCaseFolded()), foldName(rs.text(u"Cardset")),
                           english.value(code.toCaseFolded())});
  }

  // The card rows in rowid order, each given to the printings that show it.
  const size_t count = catalogue.cardRows.size();
  printings_.resize(count);
  std::vector<std::pair<qint64, qint32>> byRow;
  byRow.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    byRow.emplace_back(catalogue.cardRows[i], qint32(i));
    const auto set = setOfNo.constFind(catalogue.setNos[i]);
    if (set == setOfNo.cend()) throw DbError(QStringLiteral("the card tables changed"));
    printings_[i].set = *set;
  }
  std::sort(byRow.begin(), byRow.end());
  QHash<QByteArray, qint32> textIds;
  QHash<std::pair<QString, QString>, qint32> typeLineIds;
  auto rs =
      db.openRecordset(QStringLiteral("SELECT rowid AS tv_Row, NameE, Color, Cost, Rare, CardType, CType,"
                                      " TextN FROM tbl_CardMst ORDER BY rowid"),
                       RecordsetType::Snapshot, dbForwardOnly);
  size_t next = 0;
  for (; !rs.eof() && next < byRow.size(); rs.moveNext()) {
    const qint64 row = rs.cell(u"tv_Row").integer;
    if (row < byRow[next].first) continue;  // a card of no expansion: not in the catalogue
    if (row > byRow[next].first) break;
    Printing p;
    const QByteArrayView text = rs.utf8(u"TextN");
    auto textId = textIds.constFind(QByteArray::fromRawData(text.data(), text.size()));
    if (textId == textIds.cend()) {
      textId = textIds.insert(text.toByteArray(), qint32(textsN_.size()));
      textsN_.push_back(foldRulesText(QString::fromUtf8(text)));
    }
    p.textN = *textId;
    const OracleFacts::Card* card = facts_ ? facts_->find(rs.text(u"NameE")) : nullptr;
    auto lines = typeLines(card, rs.text(u"CardType"), rs.text(u"CType"));
    auto lineId = typeLineIds.constFind(lines);
    if (lineId == typeLineIds.cend()) {
      lineId = typeLineIds.insert(lines, qint32(typeLines_.size()));
      typeLines_.push_back(std::move(lines));
    }
    p.typeLine = *lineId;
    p.colors = printingColors(rs.text(u"Color"), rs.text(u"Cost"));
    p.rarity = qint8(query::rarityRank(rs.text(u"Rare")) + 1);
    for (; next < byRow.size() && byRow[next].first == row; ++next) {
      Printing& to = printings_[size_t(byRow[next].second)];
      const qint32 set = to.set;
      to = p;
      to.set = set;
    }
  }
  if (next < byRow.size()) throw DbError(QStringLiteral("the card tables changed"));
}

std::vector<char> QueryTables::byName(const std::function<bool(size_t card)>& test) const {
  std::vector<char> ofCard;
  if (facts_)
    for (size_t c = 0; c < facts_->cards().size(); ++c) ofCard.push_back(test(c));
  return flags(factsOfName_, [&](qint32 card) { return card >= 0 && ofCard[size_t(card)]; });
}

TermHits QueryTables::hits(const Term& t) const {
  using D = QueryDomain;
  auto card = [&](size_t c) -> const OracleFacts::Card& { return facts_->cards()[c]; };
  auto holds = [&](const QString& folded) { return t.holdsText(folded); };
  TermHits h;
  switch (t.field) {
    case Field::Name:
      break;
    case Field::Text:
      h = {D::TextN, D::NameE, flags(textsN_, holds), byName([&](size_t c) { return holds(factsText_[c]); })};
      break;
    case Field::Type:
      h = {D::TypeLine,
           D::None,
           flags(typeLines_, [&](const auto& l) { return holds(l.first) || holds(l.second); }),
           {}};
      break;
    case Field::Color: {
      std::vector<char> all(32);
      for (quint8 bits = 0; bits < 32; ++bits) all[bits] = t.matchesColors(bits);
      h = {D::Colors, D::None, std::move(all), {}};
      break;
    }
    case Field::Identity:
      h = {D::NameE,
           D::None,
           byName([&](size_t c) { return t.matchesColors(colorBits(card(c).ColorIdentity)); }),
           {}};
      break;
    case Field::ManaValue:
      h = {D::NumCost, D::None, flags(numCosts_, [&](const auto& v) { return t.matchesNumber(v); }), {}};
      break;
    case Field::Power:
    case Field::Toughness:
      h = {t.field == Field::Power ? D::Attack : D::Defence,
           D::None,
           flags(t.field == Field::Power ? attacks_ : defences_,
                 [&](const QString& p) { return t.matchesPrinted(p); }),
           {}};
      break;
    case Field::Loyalty:
      h = {D::NameE,
           D::None,
           byName([&](size_t c) {
             const QVariant& loyalty = card(c).Loyalty;
             return t.matchesPrinted(loyalty.isValid() ? loyalty.toString() : QString());
           }),
           {}};
      break;
    case Field::Rarity: {
      static constexpr QStringView kByRank[] = {u"", u"C", u"U", u"R", u"S", u"M"};  // rarityRank() + 1
      h = {D::Rarity, D::None, flags(kByRank, [&](QStringView code) { return t.matchesRarity(code); }), {}};
      break;
    }
    case Field::Expansion:
      h = {D::Set,
           D::None,
           flags(expansions_,
                 [&](const Expansion& e) {
                   return t.matchesExpansion(e.code, e.name) || t.matchesExpansion(e.todayCode, e.nameE);
                 }),
           {}};
      break;
    case Field::Legal:
    case Field::Banned:
    case Field::Restricted: {
      const int format = facts_ ? facts_->formatIndex(t.text) : -1;
      h = {D::NameE,
           D::None,
           byName([&](size_t c) { return t.matchesLegality(OracleFacts::legality(card(c), format)); }),
           {}};
      break;
    }
  }
  return h;
}

}  // namespace tv
