#include "carddb/import.h"

#include <QDate>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>

#include "carddb/builder.h"
#include "carddb/database.h"
#include "carddb/error.h"
#include "carddb/readings.h"
#include "carddb/symbols.h"

namespace tvtools {
namespace {

const QString kFaceJoin = QStringLiteral(" // ");

// Types a deck holds; a printing of none of them (Conspiracy, Plane, Scheme,
// Vanguard, Dungeon, and types newer than the codes) is left out.
bool isDeckCard(const MtgFace& f) {
  static const QSet<QString> deckTypes{QStringLiteral("Land"),         QStringLiteral("Creature"),
                                       QStringLiteral("Artifact"),     QStringLiteral("Enchantment"),
                                       QStringLiteral("Planeswalker"), QStringLiteral("Instant"),
                                       QStringLiteral("Sorcery")};
  return std::any_of(f.types.begin(), f.types.end(), [](const QString& t) { return deckTypes.contains(t); });
}

bool hasJapanese(QStringView s) {
  return std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() >= 0x3000; });
}

// Split and aftermath cards are cast as either half: they show both costs and
// both colours, as split cards always have. Other multi-face cards are cast
// (or played) by their front face.
bool castAsEitherHalf(const MtgFace& front) {
  return front.layout == u"split" || front.layout == u"aftermath";
}

QString englishFaceName(const MtgFace& f) { return f.faceName.isEmpty() ? f.name : f.faceName; }

// WHISPER's Japanese names of a set's cards, each with its card's lookup key.
using JapaneseNameOwners = QHash<QString, QString>;

// A face's Japanese name: MTGJSON's when it is one, else WHISPER's. MTGJSON
// holds the English name for some cards, "A // B // B" for some split cards,
// and another card's name of the same set for a few (USG's Shiv cards).
QString japaneseName(const MtgFace& f, bool multiFace, const WhisperCards* whisper,
                     const JapaneseNameOwners& owners) {
  const QString& mtgjson = multiFace && !f.faceNameJa.isEmpty() ? f.faceNameJa : f.nameJa;
  const QString english = englishFaceName(f);
  if (hasJapanese(mtgjson) && !mtgjson.contains(kFaceJoin)) {
    const QString owner = owners.value(mtgjson);
    if (owner.isEmpty() || owner == WhisperCards::key(english)) return mtgjson;
  }
  if (whisper)
    if (const WhisperCard* w = whisper->find(english); w && !w->nameJa.isEmpty()) return w->nameJa;
  return english;
}

const WhisperCard* whisperFace(const MtgFace& f, const WhisperCards* whisper) {
  return whisper ? whisper->find(englishFaceName(f)) : nullptr;
}

// "creature" of a rules text's "Enchant creature" line, without reminder text.
QString enchantTarget(const QString& rulesText) {
  for (QStringView line : QStringView(rulesText).split(u'\n')) {
    if (!line.startsWith(u"Enchant ")) continue;
    QStringView target = line.mid(8);
    const qsizetype reminder = target.indexOf(u'(');
    if (reminder >= 0) target = target.left(reminder);
    return target.trimmed().toString();
  }
  return {};
}

// Digits first, then the whole number: 1, 1a, 2, …, 10, S1, 119s after 119.
std::pair<int, QString> numberKey(const QString& number) {
  QString digits;
  for (QChar c : number)
    if (c.isDigit()) digits += c;
  bool ok = false;
  const int n = digits.left(9).toInt(&ok);
  return {ok ? n : INT_MAX, number};
}

