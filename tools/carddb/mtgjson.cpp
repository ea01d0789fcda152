#include "carddb/mtgjson.h"

#include <QRegularExpression>
#include <QSet>
#include <map>
#include <nlohmann/json.hpp>

#include "carddb/decompress.h"
#include "carddb/error.h"
#include "carddb/jsoninput.h"

namespace tvtools {
namespace {

using nlohmann::json;

// Depths as the parser's callback counts them: the root object is 0, "data" 1,
// a set 2, its "cards" 3, a card 4 and a card's fields 5.
constexpr int kSetDepth = 2, kSetFieldDepth = 3, kCardDepth = 4, kCardFieldDepth = 5;

const QSet<QString>& setFields() {
  static const QSet<QString> fields{QStringLiteral("cards"),       QStringLiteral("code"),
                                    QStringLiteral("name"),        QStringLiteral("releaseDate"),
                                    QStringLiteral("type"),        QStringLiteral("isOnlineOnly"),
                                    QStringLiteral("translations")};
  return fields;
}

// The card fields a deck builder uses; everything else (rulings, prices,
// identifiers) is dropped as it is read.
const QSet<QString>& cardFields() {
  static const QSet<QString> fields{
      QStringLiteral("name"),         QStringLiteral("faceName"),    QStringLiteral("side"),
      QStringLiteral("layout"),       QStringLiteral("number"),      QStringLiteral("uuid"),
      QStringLiteral("otherFaceIds"), QStringLiteral("colors"),      QStringLiteral("types"),
      QStringLiteral("supertypes"),   QStringLiteral("subtypes"),    QStringLiteral("manaCost"),
      QStringLiteral("manaValue"),    QStringLiteral("rarity"),      QStringLiteral("type"),
      QStringLiteral("originalType"), QStringLiteral("power"),       QStringLiteral("toughness"),
      QStringLiteral("loyalty"),      QStringLiteral("text"),        QStringLiteral("isOnlineOnly"),
      QStringLiteral("isFunny"),      QStringLiteral("foreignData"), QStringLiteral("colorIdentity"),
      QStringLiteral("legalities")};
  return fields;
}

// Cards of one set and of the whole file: many times what MTGJSON holds.
constexpr size_t kMaxCardsPerSet = 100'000, kMaxCards = 2'000'000;
// Names are short; a longer one is no card's.
constexpr qsizetype kMaxNameLength = 1000;

class Reader {
 public:
  Reader(const QString& path, JsonInput& input, const std::function<bool(const QString&)>& wantsCards,
         const std::function<void(MtgSet&&)>& onSet)
      : path_(path), input_(input), wantsCards_(wantsCards), onSet_(onSet) {}

  bool callback(int depth, json::parse_event_t event, json& parsed) {
    using E = json::parse_event_t;
    if (event == E::key) {
      if (depth > discardFrom_) return true;  // inside a value thrown away
      const bool keep = keepKey(depth, QString::fromStdString(parsed.get<std::string>()));
      discardFrom_ = keep ? INT_MAX : depth;
      input_.discardFrom(discardFrom_);
      return keep;
    }
    if ((event == E::object_end || event == E::array_end) && depth < discardFrom_) {
      discardFrom_ = INT_MAX;
      input_.discardFrom(discardFrom_);
    }
    if (event == E::object_start && depth == kCardDepth && inCards()) {
      input_.startItem();
      ++cardIndex_;
      cardNumber_.clear();
      cardField_.clear();
    }
    if (event == E::value && depth == kCardFieldDepth && inCards() && cardField_ == u"number" &&
        parsed.is_string())
      cardNumber_ = QString::fromStdString(parsed.get<std::string>());
    if (event == E::object_end && depth == kCardDepth && inCards()) {
      if (faces_.size() >= kMaxCardsPerSet || ++cards_ > kMaxCards)
        throw BuildError(
            QStringLiteral("%1: %2: more cards than AllPrintings holds").arg(path_, shown(setKey_)));
      faces_.push_back(face(parsed));
      cardField_.clear();
      return false;
    }
    if (event == E::object_end && depth == kSetDepth && inData_) {
      onSet_(set(parsed));
      return false;
    }
    return true;
  }

