#include "analysis/formats.h"

#include <algorithm>
#include <span>

namespace tv {
namespace {

using namespace Qt::StringLiterals;

FormatRules commanderFormat(const QString& key, const QString& label, qint64 cards) {
  FormatRules r{key, label};
  r.minMain = r.maxMain = cards;
  r.maxSide = -1;
  r.copies = 1;
  r.commander = true;
  return r;
}

FormatRules brawlFormat(const QString& key, const QString& label, qint64 cards) {
  FormatRules r = commanderFormat(key, label, cards);
  r.walkerCommanders = true;
  return r;
}

// The box order. Every format MTGJSON names has a row.
const FormatRules kFormats[] = {
    {u"standard"_s, u"スタンダード"_s},
    {u"pioneer"_s, u"パイオニア"_s},
    {u"modern"_s, u"モダン"_s},
    {u"legacy"_s, u"レガシー"_s},
    {u"vintage"_s, u"ヴィンテージ"_s},
    {u"pauper"_s, u"パウパー"_s},
    commanderFormat(u"commander"_s, u"統率者戦"_s, 100),
    {u"alchemy"_s, u"アルケミー"_s},
    {u"explorer"_s, u"エクスプローラー"_s},
    {u"historic"_s, u"ヒストリック"_s},
    {u"timeless"_s, u"タイムレス"_s},
    {u"future"_s, u"フューチャー・スタンダード"_s},
    {u"penny"_s, u"ペニー・ドレッドフル"_s},
    {u"premodern"_s, u"プレモダン"_s},
    {u"oldschool"_s, u"オールドスクール"_s},
    {u"gladiator"_s, u"グラディエーター"_s, 100, 100, -1, 1},
    commanderFormat(u"duel"_s, u"デュエル・コマンダー"_s, 100),
    commanderFormat(u"predh"_s, u"プレDH"_s, 100),
    {.key = u"paupercommander"_s,
     .label = u"パウパー統率者戦"_s,
     .minMain = 100,
     .maxMain = 100,
     .maxSide = -1,
     .copies = 1,
     .commander = true,
     .creatureCommanders = true},
    brawlFormat(u"brawl"_s, u"ブロール"_s, 60),
    brawlFormat(u"standardbrawl"_s, u"スタンダード・ブロール"_s, 60),
    brawlFormat(u"historicbrawl"_s, u"ヒストリック・ブロール"_s, 100),
    {u"oathbreaker"_s, u"オースブレイカー"_s, 0, -1, -1,
     1},  // its commander and signature spell: not checked
};

const FormatRules* findFormat(QStringView key) {
  const auto it = std::find_if(std::begin(kFormats), std::end(kFormats),
                               [&](const FormatRules& f) { return f.key == key; });
  return it == std::end(kFormats) ? nullptr : it;
}

}  // namespace

FormatRules formatRules(const QString& key) {
  if (const FormatRules* f = findFormat(key)) return *f;
  return {key, key};
}

QStringList formatsInBoxOrder(const QStringList& keys) {
  QStringList known, other;
  for (const FormatRules& f : kFormats)
    if (keys.contains(f.key)) known << f.key;
  for (const QString& k : keys)
    if (!findFormat(k) && !other.contains(k)) other << k;
  other.sort();
  return known + other;
}

QStringList formatBoxKeys(const QStringList& dataFormats) {
  QStringList keys{QString()};
  if (!dataFormats.isEmpty()) return keys + formatsInBoxOrder(dataFormats);
  for (const FormatRules& f : std::span(kFormats, 7)) keys << f.key;
  return keys;
}

QString formatLabel(const QString& key) {
  return key.isEmpty() ? QStringLiteral("（なし）") : formatRules(key).label;
}

}  // namespace tv