std::pair<CardInput, CardExtras> cardInput(const QString& setCode, const std::vector<const MtgFace*>& faces,
                                           const JapaneseNameOwners& owners, ImportContext& context) {
  const MtgFace& front = *faces.front();
  const bool multiFace = faces.size() > 1;
  const bool eitherHalf = castAsEitherHalf(front);
  const WhisperCards* whisper = context.whisper;
  CardInput in;
  in.set = setCode;
  in.nameE = front.name;

  QStringList namesJa, textsJa, costs;
  QString colors;
  for (const MtgFace* f : faces) {
    namesJa << japaneseName(*f, multiFace, whisper, owners);
    // MTGJSON holds the English text for a few cards' Japanese.
    QString textJa =
        hasJapanese(f->textJa) ? inWhisperNotation(f->textJa, &context.unknownSymbols) : QString();
    if (textJa.isEmpty())
      if (const WhisperCard* w = whisperFace(*f, whisper)) textJa = w->textJa;
    if (!textJa.isEmpty()) textsJa << textJa;
    if (f == &front || eitherHalf) {
      costs << compactManaCost(f->manaCost);
      colors += f->colors.join(QString());
    }
  }
  in.nameJa = namesJa.join(kFaceJoin);
  in.textJa = textsJa.join(kFaceJoin);
  in.textJa.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', QStringLiteral("\r\n"));
  in.colors = colors;
  in.cost = costs.join(kFaceJoin);
  if (in.cost == kFaceJoin) in.cost.clear();
  in.cmc = front.manaValue;
  in.rarity = front.rarity;
  // The printed type decides for the cards of the old sets ("Enchant Creature",
  // "Summon"); MTGJSON gives some multi-face cards the other face's printed
  // type, so theirs comes from the current one.
  if (!multiFace) in.printedType = front.originalType;
  in.oracleType = front.type;
  in.supertypes = front.supertypes.join(u' ');
  in.subtypes = front.subtypes.join(u' ');
  in.power = front.power;
  in.toughness = front.toughness;
  return {in, CardExtras{enchantTarget(front.text), front.loyalty}};
}

// Every face's Japanese type lines teach the type names: WHISPER's once per
// face, MTGJSON's printed ones once per printing.
void learnTypeNames(const std::vector<const MtgFace*>& faces, ImportContext& context) {
  for (const MtgFace* f : faces) {
    if (!f->typeJa.isEmpty()) context.typeNames.learn(TypeNames::Mtgjson, f->type, f->subtypes, f->typeJa);
    const WhisperCard* w = whisperFace(*f, context.whisper);
    if (!w || w->typeLineJa.isEmpty() || context.taughtByWhisper.contains(w)) continue;
    context.taughtByWhisper.insert(w);
    context.typeNames.learn(TypeNames::Whisper, f->type, f->subtypes, w->typeLineJa);
  }
}

// Each input field is bounded as it is read; faces joined, or a loyalty line
// added, may pass what the engine takes, which would fail the write unnamed.
void checkValueSizes(const CardRow& row) {
  for (const auto& [name, value] :
       {std::pair{"NameN", &row.nameN}, {"TextN", &row.textN}, {"CType", &row.ctype}})
    if (value->toString().toUtf8().size() > tv::kMaxValueBytes)
      throw MappingError(
          QStringLiteral("%1 longer than %2 KiB").arg(QLatin1String(name)).arg(tv::kMaxValueBytes >> 10));
}

QString setWhere(const ImportOptions& o, const QString& code) {
  return QStringLiteral("%1: %2").arg(o.mtgjson, shown(code));
}

}  // namespace

QStringList ImportOptions::defaultSetTypes() {
  return {QStringLiteral("core"), QStringLiteral("expansion"), QStringLiteral("masters"),
          QStringLiteral("draft_innovation"), QStringLiteral("commander")};
}

QString compactManaCost(QStringView manaCost) {
  QString out;
  qsizetype i = 0;
  while (i < manaCost.size()) {
    const qsizetype open = manaCost.indexOf(u'{', i);
    if (open < 0) break;
    const qsizetype close = manaCost.indexOf(u'}', open);
    if (close < 0) break;
    const QStringView symbol = manaCost.mid(open + 1, close - open - 1);
    const bool number =
        !symbol.isEmpty() && std::all_of(symbol.begin(), symbol.end(), [](QChar c) { return c.isDigit(); });
    out += symbol.size() == 1 || number ? symbol.toString() : u'(' + symbol.toString() + u')';
    i = close + 1;
  }
  return out;
}