  // The set, card and field being read, for a refusal of the input.
  QString place(const JsonInput::Refused& refused) const {
    QString at = path_;
    if (setKey_.isEmpty())
      return at + QStringLiteral(": line %1, column %2").arg(refused.line).arg(refused.column);
    at += QStringLiteral(": ") + shown(setKey_);
    if (inCards() && cardIndex_ > 0) {
      at += cardNumber_.isEmpty() ? QStringLiteral(", card %1").arg(cardIndex_)
                                  : QStringLiteral(" #") + shown(cardNumber_);
      if (!cardField_.isEmpty()) at += QStringLiteral(": ") + shown(cardField_);
    } else if (!setField_.isEmpty()) {
      at += QStringLiteral(": ") + shown(setField_);
    }
    return at;
  }

 private:
  bool keepKey(int depth, const QString& key) {
    if (depth == 1) {
      inData_ = key == u"data";
      return inData_;  // the meta data is not read
    }
    if (depth == kSetDepth && inData_) {
      setKey_ = key;
      setField_.clear();
      cardIndex_ = 0;
      faces_.clear();
      input_.startItem(true);
    } else if (depth == kSetFieldDepth && inData_) {
      setField_ = key;
      return setFields().contains(key) && (key != u"cards" || wantsCards_(setKey_));
    } else if (depth == kCardFieldDepth && inCards()) {
      cardField_ = key;
      return cardFields().contains(key);
    }
    return true;
  }

  bool inCards() const { return inData_ && setField_ == u"cards"; }

  QString where(const json& card) const {
    const QString number = card.is_object() && card.contains("number") && card["number"].is_string()
                               ? QString::fromStdString(card["number"].get<std::string>())
                               : QStringLiteral("?");
    return QStringLiteral("%1: %2 #%3").arg(path_, shown(setKey_), shown(number));
  }

  QString text(const json& object, const char* key, const QString& where) const {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return {};
    if (it->is_string()) return checked(QString::fromStdString(it->get<std::string>()), key, where);
    if (it->is_number()) return QString::number(it->get<double>());
    throw BuildError(QStringLiteral("%1: %2 is not text").arg(where, QString::fromLatin1(key)));
  }

  // A NUL would end the text in the database; a name of thousands of characters is no card's.
  static QString checked(const QString& value, const char* key, const QString& where) {
    if (value.contains(QChar(u'\0')))
      throw BuildError(QStringLiteral("%1: %2 holds a NUL character").arg(where, QString::fromLatin1(key)));
    if (value.size() > kMaxNameLength && (qstrcmp(key, "name") == 0 || qstrcmp(key, "faceName") == 0))
      throw BuildError(QStringLiteral("%1: %2 longer than %3 characters")
                           .arg(where, QString::fromLatin1(key))
                           .arg(kMaxNameLength));
    return value;
  }

  QStringList list(const json& object, const char* key, const QString& where) const {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return {};
    if (!it->is_array())
      throw BuildError(QStringLiteral("%1: %2 is not a list").arg(where, QString::fromLatin1(key)));
    QStringList out;
    for (const json& v : *it) {
      if (!v.is_string())
        throw BuildError(
            QStringLiteral("%1: %2 holds a value that is not text").arg(where, QString::fromLatin1(key)));
      out << checked(QString::fromStdString(v.get<std::string>()), key, where);
    }
    return out;
  }

  // Formats and legalities repeat on every card: one string each.
  const QString& shared(const std::string& utf8) const {
    auto it = shared_.find(utf8);
    if (it == shared_.end()) it = shared_.emplace(utf8, QString::fromStdString(utf8)).first;
    return it->second;
  }

  bool flag(const json& object, const char* key) const {
    const auto it = object.find(key);
    return it != object.end() && it->is_boolean() && it->get<bool>();
  }

