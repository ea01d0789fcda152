#include "choices/choices.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "core/settings.h"

namespace tv {
namespace {

const QString kSort = QStringLiteral("search/sort");
const QString kExpansions = QStringLiteral("search/expansions");
const QString kDeckFolder = QStringLiteral("deck/folder");
const QString kRecent = QStringLiteral("deck/recent");
const QStringList kSortFields = {QStringLiteral("NameE"), QStringLiteral("NameN"), QStringLiteral("NumCost"),
                                 QStringLiteral("CAttack"), QStringLiteral("CDefence")};

// The output tab's boxes by the names of their controls.
struct OutputKey {
  const char* key;
  bool PrintOptions::*option;
};
constexpr OutputKey kOutputKeys[] = {
    {"output/chk_NameE", &PrintOptions::NameE},         {"output/chk_NameN", &PrintOptions::NameN},
    {"output/chk_Cost", &PrintOptions::Cost},           {"output/chk_Rare", &PrintOptions::Rare},
    {"output/chk_CardSetEx", &PrintOptions::CardSetEx}, {"output/chk_Space", &PrintOptions::Space},
    {"output/chk_Side", &PrintOptions::Side},           {"output/chk_ManaCurve", &PrintOptions::ManaCurve},
};
const QString kHtmlCardText = QStringLiteral("output/chk_HCardText");

bool readBool(const QSettings& s, const QString& key, bool fallback) {
  const QVariant v = s.value(key);
  const QString text = v.toString();
  return text == u"true" || text == u"1" ? true : text == u"false" || text == u"0" ? false : fallback;
}

// A list as the file holds it, at most `limit` entries of text.
QStringList readList(const QSettings& s, const QString& key, qsizetype limit) {
  QStringList out = s.value(key).toStringList();
  out.removeAll(QString());
  return out.mid(0, limit);
}

}  // namespace

UserChoices::UserChoices(std::unique_ptr<QSettings> settings)
    : settings_(settings ? std::move(settings) : userSettings()) {}

SearchChoices UserChoices::search() const {
  SearchChoices c;
  const QString sort = settings_->value(kSort).toString();
  if (kSortFields.contains(sort)) c.sortField = sort;
  c.expansionCodes = readList(*settings_, kExpansions, 100'000);
  return c;
}

void UserChoices::setSearch(const SearchChoices& choices) {
  settings_->setValue(kSort, choices.sortField);
  settings_->setValue(kExpansions, choices.expansionCodes);
  settings_->sync();
}

OutputChoices UserChoices::output() const {
  OutputChoices c;
  for (const OutputKey& k : kOutputKeys)
    c.print.*k.option = readBool(*settings_, QLatin1StringView(k.key), c.print.*k.option);
  c.htmlCardText = readBool(*settings_, kHtmlCardText, c.htmlCardText);
  return c;
}

void UserChoices::setOutput(const OutputChoices& choices) {
  for (const OutputKey& k : kOutputKeys)
    settings_->setValue(QLatin1StringView(k.key), choices.print.*k.option);
  settings_->setValue(kHtmlCardText, choices.htmlCardText);
  settings_->sync();
}

QString UserChoices::deckFolder() const {
  const QString folder = settings_->value(kDeckFolder).toString();
  return QDir::isAbsolutePath(folder) ? folder : QString();
}

QStringList UserChoices::recentDecks() const {
  QStringList paths;
  for (const QString& p : readList(*settings_, kRecent, kRecentDecks))
    if (QDir::isAbsolutePath(p) && !paths.contains(p)) paths << p;
  return paths;
}

void UserChoices::useDeckFile(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QStringList paths = recentDecks();
  paths.removeAll(absolute);
  paths.prepend(absolute);
  settings_->setValue(kDeckFolder, QFileInfo(absolute).path());
  setRecentDecks(paths.mid(0, kRecentDecks));
}

void UserChoices::forgetDeckFile(const QString& path) {
  QStringList paths = recentDecks();
  paths.removeAll(QFileInfo(path).absoluteFilePath());
  setRecentDecks(paths);
}

void UserChoices::setRecentDecks(const QStringList& paths) {
  settings_->setValue(kRecent, paths);
  settings_->sync();
}

QStringList readExpansionCodes(Database& db) {
  QStringList codes;
  for (auto rs = db.openRecordset(QStringLiteral("SELECT tbl_CardSet.CardsetEx FROM tbl_CardSet"),
                                  RecordsetType::Snapshot, dbForwardOnly);
       !rs.eof(); rs.moveNext())
    codes << rs.text(u"CardsetEx");
  return codes;
}

QList<int> expansionLines(const QStringList& codes, const QStringList& chosen) {
  QSet<QString> wanted;
  for (const QString& code : chosen) wanted.insert(code.toCaseFolded());
  QList<int> lines;
  for (int i = 0; i < codes.size(); ++i)
    if (!codes[i].isEmpty() && wanted.contains(codes[i].toCaseFolded())) lines << i;
  return lines;
}

}  // namespace tv
