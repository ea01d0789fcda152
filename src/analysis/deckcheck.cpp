#include "analysis/deckcheck.h"

#include <QHash>
#include <QSet>
#include <algorithm>

#include "carddb/codes.h"
#include "output/decksections.h"

namespace tv {
namespace {

// One English name in the deck: every printing, both halves.
struct NameUse {
  QString label;  // "Lightning Bolt/稲妻", of its first line
  qint64 main = 0, side = 0;
  QList<DeckLineRef> lines, sideLines;
  bool basicLand = false;
  const CardFacts* facts = nullptr;
  qint64 total() const { return addCopies(main, side); }
};

QString count(qint64 n) { return QString::number(n) + u'枚'; }

bool subsetOf(const QString& colors, const QString& identity) {
  for (QChar c : colors)
    if (!identity.contains(c)) return false;
  return true;
}

bool canLead(const CardFacts& f, const FormatRules& format) {
  const bool legendary = f.typeLine.contains(u"Legendary");
  return f.commander || (format.walkerCommanders && legendary && f.typeLine.contains(u"Planeswalker")) ||
         (format.creatureCommanders && f.typeLine.contains(u"Creature"));
}

bool partners(const NameUse& a, const QString& aKey, const NameUse& b, const QString& bKey) {
  if (!a.facts || !b.facts || !a.facts->partner || !b.facts->partner) return false;
  const QString& aWith = a.facts->partnerWith;
  const QString& bWith = b.facts->partnerWith;
  return (aWith.isEmpty() || nameKey(aWith) == bKey) && (bWith.isEmpty() || nameKey(bWith) == aKey);
}

class Checker {
 public:
  Checker(const DeckCards& deck, const FormatRules& format, const CardFactsMap& facts) : format_(format) {
    for (const QList<DeckCard>* half : {&deck.main, &deck.side})
      for (const DeckCard& c : *half) {
        if (c.copies <= 0) continue;
        const QString key = nameKey(c.NameE);
        auto it = index_.constFind(key);
        if (it == index_.cend()) {
          it = index_.insert(key, int(names_.size()));
          keys_ << key;
          NameUse& n = names_.emplace_back();
          n.label = cardLabel(c.NameE, c.NameN);
          if (const auto f = facts.constFind(key); f != facts.cend()) n.facts = &*f;
        }
        NameUse& n = names_[*it];
        const bool main = c.ref.half == DeckHalf::Main;
        (main ? n.main : n.side) = addCopies(main ? n.main : n.side, c.copies);
        (main ? mainCards_ : sideCards_) = addCopies(main ? mainCards_ : sideCards_, c.copies);
        n.lines << c.ref;
        if (!main) n.sideLines << c.ref;
        n.basicLand = n.basicLand || c.cardType == kBasicLand;
      }
  }

  QList<DeckProblem> problems() {
    sizes();
    if (format_.commander) commanders();
    for (qsizetype i = 0; i < names_.size(); ++i) name(names_[i]);
    return std::move(problems_);
  }

 private:
  void add(ProblemKind kind, const QString& text, const QList<DeckLineRef>& lines = {}) {
    problems_.append({kind, text, lines});
  }

  void sizes() {
    if (format_.commander) {
      if (addCopies(mainCards_, sideCards_) != format_.minMain)
        add(ProblemKind::MainSize,
            QStringLiteral("メインデッキと統率者で%1にします（今は%2）")
                .arg(count(format_.minMain), count(addCopies(mainCards_, sideCards_))));
      return;
    }
    if (mainCards_ < format_.minMain)
      add(ProblemKind::MainSize,
          QStringLiteral("メインデッキが%1未満です（%2）").arg(count(format_.minMain), count(mainCards_)));
    if (format_.maxMain >= 0 && mainCards_ > format_.maxMain)
      add(ProblemKind::MainSize, QStringLiteral("メインデッキが%1を超えています（%2）")
                                     .arg(count(format_.maxMain), count(mainCards_)));
    if (format_.maxSide >= 0 && sideCards_ > format_.maxSide)
      add(ProblemKind::SideSize, QStringLiteral("サイドボードが%1を超えています（%2）")
                                     .arg(count(format_.maxSide), count(sideCards_)));
  }

