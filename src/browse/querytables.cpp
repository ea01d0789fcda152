#include "browse/querytables.h"

#include <QHash>
#include <algorithm>
#include <array>

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
    for (const OracleFacts::Card& card : facts_->cards()) factsText_.add(foldRulesText(card.TextE));
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
  using RowTypes = std::pair<qint32, std::pair<QString, QString>>;  // the facts' index, CardType, CType
  QHash<RowTypes, qint32> rowTypeLines;
  auto rs =
      db.openRecordset(QStringLiteral("SELECT rowid AS tv_Row, Color, Cost, Rare, CardType, CType, TextN"
                                      " FROM tbl_CardMst ORDER BY rowid"),
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
      textId = textIds.insert(text.toByteArray(), textsN_.add(foldRulesText(QString::fromUtf8(text))));
    }
    p.textN = *textId;
    const qint32 facts = factsOfName_[size_t(catalogue.names[size_t(byRow[next].second)])];
    const OracleFacts::Card* card = facts >= 0 ? &facts_->cards()[size_t(facts)] : nullptr;
    // Folded once per name's facts, card type and creature type, not per printing.
    const QString cardType = rs.text(u"CardType"), ctype = rs.text(u"CType");
    const RowTypes key{facts, {cardType, ctype}};
    auto rowLine = rowTypeLines.constFind(key);
    if (rowLine == rowTypeLines.cend()) {
      const auto lines = typeLines(card, cardType, ctype);
      auto lineId = typeLineIds.constFind(lines);
      if (lineId == typeLineIds.cend()) {
        typeLinesE_.add(lines.second);
        lineId = typeLineIds.insert(lines, typeLinesN_.add(lines.first));
      }
      rowLine = rowTypeLines.insert(key, *lineId);
    }
    p.typeLine = *rowLine;
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

qint32 FoldedTexts::add(const QString& folded) {
  const std::u16string_view text(reinterpret_cast<const char16_t*>(folded.utf16()), size_t(folded.size()));
  Run& run = std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; }) ? ascii_ : other_;
  run.starts.push_back(run.all.size());
  run.ids.push_back(count_);
  run.all += text;
  return count_++;
}

std::vector<char> FoldedTexts::holding(QStringView folded) const {
  const std::u16string_view needle(reinterpret_cast<const char16_t*>(folded.utf16()), size_t(folded.size()));
  std::vector<char> out(size_t(count_), 0);
  if (std::all_of(needle.begin(), needle.end(), [](char16_t c) { return c < 0x80; }))
    ascii_.find(needle, out);
  other_.find(needle, out);
  return out;
}

void FoldedTexts::Run::find(std::u16string_view needle, std::vector<char>& out) const {
  const size_t m = needle.size(), n = all.size();
  if (m == 0) {
    for (const qint32 id : ids) out[size_t(id)] = 1;
    return;
  }
  const char16_t* text = all.data();
  size_t k = 0;  // the text the window starts in
  // A match at `at`: its text is flagged and the search goes on in the next.
  auto found = [&](size_t at) {
    while (k + 1 < starts.size() && starts[k + 1] <= at) ++k;
    const size_t end = k + 1 < starts.size() ? starts[k + 1] : n;
    if (at + m > end) return at + 1;  // across two texts: no match
    out[size_t(ids[k])] = 1;
    return end;
  };
  if (m == 1) {
    // A single kanji ("引" of "引く") is common: a scan the compiler can widen.
    const char16_t c = needle[0];
    for (size_t at = 0; at < n;) {
      while (at + 16 <= n) {
        unsigned any = 0;
        for (size_t j = 0; j < 16; ++j) any |= unsigned(text[at + j] == c);
        if (any) break;
        at += 16;
      }
      for (; at < n && text[at] != c; ++at) {
      }
      if (at < n) at = found(at);
    }
    return;
  }
  // How far the window may move when its last character is c: by the low
  // byte of c, the least of the characters that share it.
  std::array<size_t, 256> shift;
  shift.fill(m);
  for (size_t i = 0; i + 1 < m; ++i) shift[needle[i] & 0xFF] = m - 1 - i;
  const char16_t last = needle[m - 1];
  for (size_t at = 0; at + m <= n;) {
    const char16_t c = text[at + m - 1];
    if (c == last && std::equal(needle.begin(), needle.end() - 1, text + at))
      at = found(at);
    else
      at += shift[c & 0xFF];
  }
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
  TermHits h;
  switch (t.field) {
    case Field::Name:
      break;
    case Field::Text: {
      const std::vector<char> english = factsText_.holding(t.text);
      h = {D::TextN, D::NameE, textsN_.holding(t.text), byName([&](size_t c) { return english[c] != 0; })};
      break;
    }
    case Field::Type: {
      std::vector<char> either = typeLinesN_.holding(t.text);
      const std::vector<char> english = typeLinesE_.holding(t.text);
      for (size_t i = 0; i < either.size(); ++i) either[i] |= english[i];
      h = {D::TypeLine, D::None, std::move(either), {}};
      break;
    }
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