std::vector<ImportedCard> mapMtgSet(const MtgSet& set, ImportContext& context) {
  const WhisperCards* whisper = context.whisper;
  QHash<QString, const MtgFace*> byUuid;
  JapaneseNameOwners owners;
  for (const MtgFace& f : set.cards) {
    if (!f.uuid.isEmpty()) byUuid.insert(f.uuid, &f);
    if (const WhisperCard* w = whisperFace(f, whisper); w && !w->nameJa.isEmpty())
      owners.insert(w->nameJa, WhisperCards::key(englishFaceName(f)));
  }

  std::vector<std::pair<std::pair<int, QString>, const MtgFace*>> printings;
  for (const MtgFace& f : set.cards) {
    if (!f.side.isEmpty() && f.side != u"a") continue;  // a later face of a card read with its front
    const QString reason = f.onlineOnly     ? QStringLiteral("online only")
                           : f.funny        ? QStringLiteral("joke cards")
                           : !isDeckCard(f) ? QStringLiteral("type ") + f.types.join(u' ')
                                            : QString();
    if (!reason.isEmpty()) {
      ++context.leftOut[reason];
      continue;
    }
    printings.push_back({numberKey(f.number), &f});
  }
  std::stable_sort(printings.begin(), printings.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });

  // One card per English name, the first printing; the card master's key
  // compares without regard to case, so this does too.
  std::vector<ImportedCard> cards;
  QSet<QString> seen;
  for (const auto& [number, printing] : printings) {
    const MtgFace& f = *printing;
    if (seen.contains(f.name.toLower())) continue;
    seen.insert(f.name.toLower());
    std::vector<const MtgFace*> faces{&f};
    for (const QString& id : f.otherFaceIds)
      if (const MtgFace* other = byUuid.value(id); other && other != &f) faces.push_back(other);
    std::stable_sort(faces.begin() + 1, faces.end(),
                     [](const MtgFace* a, const MtgFace* b) { return a->side < b->side; });
    try {
      const auto [in, extras] = cardInput(set.code, faces, owners, context);
      cards.push_back({mapCard(in, extras), f.subtypes, oracleCard(faces, castAsEitherHalf(f))});
      checkValueSizes(cards.back().row);
    } catch (const MappingError& e) {
      throw BuildError(QStringLiteral("%1 #%2 (%3): %4")
                           .arg(shown(set.code), shown(f.number), shown(f.name),
                                shown(QString::fromStdString(e.what()), 200)));
    }
    learnTypeNames(faces, context);
  }
  return cards;
}

