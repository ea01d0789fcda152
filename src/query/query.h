// The card query of the name box: plain words are the card's name, as the box
// has always read them; keyword terms ("o:引く", "t:ゴブリン", "mv<=2", "c:rg",
// "f:modern") ask for rules text, types, numbers, colours, rarity, expansion
// and legality. Terms are joined by AND, "-" negates, "or" / "または" and
// parentheses group. Full-width forms read as half-width ones ("ｍｖ＜＝２").
//
// A query is parsed once per keystroke into terms and the tree that joins
// them; evaluating it asks a test of each term it needs, so the same query
// runs over one card record (card.h) or over tables of distinct values.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tv::query {

enum class Field : quint8 {
  Name,  // plain words and quoted phrases
  Text,  // o:, テキスト:
  Type,  // t:, タイプ:
  Color,
  Identity,  // id:, 固有色:
  ManaValue,
  Power,
  Toughness,
  Loyalty,
  Rarity,
  Expansion,
  Legal,  // f:, legal:, フォーマット:
  Banned,
  Restricted,
};

enum class Op : quint8 { Eq, Ne, Lt, Le, Gt, Ge };

// Colour bits, in the order W U B R G.
enum ColorBit : quint8 { White = 1, Blue = 2, Black = 4, Red = 8, Green = 16 };

// A card's standing in one format, as the card data gives it.
enum class Legality : quint8 { NotLegal, Legal, Restricted, Banned };

// The format names the query reads besides the formats' own keys ("modern").
struct Format {
  QString key;   // as the card data names the format
  QString name;  // the player's word for it ("モダン")
};

struct Term {
  Field field = Field::Name;
  Op op = Op::Eq;  // Ne only for numbers, colours and rarity: elsewhere "!=" is a negation
  // Name: the folded name (text/fold.h foldName); Text and Type: the folded
  // text (foldRulesText); Expansion: the folded code or name; Legal, Banned,
  // Restricted: the format's key; numbers: the folded printed form ("1+*")
  // when `number` is empty.
  QString text;
  std::optional<double> number;
  quint8 colors = 0;          // ColorBit set; Color and Identity
  bool multicolored = false;  // "c:m": two colours or more
  int rarity = -1;            // rarityRank()
  QString typed;              // the term as the player wrote it

  // Values the term tests, one field of a card at a time.
  bool holdsText(QStringView folded) const { return folded.contains(text); }
  bool matchesNumber(std::optional<double> value) const;
  // A power, toughness or loyalty as printed: "3", "*", "1+*", "X"; empty is none.
  bool matchesPrinted(QStringView printed) const;
  bool matchesColors(quint8 colors) const;
  bool matchesRarity(QStringView code) const;  // tbl_CardMst.Rare's code
  bool matchesExpansion(QStringView code, QStringView foldedName) const;
  // The card's standing in the term's format (`text`).
  bool matchesLegality(Legality legality) const;
};

// A rarity's place in order (common, uncommon, rare, special, mythic), -1 for none.
int rarityRank(QStringView code);

// A printed number as comparisons read it: "*" as 0, "1+*" as 1; none for empty.
std::optional<double> printedNumber(QStringView printed);

class Query {
 public:
  // Nothing to filter by: an empty box, or words that fold to nothing.
  bool empty() const { return root_ < 0; }
  const std::vector<Term>& terms() const { return terms_; }

  // Whether a card passes, given `test(term)`: does the card satisfy that
  // term alone. Terms are asked only as far as the tree needs them.
  template <typename Test>
  bool evaluate(Test&& test) const {
    return empty() || evaluate(root_, test);
  }

 private:
  friend class Parser;
  struct Node {
    enum Kind : quint8 { And, Or, Not, Leaf } kind;
    int term = -1;              // Leaf
    std::vector<int> children;  // And, Or: two or more; Not: one
  };

  template <typename Test>
  bool evaluate(int index, Test& test) const {
    const Node& n = nodes_[size_t(index)];
    switch (n.kind) {
      case Node::Leaf:
        return test(terms_[size_t(n.term)]);
      case Node::Not:
        return !evaluate(n.children.front(), test);
      case Node::And:
        for (int c : n.children)
          if (!evaluate(c, test)) return false;
        return true;
      case Node::Or:
        for (int c : n.children)
          if (evaluate(c, test)) return true;
        return false;
    }
    return false;
  }

  std::vector<Term> terms_;
  std::vector<Node> nodes_;
  int root_ = -1;
};

struct Parsed {
  Query query;
  QString error;  // the first term that cannot be read: "「mv<<2」を読めません"; empty when read
  bool ok() const { return error.isEmpty(); }
};

// `formats`: the names the format terms accept besides the formats' keys;
// when given, a format that is none of them cannot be read.
Parsed parseQuery(QStringView text, const std::vector<Format>& formats = {});

// The language explained for the "？" button, with examples.
QString queryHelpText();

}  // namespace tv::query
