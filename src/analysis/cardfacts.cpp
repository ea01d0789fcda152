#include "analysis/cardfacts.h"

#include "analysis/deckcards.h"

namespace tv {

std::unique_ptr<StoredCardFacts> StoredCardFacts::load(Database& db) {
  auto facts = OracleFacts::load(db);
  return facts ? std::make_unique<StoredCardFacts>(std::move(facts)) : nullptr;
}

CardFactsMap StoredCardFacts::facts(const QStringList& namesE, const QString& format) const {
  CardFactsMap out;
  const int formatIndex = facts_->formatIndex(format);
  for (const QString& name : namesE) {
    const OracleFacts::Card* c = facts_->find(name);
    if (!c) continue;
    CardFacts f;
    f.legality = formatIndex < 0 ? Legality::NotLegal : OracleFacts::legality(*c, formatIndex);
    f.colorIdentity = c->ColorIdentity;
    f.anyNumber = c->AnyNumber;
    if (c->CopyLimit > 0) f.copyLimit = c->CopyLimit;
    f.commander = c->Commander;
    f.partner = c->Partner;
    f.partnerWith = c->PartnerWith;
    f.typeLine = c->TypeLineE;
    f.text = c->TextE;
    out.insert(nameKey(name), std::move(f));
  }
  return out;
}

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