  void commanders() {
    QList<int> leaders;
    QList<DeckLineRef> sideLines;
    for (qsizetype i = 0; i < names_.size(); ++i)
      if (names_[i].side > 0) {
        leaders << int(i);
        sideLines << names_[i].sideLines;
      }
    if (sideCards_ == 0)
      return add(ProblemKind::Commander, QStringLiteral("統率者をサイドボードに入れてください"));
    if (sideCards_ > 2)
      return add(ProblemKind::Commander,
                 QStringLiteral("サイドボードには統率者だけを入れます：1枚、パートナーなら2枚（今は%1）")
                     .arg(count(sideCards_)),
                 sideLines);
    QString identity;
    bool identityKnown = true;
    for (int i : leaders) {
      const NameUse& n = names_[i];
      if (!n.facts) {
        identityKnown = false;
        continue;
      }
      identity += n.facts->colorIdentity;
      if (!canLead(*n.facts, format_))
        add(ProblemKind::Commander, QStringLiteral("統率者にできないカードです：") + n.label, n.sideLines);
    }
    if (leaders.size() == 2 &&
        !partners(names_[leaders[0]], keys_[leaders[0]], names_[leaders[1]], keys_[leaders[1]]))
      add(ProblemKind::Commander,
          QStringLiteral("2枚の統率者がパートナー同士ではありません：%1、%2")
              .arg(names_[leaders[0]].label, names_[leaders[1]].label),
          sideLines);
    if (!identityKnown) return;
    for (const NameUse& n : names_)
      if (n.main > 0 && n.facts && !subsetOf(n.facts->colorIdentity, identity))
        add(ProblemKind::ColorIdentity, QStringLiteral("統率者の固有色にないカードです：") + n.label,
            n.lines);
  }

  void name(const NameUse& n) {
    const CardFacts* f = n.facts;
    if (!f)
      add(ProblemKind::NoFacts, QStringLiteral("カードの情報がありません：") + n.label, n.lines);
    else if (f->legality == Legality::Banned)
      add(ProblemKind::Banned, QStringLiteral("禁止：") + n.label, n.lines);
    else if (f->legality == Legality::NotLegal)
      add(ProblemKind::NotLegal, QStringLiteral("このフォーマットでは使えません：") + n.label, n.lines);
    if (f && f->legality == Legality::Restricted) {
      if (n.total() > 1)
        add(ProblemKind::Restricted,
            QStringLiteral("制限：1枚までです（%1）：").arg(count(n.total())) + n.label, n.lines);
      return;
    }
    if (n.basicLand || (f && f->anyNumber)) return;
    const bool own = f && f->copyLimit;
    const qint64 limit = own ? *f->copyLimit : format_.copies;
    if (n.total() > limit)
      add(ProblemKind::TooManyCopies,
          (own ? QStringLiteral("このカードは%1までです（%2）：")
               : QStringLiteral("同じ名前のカードは%1までです（%2）："))
                  .arg(count(limit), count(n.total())) +
              n.label,
          n.lines);
  }

  const FormatRules& format_;
  QList<NameUse> names_;
  QStringList keys_;
  QHash<QString, int> index_;
  qint64 mainCards_ = 0, sideCards_ = 0;
  QList<DeckProblem> problems_;
};

}  // namespace

DeckCheck checkDeck(const DeckCards& deck, const QString& format, const CardFactsMap& facts, bool available) {
  DeckCheck check;
  check.format = formatRules(format);
  check.available = available;
  if (available) check.problems = Checker(deck, check.format, facts).problems();
  return check;
}

QList<int> problemLines(const DeckCheck& check, DeckHalf half) {
  QList<int> lines;
  for (const DeckProblem& p : check.problems)
    for (const DeckLineRef& ref : p.lines)
      if (ref.half == half && !lines.contains(ref.line)) lines << ref.line;
  std::sort(lines.begin(), lines.end());
  return lines;
}

QStringList deckNames(const DeckCards& deck) {
  QStringList names;
  QSet<QString> seen;
  for (const QList<DeckCard>* half : {&deck.main, &deck.side})
    for (const DeckCard& c : *half)
      if (!seen.contains(nameKey(c.NameE))) {
        seen.insert(nameKey(c.NameE));
        names << c.NameE;
      }
  return names;
}

QString checkVerdict(const DeckCheck& check) {
  if (!check.available) return kNoFactsText.toString();
  return check.format.label + (check.legal() ? QStringLiteral("：適正")
                                             : QStringLiteral("：問題 %1 件").arg(check.problems.size()));
}

}  // namespace tv
