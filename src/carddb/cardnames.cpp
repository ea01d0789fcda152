#include "carddb/cardnames.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

#include "carddb/codes.h"
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
  CardNames& n = *names;
  auto rs = db.openRecordset(
      QStringLiteral("SELECT tbl_CardMst.CardSetEx, tbl_CardMst.NameE, tbl_CardMst.NameN, "
                     "tbl_CardMst.CardType, tbl_CardSet.CardsetNo FROM tbl_CardMst LEFT JOIN tbl_CardSet"
                     " ON tbl_CardMst.CardSetEx = tbl_CardSet.CardsetEx"),
      RecordsetType::Snapshot, dbForwardOnly);
  // A name is decoded, folded and indexed when first seen; later rows only look it up.
  QHash<QString, int> cardOfKey;  // NameE compares without regard to ASCII case in the card master
  std::vector<int> cardOfEnglish;
  std::unordered_set<quint64> indexedJapanese;  // (card, Japanese name)
  std::unordered_set<quint64> pairs;            // (English name, Japanese name) met on one row
  auto view = [](QByteArrayView v) { return std::string_view(v.data(), size_t(v.size())); };
  for (; !rs.eof(); rs.moveNext()) {
    const QByteArrayView nameE = rs.utf8(u"NameE");
    int e = n.englishId(view(nameE));
    if (e < 0) {
      const QString text = QString::fromUtf8(nameE);
      e = n.addName(n.englishTexts_, n.englishIds_, n.englishNames_, n.englishFolded_, text);
      const auto it = cardOfKey.constFind(text.toLower());
      const int card = it != cardOfKey.cend() ? *it : int(n.cards_.size());
      if (card == int(n.cards_.size())) {
        cardOfKey.insert(text.toLower(), card);
        n.cards_.push_back({text, {}});
      }
      cardOfEnglish.push_back(card);
      n.index(n.englishFolded_[e], text, card, n.byEnglish_);
    }
    const int card = cardOfEnglish[size_t(e)];

    const QByteArrayView nameN = rs.utf8(u"NameN");
    if (!nameN.isEmpty()) {
      int j = n.japaneseId(view(nameN));
      if (j < 0)
        j = n.addName(n.japaneseTexts_, n.japaneseIds_, n.japaneseNames_, n.japaneseFolded_,
                      QString::fromUtf8(nameN));
      if (indexedJapanese.insert(quint64(card) << 32 | quint32(j)).second)
        n.index(n.japaneseFolded_[j], n.japaneseNames_[j], card, n.byJapanese_);
      if (size_t(j) >= n.englishOfJapanese_.size()) n.englishOfJapanese_.resize(size_t(j) + 1);
      if (pairs.insert(quint64(e) << 32 | quint32(j)).second) n.englishOfJapanese_[size_t(j)].push_back(e);
    }

    Printing p;
    p.CardSetEx = rs.text(u"CardSetEx");
    p.NameE = n.englishNames_[e];
    const QVariant no = rs.field(u"CardsetNo");
    p.CardsetNo = no.isValid() ? no.toLongLong() : std::numeric_limits<qint64>::max();
    p.basicLand = QAnyStringView::equal(QUtf8StringView(rs.utf8(u"CardType")), kBasicLand);
    n.cards_[size_t(card)].printings.push_back(std::move(p));
  }
  for (Card& card : n.cards_)
    std::stable_sort(card.printings.begin(), card.printings.end(),
                     [](const Printing& a, const Printing& b) { return a.CardsetNo < b.CardsetNo; });
  return names;
}

int CardNames::addName(std::vector<QByteArray>& texts, Ids& ids, QStringList& shown, QStringList& folded,
                       const QString& name) {
  QByteArray utf8 = name.toUtf8();
  const int id = int(texts.size());
  texts.push_back(std::move(utf8));  // the heap text stays where it is when the vector grows
  ids.emplace(std::string_view(texts.back().constData(), size_t(texts.back().size())), id);
  shown << name;
  folded << foldName(name);
  return id;
}

void CardNames::index(const QString& folded, const QString& name, int card,
                      QHash<QString, QList<int>>& byFold) {
  auto add = [card](QList<int>& cards) {
    if (!cards.contains(card)) cards << card;
  };
  add(byFold[folded]);
  longestKey_ = qMax(longestKey_, folded.size());
  for (const QString& half : splitHalves(name)) {
    const QString key = foldName(half);
    add(byHalf_[key]);
    longestKey_ = qMax(longestKey_, key.size());
  }
}

std::vector<char> CardNames::hits(const QStringList& folded, QStringView text) {
  std::vector<char> out(size_t(folded.size()));
  for (qsizetype i = 0; i < folded.size(); ++i) out[size_t(i)] = folded[i].contains(text);
  return out;
}

CardNames::Lookup CardNames::find(QStringView name) const {
  // Longer than every name and half: no card's.
  const QString folded = foldName(name.trimmed(), longestKey_);
  if (folded.isEmpty() || folded.size() > longestKey_) return {};
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
