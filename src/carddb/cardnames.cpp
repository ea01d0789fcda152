#include "carddb/cardnames.h"

#include <algorithm>
#include <limits>
#include <numeric>
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

// One of many parts laid end to end, by their starts.
template <typename Whole>
auto part(const Whole& whole, const std::vector<qsizetype>& starts, int id) {
  const qsizetype start = starts[size_t(id)];
  const qsizetype end = size_t(id) + 1 < starts.size() ? starts[size_t(id) + 1] : whole.size();
  return std::pair{start, end - start};
}

}  // namespace

// What only the reading needs: the names' ids by text, the cards' keys, the
// pairs of names met on one row.
class CardNames::Reader {
 public:
  explicit Reader(CardNames& n) : n_(n) {}

  void row(QByteArrayView setEx, QByteArrayView nameE, QByteArrayView nameN, qint64 setNo, bool basicLand) {
    // A name is decoded, folded and indexed when first seen; later rows only look it up.
    int e = idOf(englishIds_, nameE);
    if (e < 0) {
      const QString text = QString::fromUtf8(nameE);
      e = add(n_.english_, englishIds_, nameE, text);
      englishShown_.push_back(text);
      // NameE compares without regard to ASCII case in the card master.
      const QString key = text.toLower();
      auto it = cardOfKey_.constFind(key);
      if (it == cardOfKey_.cend()) {
        it = cardOfKey_.insert(key, int(n_.cards_.size()));
        n_.cards_.push_back({text, {}});
        japaneseOfCard_.emplace_back();
      }
      n_.cardOfEnglish_.push_back(*it);
      japaneseOfEnglish_.emplace_back();
      addHalves(text, *it);
    }
    const int card = n_.cardOfEnglish_[size_t(e)];

    if (!nameN.isEmpty()) {
      int j = idOf(japaneseIds_, nameN);
      if (j < 0) {
        j = add(n_.japanese_, japaneseIds_, nameN, QString::fromUtf8(nameN));
        englishOfJapanese_.emplace_back();
      }
      if (addOnce(japaneseOfCard_[size_t(card)], j) && nameN.contains("//"))
        addHalves(QString::fromUtf8(nameN), card);
      if (addOnce(japaneseOfEnglish_[size_t(e)], j)) englishOfJapanese_[size_t(j)].push_back(e);
    }
    n_.cards_[size_t(card)].printings.push_back({code(setEx), englishShown_[size_t(e)], setNo, basicLand});
  }

  void finish() {
    for (Card& card : n_.cards_)
      std::stable_sort(card.printings.begin(), card.printings.end(),
                       [](const Printing& a, const Printing& b) { return a.CardsetNo < b.CardsetNo; });
    n_.english_.sort();
    n_.japanese_.sort();
    n_.englishOfJapaneseStarts_.push_back(0);
    for (const std::vector<int>& english : englishOfJapanese_) {
      n_.englishOfJapanese_.insert(n_.englishOfJapanese_.end(), english.begin(), english.end());
      n_.englishOfJapaneseStarts_.push_back(int(n_.englishOfJapanese_.size()));
    }
  }

 private:
  // The ids of one language's names, found by their text.
  struct ByText {
    using is_transparent = void;
    const Names* names;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    size_t operator()(int id) const { return (*this)(names->text(id)); }
    bool operator()(int a, int b) const { return a == b; }
    bool operator()(std::string_view text, int id) const { return text == names->text(id); }
    bool operator()(int id, std::string_view text) const { return text == names->text(id); }
  };
  using Ids = std::unordered_set<int, ByText, ByText>;
  static int idOf(const Ids& ids, QByteArrayView utf8) {
    const auto it = ids.find(std::string_view(utf8.data(), size_t(utf8.size())));
    return it == ids.end() ? -1 : *it;
  }
  int add(Names& names, Ids& ids, QByteArrayView utf8, const QString& text) {
    const int id = names.count();
    names.textStarts.push_back(names.utf8.size());
    names.utf8 += utf8;
    names.starts.push_back(names.folded.size());
    names.folded += foldName(text);
    n_.longestKey_ = qMax(n_.longestKey_, names.folded.size() - names.starts.back());
    ids.insert(id);
    return id;
  }
  static bool addOnce(std::vector<int>& ids, int id) {
    if (std::find(ids.begin(), ids.end(), id) != ids.end()) return false;
    ids.push_back(id);
    return true;
  }
  void addHalves(const QString& name, int card) {
    for (const QString& half : splitHalves(name)) {
      const QString key = foldName(half);
      QList<int>& cards = n_.byHalf_[key];
      if (!cards.contains(card)) cards << card;
      n_.longestKey_ = qMax(n_.longestKey_, key.size());
    }
  }
  // The expansion codes, one string each however many printings share it.
  QString code(QByteArrayView setEx) {
    if (setEx != lastCode_) {
      lastCode_ = setEx.toByteArray();
      auto it = codes_.constFind(lastCode_);
      if (it == codes_.cend()) it = codes_.insert(lastCode_, QString::fromUtf8(lastCode_));
      lastCodeText_ = *it;
    }
    return lastCodeText_;
  }

  CardNames& n_;
  Ids englishIds_{0, ByText{&n_.english_}, ByText{&n_.english_}};
  Ids japaneseIds_{0, ByText{&n_.japanese_}, ByText{&n_.japanese_}};
  std::vector<QString> englishShown_;
  QHash<QString, int> cardOfKey_;
  std::vector<std::vector<int>> japaneseOfCard_, japaneseOfEnglish_, englishOfJapanese_;
  QHash<QByteArray, QString> codes_;
  QByteArray lastCode_;
  QString lastCodeText_;
};

