#include "carddb/oraclecards.h"

#include <QRegularExpression>
#include <algorithm>

#include "carddb/mapping.h"
#include "carddb/names.h"
#include "carddb/schema.h"
#include "text/collate.h"

namespace tvtools {
namespace {

const QString kFaceJoin = QStringLiteral(" // ");

QVariant numberValue(const QString& text) {
  bool ok = false;
  const double d = text.trimmed().toDouble(&ok);
  if (!ok) return {};
  if (d == double(qint64(d))) return qint64(d);
  return d;
}

// "seven" of "A deck can have up to seven cards named …".
QVariant countWord(const QString& word) {
  static constexpr const char* kWords[] = {
      "zero",     "one",     "two",     "three",     "four",     "five",     "six",
      "seven",    "eight",   "nine",    "ten",       "eleven",   "twelve",   "thirteen",
      "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen", "twenty"};
  bool ok = false;
  const int n = word.toInt(&ok);
  if (ok) return n;
  for (int i = 0; i < int(std::size(kWords)); ++i)
    if (word.compare(QLatin1String(kWords[i]), Qt::CaseInsensitive) == 0) return i;
  return {};
}

const QString& legalityWord(const QString& value) {
  static const QString words[] = {QStringLiteral("Legal"), QStringLiteral("Banned"),
                                  QStringLiteral("Restricted")};
  static const QString none;
  for (const QString& w : words)
    if (value == w) return w;
  return none;
}

}  // namespace

QString wubrg(const QStringList& colors) {
  QString out;
  for (QChar c : QStringView(u"WUBRG"))
    if (colors.contains(QString(c))) out += c;
  return out;
}

OracleCard oracleCard(const std::vector<const MtgFace*>& faces, bool eitherHalf) {
  const MtgFace& front = *faces.front();
  OracleCard c;
  c.nameE = front.name;
  QStringList colors, types, texts;
  for (const MtgFace* f : faces) {
    if (f == &front || eitherHalf) colors += f->colors;
    types << f->type;
    if (!f->text.isEmpty()) texts << f->text;
    c.faceTypes.emplace_back(f->type, f->subtypes);
    if (!c.loyalty.isValid() && !f->loyalty.isEmpty()) c.loyalty = powerValue(f->loyalty);
  }
  c.colors = wubrg(colors);
  c.colorIdentity = wubrg(front.colorIdentity);
  c.manaValue = numberValue(front.manaValue);
  c.power = powerValue(front.power);
  c.toughness = powerValue(front.toughness);
  c.typeLineE = types.join(kFaceJoin);
  c.textE = texts.join(kFaceJoin);
  c.textE.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', QStringLiteral("\r\n"));

  // The rules read from the front face: it is what the card is in every zone
  // but the battlefield.
  c.commander = (front.supertypes.contains(u"Legendary") && front.types.contains(u"Creature")) ||
                front.text.contains(u"can be your commander");
  for (QStringView line : QStringView(front.text).split(u'\n')) {
    line = line.trimmed();
    if (line == u"Partner" || line.startsWith(u"Partner (")) c.partner = true;
    if (line.startsWith(u"Partner with ")) {
      c.partner = true;
      const QStringView rest = line.mid(13);
      const qsizetype reminder = rest.indexOf(u" (");
      c.partnerWith = (reminder < 0 ? rest : rest.left(reminder)).trimmed().toString();
    }
  }
  static const QRegularExpression upTo(QStringLiteral("A deck can have up to (\\w+) cards named"));
  c.anyNumber = front.supertypes.contains(u"Basic") ||
                front.text.contains(u"A deck can have any number of cards named");
  if (front.text.contains(u"A deck can have up to"))
    if (const auto m = upTo.match(front.text); m.hasMatch()) c.copyLimit = countWord(m.captured(1));
  c.legalities = front.legalities;
  return c;
}

void OracleCards::add(OracleCard card, const QString& releaseDate) {
  const QString key = card.nameE.toLower();
  const auto it = index_.constFind(key);
  if (it == index_.cend()) {
    index_.insert(key, cards_.size());
    cards_.push_back(std::move(card));
    dates_.push_back(releaseDate);
    return;
  }
  OracleCard& old = cards_[*it];
  for (const auto& format : old.legalities)
    if (std::none_of(card.legalities.begin(), card.legalities.end(),
                     [&](const auto& l) { return l.first == format.first; }))
      card.legalities.push_back(format);
  if (releaseDate > dates_[*it]) {
    old = std::move(card);
    dates_[*it] = releaseDate;
  } else {
    old.legalities = std::move(card.legalities);
  }
}

void writeCardFacts(tv::Database& db, const std::vector<OracleCard>& cards, const std::vector<SetInfo>& sets,
                    std::vector<CreatureTypeRow> creatureTypes) {
  tv::createCardFactsTables(db);

  QStringList formats;
  for (const OracleCard& c : cards)
    for (const auto& l : c.legalities)
      if (!formats.contains(l.first)) formats << l.first;
  formats.sort();
  tv::RowInserter format(db, tv::kFormatTable, {QStringLiteral("FormatNo"), QStringLiteral("Format")});
  for (qsizetype i = 0; i < formats.size(); ++i) format.add({i, formats[i]});

  tv::RowInserter card(db, tv::kCardOracleTable,
                       QString("CardNo NameE Colors ColorIdentity ManaValue TypeLineE TypeLineN TextE Power "
                               "Toughness Loyalty Commander Partner PartnerWith AnyNumber CopyLimit")
                           .split(u' '));
  tv::RowInserter legal(db, tv::kCardLegalityTable,
                        {QStringLiteral("CardNo"), QStringLiteral("FormatNo"), QStringLiteral("Legality")});
  auto orNull = [](const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); };
  for (qsizetype no = 0; no < qsizetype(cards.size()); ++no) {
    const OracleCard& c = cards[size_t(no)];
    card.add({no, c.nameE, c.colors, c.colorIdentity, c.manaValue, orNull(c.typeLineE), orNull(c.typeLineJa),
              orNull(c.textE), c.power, c.toughness, c.loyalty, int(c.commander), int(c.partner),
              orNull(c.partnerWith), int(c.anyNumber), c.copyLimit});
    for (const auto& [name, value] : c.legalities)
      if (const QString& word = legalityWord(value); !word.isEmpty())
        legal.add({no, formats.indexOf(name), word});
  }

  std::stable_sort(creatureTypes.begin(), creatureTypes.end(), [](const auto& a, const auto& b) {
    if (const int r = tv::compareJapanese(a.reading, b.reading)) return r < 0;
    if (const int r = tv::compareJapanese(a.nameJa, b.nameJa)) return r < 0;
    return a.nameE < b.nameE;
  });
  tv::RowInserter type(db, tv::kCreatureTypeTable,
                       {QStringLiteral("NameE"), QStringLiteral("NameN"), QStringLiteral("Reading"),
                        QStringLiteral("SortNo")});
  for (qsizetype i = 0; i < qsizetype(creatureTypes.size()); ++i) {
    const CreatureTypeRow& t = creatureTypes[size_t(i)];
    type.add({t.nameE, t.nameJa, t.reading, i});
  }

  tv::RowInserter set(db, tv::kCardSetInfoTable,
                      {QStringLiteral("CardsetEx"), QStringLiteral("SetCode"), QStringLiteral("NameE"),
                       QStringLiteral("ReleaseDate"), QStringLiteral("SetType")});
  for (const SetInfo& s : sets) set.add({s.expansionCode, s.setCode, s.nameE, s.releaseDate, s.type});
}

}  // namespace tvtools