ImportSummary importCardDatabase(const ImportOptions& o) {
  checkOutput(o.output, {o.mtgjson, o.whisper, o.sets, o.tokens});
  if (o.mtgjson.isEmpty()) throw BuildError(QStringLiteral("no MTGJSON file given"));

  // All input is read and checked before anything is written.
  const SetTable classic = o.sets.isEmpty() ? SetTable() : readSets(o.sets);
  QHash<QString, const SetInput*> classicOf;
  for (const SetInput& s : classic.sets) classicOf.insert(s.set, &s);
  const WhisperCards whisper = o.whisper.isEmpty() ? WhisperCards() : WhisperCards::read(o.whisper);
  const std::vector<TokenRow> tokens = o.tokens.isEmpty() ? std::vector<TokenRow>() : readTokens(o.tokens);

  ImportSummary summary;
  ImportContext context;
  context.whisper = o.whisper.isEmpty() ? nullptr : &whisper;
  SetTable sets;
  // The cards' rows and their English subtypes; their facts go to `oracle` as each set is read.
  std::vector<CardRow> cards;
  std::vector<QStringList> subtypesOf;
  std::vector<SetInfo> setInfos;
  OracleCards oracle;
  QHash<QString, QString> setOfCode;  // expansion code in upper case -> MTGJSON set
  const QSet<QString> only(o.only.begin(), o.only.end());
  QSet<QString> found;
  ImportProgress progress;
  const auto report = [&](qint64 read, qint64 total) {
    ++progress.setsRead;
    progress.sets = int(sets.sets.size());
    progress.cards = int(cards.size());
    progress.bytesRead = read;
    progress.bytesTotal = total;
    if (o.progress) o.progress(progress);
  };
  readAllPrintings(
      o.mtgjson, [&](const QString& code) { return only.isEmpty() || only.contains(code); },
      [&](MtgSet&& set) {
        found.insert(set.code);
        if ((!only.isEmpty() && !only.contains(set.code)) || !o.setTypes.contains(set.type) || set.onlineOnly)
          return;
        const QString at = setWhere(o, set.code);
        if (set.cards.empty()) throw BuildError(at + QStringLiteral(": set without cards"));
        if (!QDate::fromString(set.releaseDate, Qt::ISODate).isValid())
          throw BuildError(
              at +
              QStringLiteral(": release date '%1' is not a date (YYYY-MM-DD)").arg(shown(set.releaseDate)));
        std::vector<ImportedCard> rows;
        try {
          rows = mapMtgSet(set, context);
        } catch (const BuildError& e) {
          throw BuildError(o.mtgjson + QStringLiteral(": ") + e.message());
        }
        if (rows.empty()) {  // only cards no deck holds: nothing to list
          ++context.leftOut[QStringLiteral("sets of no deck cards")];
          return;
        }
        SetInput s;
        s.set = set.code;
        s.releaseDate = set.releaseDate;
        if (const SetInput* c = classicOf.value(set.code)) {
          s.code = c->code;
          s.nameJa = c->nameJa;
        } else {
          s.code = set.code;
          s.nameJa = set.nameJa.isEmpty() ? set.name : set.nameJa;
        }
        if (s.nameJa.isEmpty()) s.nameJa = set.code;
        const QString key = s.code.toUpper();
        if (setOfCode.contains(key))
          throw BuildError(at + QStringLiteral(": expansion code %1 is already used by %2")
                                    .arg(shown(s.code), shown(setOfCode[key])));
        setOfCode.insert(key, set.code);
        setInfos.push_back({s.code, set.code, set.name, set.releaseDate, set.type});
        for (ImportedCard& c : rows) {
          oracle.add(std::move(c.oracle), set.releaseDate);
          cards.push_back(std::move(c.row));
          subtypesOf.push_back(std::move(c.subtypes));
        }
        sets.codeOfSet.insert(s.set, s.code);
        sets.sets.push_back(std::move(s));
      },
      report);
  for (const QString& code : o.only)
    if (!found.contains(code)) throw BuildError(QStringLiteral("%1: no set %2").arg(o.mtgjson, shown(code)));
  if (sets.sets.empty())
    throw BuildError(
        QStringLiteral("%1: no deck cards in sets of the types %2").arg(o.mtgjson, o.setTypes.join(u',')));
  sets.sets = newestFirst(std::move(sets.sets));

  // Every set read, the type names are known: each creature gets its types
  // in Japanese, and each name its Japanese type line.
  context.typeNames.finish();
  QSet<QString> untranslated;
  Readings readings;
  std::vector<CreatureTypeRow> creatureTypes;
  QSet<QString> listedTypes;
  for (size_t i = 0; i < cards.size(); ++i) {
    CardRow& row = cards[i];
    const QStringList& subtypes = subtypesOf[i];
    if (const QString type = row.cardType.toString(); type == u"C" || type == u"AC") {
      row.ctype =
          subtypes.isEmpty() ? QVariant() : QVariant(context.typeNames.subtypes(subtypes, &untranslated));
      for (const QString& e : subtypes) {
        if (listedTypes.contains(e)) continue;
        listedTypes.insert(e);
        const QString ja = context.typeNames.subtype(e);
        creatureTypes.push_back({e, ja.isEmpty() ? e : ja, readings.of(ja.isEmpty() ? e : ja)});
      }
    }
  }
  for (OracleCard& c : oracle.cards()) {
    QStringList lines;
    for (const auto& [typeLine, subtypes] : c.faceTypes)
      lines << context.typeNames.typeLine(typeLine, subtypes);
    if (!lines.contains(QString())) c.typeLineJa = lines.join(QStringLiteral(" // "));
  }

  if (o.progress) {
    progress.writing = true;
    o.progress(progress);
  }
  writeCardDatabase(o.output, sets, cards, tokens, o.repeat,
                    [&](tv::Database& db) { writeCardFacts(db, oracle.cards(), setInfos, creatureTypes); });
  summary.sets = int(sets.sets.size()) * o.repeat;
  summary.cards = int(cards.size()) * o.repeat;
  summary.tokens = int(tokens.size());
  summary.leftOut = context.leftOut;
  summary.unknownSymbols = QStringList(context.unknownSymbols.begin(), context.unknownSymbols.end());
  summary.unknownSymbols.sort();
  summary.untranslatedTypes = QStringList(untranslated.begin(), untranslated.end());
  summary.untranslatedTypes.sort();
  summary.creatureTypes = int(creatureTypes.size());
  summary.readings = readings.available();
  return summary;
}

}  // namespace tvtools