std::shared_ptr<const CardNames> CardNames::load(Database& db) {
  auto names = std::make_shared<CardNames>();
  Reader reader(*names);
  auto rs =
      db.openRecordset(QStringLiteral("SELECT tbl_CardMst.CardSetEx, tbl_CardMst.NameE, tbl_CardMst.NameN, "
                                      "tbl_CardMst.CardType, tbl_CardSet.CardsetNo FROM tbl_CardMst LEFT JOIN"
                                      " tbl_CardSet ON tbl_CardMst.CardSetEx = tbl_CardSet.CardsetEx"),
                       RecordsetType::Snapshot, dbForwardOnly);
  const int setEx = rs.column(u"CardSetEx"), nameE = rs.column(u"NameE"), nameN = rs.column(u"NameN"),
            cardType = rs.column(u"CardType"), setNo = rs.column(u"CardsetNo");
  for (; !rs.eof(); rs.moveNext()) {
    const Cell no = rs.cell(setNo);
    // An expansion missing from tbl_CardSet comes after every other.
    const qint64 number = no.kind == Cell::Integer ? no.integer
                          : no.kind == Cell::Null  ? std::numeric_limits<qint64>::max()
                                                   : rs.field(u"CardsetNo").toLongLong();
    const bool basicLand = QAnyStringView::equal(QUtf8StringView(rs.utf8(cardType)), kBasicLand);
    reader.row(rs.utf8(setEx), rs.utf8(nameE), rs.utf8(nameN), number, basicLand);
  }
  reader.finish();
  return names;
}

std::string_view CardNames::Names::text(int id) const {
  const auto [start, size] = part(utf8, textStarts, id);
  return std::string_view(utf8.constData() + start, size_t(size));
}

QStringView CardNames::Names::foldedAt(int id) const {
  const auto [start, size] = part(folded, starts, id);
  return QStringView(folded).mid(start, size);
}

void CardNames::Names::sort() {
  std::vector<std::string_view> byteTexts(static_cast<size_t>(count()));
  std::vector<QStringView> fold(static_cast<size_t>(count()));
  for (int id = 0; id < count(); ++id) {
    byteTexts[size_t(id)] = text(id);
    fold[size_t(id)] = foldedAt(id);
  }
  byText.resize(size_t(count()));
  std::iota(byText.begin(), byText.end(), 0);
  std::sort(byText.begin(), byText.end(),
            [&](int a, int b) { return byteTexts[size_t(a)] < byteTexts[size_t(b)]; });
  byFolded.resize(size_t(count()));
  std::iota(byFolded.begin(), byFolded.end(), 0);
  std::sort(byFolded.begin(), byFolded.end(),
            [&](int a, int b) { return fold[size_t(a)] < fold[size_t(b)]; });
}

int CardNames::Names::id(std::string_view utf8) const {
  const auto it = std::lower_bound(byText.begin(), byText.end(), utf8,
                                   [this](int id, std::string_view v) { return text(id) < v; });
  return it != byText.end() && text(*it) == utf8 ? *it : -1;
}

std::vector<int> CardNames::Names::withFolded(QStringView key) const {
  const auto first = std::lower_bound(byFolded.begin(), byFolded.end(), key,
                                      [this](int id, QStringView k) { return foldedAt(id) < k; });
  const auto last = std::upper_bound(first, byFolded.end(), key,
                                     [this](QStringView k, int id) { return k < foldedAt(id); });
  return {first, last};
}

std::vector<char> CardNames::Names::hits(QStringView text) const {
  std::vector<char> out(starts.size(), text.isEmpty());
  const QStringView all(folded);
  for (qsizetype from = 0, at; !text.isEmpty() && (at = all.indexOf(text, from)) >= 0;) {
    // The name the match begins in (the last of those beginning there: names before it are empty).
    const size_t id = size_t(std::upper_bound(starts.begin(), starts.end(), at) - starts.begin()) - 1;
    const qsizetype end = id + 1 < starts.size() ? starts[id + 1] : folded.size();
    if (at + text.size() <= end) {
      out[id] = 1;
      from = end;  // on to the next name
    } else {
      from = at + 1;  // a match across two names is none
    }
  }
  return out;
}

std::vector<int> CardNames::cardsOf(const QString& key, Kind kind) const {
  std::vector<int> cards;
  auto add = [&](int card) {
    if (std::find(cards.begin(), cards.end(), card) == cards.end()) cards.push_back(card);
  };
  switch (kind) {
    case Kind::English:
      for (const int e : english_.withFolded(key)) add(cardOfEnglish_[size_t(e)]);
      break;
    case Kind::Japanese:
      for (const int j : japanese_.withFolded(key))
        for (const int e : englishOfJapanese(j)) add(cardOfEnglish_[size_t(e)]);
      break;
    case Kind::Half:
      for (const int card : byHalf_.value(key)) add(card);
      break;
  }
  return cards;
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
    for (const Kind kind : {Kind::English, Kind::Japanese, Kind::Half}) {
      const std::vector<int> cards = cardsOf(key, kind);
      if (cards.empty()) continue;
      Lookup out;
      if (cards.size() == 1) {
        out.card = &cards_[size_t(cards.front())];
      } else {
        for (const int c : cards) out.candidates << cards_[size_t(c)].NameE;
        out.candidates.sort(Qt::CaseInsensitive);
      }
      return out;
    }
  }
  return {};
}

}  // namespace tv
