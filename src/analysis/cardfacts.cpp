#include "analysis/cardfacts.h"

#include "analysis/deckcards.h"

namespace tv {

void CardFactsTable::add(const QString& nameE, CardFacts facts, const QHash<QString, Legality>& legal) {
  for (auto it = legal.begin(); it != legal.end(); ++it)
    if (!formats_.contains(it.key())) formats_ << it.key();
  cards_.insert(nameKey(nameE), {std::move(facts), legal});
}

CardFactsMap CardFactsTable::facts(const QStringList& namesE, const QString& format) const {
  CardFactsMap out;
  for (const QString& name : namesE) {
    const auto it = cards_.constFind(nameKey(name));
    if (it == cards_.cend()) continue;
    CardFacts f = it->first;
    f.legality = it->second.value(format, Legality::NotLegal);
    out.insert(nameKey(name), std::move(f));
  }
  return out;
}

}  // namespace tv
