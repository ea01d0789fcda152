#include "carddb/mtgjson.h"

#include <QSet>
#include <istream>
#include <map>
#include <nlohmann/json.hpp>

#include "carddb/decompress.h"
#include "carddb/error.h"

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

class Reader {
 public:
  Reader(const QString& path, const std::function<bool(const QString&)>& wantsCards,
         const std::function<void(MtgSet&&)>& onSet)
      : path_(path), wantsCards_(wantsCards), onSet_(onSet) {}

  bool callback(int depth, json::parse_event_t event, json& parsed) {
    using E = json::parse_event_t;
    if (event == E::key) {
      const QString key = QString::fromStdString(parsed.get<std::string>());
      if (depth == 1) {
        inData_ = key == u"data";
      } else if (depth == kSetDepth && inData_) {
        setKey_ = key;
        faces_.clear();
      } else if (depth == kSetFieldDepth && inData_) {
        setField_ = key;
        return setFields().contains(key) && (key != u"cards" || wantsCards_(setKey_));
      } else if (depth == kCardFieldDepth && inCards()) {
        return cardFields().contains(key);
      }
      return true;
    }
    if (event == E::object_end && depth == kCardDepth && inCards()) {
      faces_.push_back(face(parsed));
      return false;
    }
    if (event == E::object_end && depth == kSetDepth && inData_) {
      onSet_(set(parsed));
      return false;
    }
    return true;
  }

 private:
  bool inCards() const { return inData_ && setField_ == u"cards"; }

  QString where(const json& card) const {
    const QString number = card.is_object() && card.contains("number") && card["number"].is_string()
                               ? QString::fromStdString(card["number"].get<std::string>())
                               : QStringLiteral("?");
    return QStringLiteral("%1: %2 #%3").arg(path_, setKey_, number);
  }

  QString text(const json& object, const char* key, const QString& where) const {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return {};
    if (it->is_string()) return QString::fromStdString(it->get<std::string>());
    if (it->is_number()) return QString::number(it->get<double>());
    throw BuildError(QStringLiteral("%1: %2 is not text").arg(where, QString::fromLatin1(key)));
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
      out << QString::fromStdString(v.get<std::string>());
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
    const QString at = QStringLiteral("%1: %2").arg(path_, setKey_);
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
  const std::function<bool(const QString&)>& wantsCards_;
  const std::function<void(MtgSet&&)>& onSet_;
  bool inData_ = false;
  QString setKey_, setField_;
  std::vector<MtgFace> faces_;
  mutable std::map<std::string, QString, std::less<>> shared_;
};

}  // namespace

void readAllPrintings(const QString& path, const std::function<bool(const QString&)>& wantsCards,
                      const std::function<void(MtgSet&&)>& onSet,
                      const std::function<void(qint64 read, qint64 total)>& onRead) {
  DecompressingReader reader(path);
  DecompressingStreamBuf buffer(reader);
  std::istream in(&buffer);
  const std::function<void(MtgSet &&)> onSetRead = [&](MtgSet&& set) {
    onSet(std::move(set));
    if (onRead) onRead(reader.bytesRead(), reader.bytesTotal());
  };
  Reader r(path, wantsCards, onSetRead);
  try {
    // What is left once every set is handed over: the meta data and an empty "data".
    const json rest = json::parse(in, [&](int depth, json::parse_event_t event, json& parsed) {
      return r.callback(depth, event, parsed);
    });
    if (!rest.is_object() || !rest.contains("data") || !rest["data"].is_object())
      throw BuildError(path + QStringLiteral(": not an MTGJSON AllPrintings file: no \"data\" object"));
  } catch (const json::exception& e) {
    // nlohmann's own message already says where ("at line 3, column 7").
    throw BuildError(
        QStringLiteral("%1: not an MTGJSON AllPrintings file: %2").arg(path, QString::fromUtf8(e.what())));
  }
}

}  // namespace tvtools
