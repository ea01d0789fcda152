#include "carddb/cardnames.h"

#include <algorithm>
#include <limits>

#include "text/fold.h"

namespace tv {
namespace {

// The halves of a split card's name, "Fire // Ice" or "火 // 氷"; none for other names.
QStringList splitHalves(const QString& name) {
  if (!name.contains(u"//")) return {};
  QStringList halves;
  for (const QString& half : name.split(QStringLiteral("//")))
    if (!half.trimmed().isEmpty()) halves << half.trimmed();
  return halves.size() > 1 ? halves : QStringList();
}

}  // namespace

std::shared_ptr<const CardNames> CardNames::load(Database& db) {
  auto names = std::make_shared<CardNames>();
  QHash<QString, int> cardOfName;  // English name, in the card master's letter case rule
  auto rs = db.openRecordset(
      QStringLiteral("SELECT tbl_CardMst.CardSetEx, tbl_CardMst.NameE, tbl_CardMst.NameN, "
                     "tbl_CardMst.CardType, tbl_CardSet.CardsetNo FROM tbl_CardMst LEFT JOIN tbl_CardSet"
                     " ON tbl_CardMst.CardSetEx = tbl_CardSet.CardsetEx"),
      RecordsetType::Snapshot, dbForwardOnly);
  for (; !rs.eof(); rs.moveNext()) {
    Printing p;
    p.CardSetEx = rs.text(u"CardSetEx");
    p.NameE = rs.text(u"NameE");
    p.CardType = rs.text(u"CardType");
    const QVariant no = rs.field(u"CardsetNo");
    p.CardsetNo = no.isValid() ? no.toLongLong() : std::numeric_limits<qint64>::max();
    const QString nameN = rs.text(u"NameN");

    // NameE compares without regard to ASCII case in the card master.
    const QString key = p.NameE.toLower();
    auto it = cardOfName.find(key);
    if (it == cardOfName.end()) {
      it = cardOfName.insert(key, int(names->cards_.size()));
      names->cards_.push_back({p.NameE, {}});
    }
    const int card = *it;
    // Each distinct name is folded once; rows only look their name up.
    const int e = names->addName(names->englishTexts_, names->englishIds_, names->englishFolded_, p.NameE);
    names->index(names->englishFolded_[e], p.NameE, card, names->byEnglish_);
    if (!nameN.isEmpty()) {
      const int j = names->addName(names->japaneseTexts_, names->japaneseIds_, names->japaneseFolded_, nameN);
      names->index(names->japaneseFolded_[j], nameN, card, names->byJapanese_);
    }
    names->cards_[size_t(card)].printings.push_back(std::move(p));
  }
  for (Card& card : names->cards_)
    std::stable_sort(card.printings.begin(), card.printings.end(),
                     [](const Printing& a, const Printing& b) { return a.CardsetNo < b.CardsetNo; });
  return names;
}

int CardNames::addName(std::vector<QByteArray>& texts, Ids& ids, QStringList& folded, const QString& name) {
  QByteArray utf8 = name.toUtf8();
  const auto found = ids.find(std::string_view(utf8.constData(), size_t(utf8.size())));
  if (found != ids.end()) return found->second;
  const int id = int(texts.size());
  texts.push_back(std::move(utf8));  // the heap text stays where it is when the vector grows
  ids.emplace(std::string_view(texts.back().constData(), size_t(texts.back().size())), id);
  folded << foldName(name);
  return id;
}

void CardNames::index(const QString& folded, const QString& name, int card,
                      QHash<QString, QList<int>>& byFold) {
  auto add = [card](QList<int>& cards) {
    if (!cards.contains(card)) cards << card;
  };
  add(byFold[folded]);
  for (const QString& half : splitHalves(name)) add(byHalf_[foldName(half)]);
}

std::vector<char> CardNames::hits(const QStringList& folded, QStringView text) {
  std::vector<char> out(size_t(folded.size()));
  for (qsizetype i = 0; i < folded.size(); ++i) out[size_t(i)] = folded[i].contains(text);
  return out;
}

CardNames::Lookup CardNames::find(QStringView name) const {
  const QString folded = foldName(name.trimmed());
  if (folded.isEmpty()) return {};
  // "A/B" as some sites write split cards; a name with "/" of its own is found first as it stands.
  QString asSplit = folded;
  if (!folded.contains(u"//")) asSplit.replace(u'/', QStringLiteral("//"));

  for (const QString& key : {folded, asSplit}) {
    // An English name decides before a Japanese one, a whole name before a half.
    for (const auto* byFold : {&byEnglish_, &byJapanese_, &byHalf_}) {
      const auto it = byFold->constFind(key);
      if (it == byFold->cend()) continue;
      Lookup out;
      if (it->size() == 1) {
        out.card = &cards_[size_t(it->front())];
      } else {
        for (int c : *it) out.candidates << cards_[size_t(c)].NameE;
        out.candidates.sort(Qt::CaseInsensitive);
      }
      return out;
    }
  }
  return {};
}

}  // namespace tv