  MtgFace face(const json& card) const {
    const QString at = where(card);
    if (!card.is_object()) throw BuildError(at + QStringLiteral(": a card is not an object"));
    MtgFace f;
    f.name = text(card, "name", at).trimmed();
    if (f.name.isEmpty()) throw BuildError(at + QStringLiteral(": card without a name"));
    f.faceName = text(card, "faceName", at).trimmed();
    f.side = text(card, "side", at);
    f.layout = text(card, "layout", at);
    f.number = text(card, "number", at);
    f.uuid = text(card, "uuid", at);
    f.otherFaceIds = list(card, "otherFaceIds", at);
    f.colors = list(card, "colors", at);
    f.colorIdentity = list(card, "colorIdentity", at);
    f.types = list(card, "types", at);
    f.supertypes = list(card, "supertypes", at);
    f.subtypes = list(card, "subtypes", at);
    f.manaCost = text(card, "manaCost", at);
    f.manaValue = text(card, "manaValue", at);
    f.rarity = text(card, "rarity", at);
    f.type = text(card, "type", at);
    f.originalType = text(card, "originalType", at);
    f.power = text(card, "power", at);
    f.toughness = text(card, "toughness", at);
    f.loyalty = text(card, "loyalty", at);
    f.text = text(card, "text", at);
    f.onlineOnly = flag(card, "isOnlineOnly");
    f.funny = flag(card, "isFunny");
    if (const auto legal = card.find("legalities"); legal != card.end() && !legal->is_null()) {
      if (!legal->is_object()) throw BuildError(at + QStringLiteral(": legalities is not an object"));
      for (auto it = legal->begin(); it != legal->end(); ++it) {
        if (!it->is_string()) throw BuildError(at + QStringLiteral(": a legality is not text"));
        f.legalities.emplace_back(shared(it.key()), shared(it->get_ref<const std::string&>()));
      }
    }
    const auto foreign = card.find("foreignData");
    if (foreign != card.end() && foreign->is_array()) {
      for (const json& entry : *foreign) {
        if (!entry.is_object() || text(entry, "language", at) != u"Japanese") continue;
        f.nameJa = text(entry, "name", at).trimmed();
        f.faceNameJa = text(entry, "faceName", at).trimmed();
        f.typeJa = text(entry, "type", at).trimmed();
        f.textJa = text(entry, "text", at).trimmed();
        break;
      }
    }
    return f;
  }

  MtgSet set(const json& s) {
    const QString at = QStringLiteral("%1: %2").arg(path_, shown(setKey_));
    if (!s.is_object()) throw BuildError(at + QStringLiteral(": a set is not an object"));
    MtgSet out;
    out.code = text(s, "code", at).trimmed();
    if (out.code.isEmpty()) out.code = setKey_;
    out.name = text(s, "name", at).trimmed();
    out.releaseDate = text(s, "releaseDate", at).trimmed();
    out.type = text(s, "type", at).trimmed();
    out.onlineOnly = flag(s, "isOnlineOnly");
    const auto translations = s.find("translations");
    if (translations != s.end() && translations->is_object())
      out.nameJa = text(*translations, "Japanese", at).trimmed();
    out.cards = std::move(faces_);
    faces_.clear();
    return out;
  }

  QString path_;
  JsonInput& input_;
  const std::function<bool(const QString&)>& wantsCards_;
  const std::function<void(MtgSet&&)>& onSet_;
  bool inData_ = false;
  QString setKey_, setField_;
  std::vector<MtgFace> faces_;
  mutable std::map<std::string, QString, std::less<>> shared_;
  size_t cards_ = 0;
  int discardFrom_ = INT_MAX;  // the depth of a key whose value is thrown away
  // The card being read: its place in the list, its number once read, the field.
  int cardIndex_ = 0;
  QString cardNumber_, cardField_;
};

}  // namespace

void readAllPrintings(const QString& path, const std::function<bool(const QString&)>& wantsCards,
                      const std::function<void(MtgSet&&)>& onSet,
                      const std::function<void(qint64 read, qint64 total)>& onRead) {
  DecompressingReader reader(path);
  JsonInput in(reader);
  const std::function<void(MtgSet &&)> onSetRead = [&](MtgSet&& set) {
    onSet(std::move(set));
    if (onRead) onRead(reader.bytesRead(), reader.bytesTotal());
  };
  Reader r(path, in, wantsCards, onSetRead);
  try {
    // What is left once every set is handed over: an empty "data".
    const json rest = json::parse(
        in.begin(), JsonInput::end(),
        [&](int depth, json::parse_event_t event, json& parsed) { return r.callback(depth, event, parsed); });
    if (!rest.is_object() || !rest.contains("data") || !rest["data"].is_object())
      throw BuildError(path + QStringLiteral(": not an MTGJSON AllPrintings file: no \"data\" object"));
  } catch (const JsonInput::Refused& e) {
    throw BuildError(r.place(e) + QStringLiteral(": ") + e.what);
  } catch (const json::exception& e) {
    // The parser counts what it was handed, runs of blanks as one: the place is the file's.
    static const QRegularExpression parserPlace(QStringLiteral("at line \\d+, column \\d+"));
    const QString message = QString::fromUtf8(e.what()).replace(
        parserPlace, QStringLiteral("at line %1, column %2").arg(in.line()).arg(in.column()));
    throw BuildError(
        QStringLiteral("%1: not an MTGJSON AllPrintings file: %2").arg(path, shown(message, 200)));
  }
}

}  // namespace tvtools
