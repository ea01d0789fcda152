#include <algorithm>

#include "carddb/codes.h"
#include "query/query.h"
#include "text/fold.h"

namespace tv::query {
namespace {

// A character as the query reads it: full-width forms and the ideographic
// space as their half-width forms, so "ｍｖ＜＝２" reads as "mv<=2".
char16_t plain(QChar c) {
  const char16_t u = c.unicode();
  if (u >= 0xFF01 && u <= 0xFF5E) return char16_t(u - 0xFEE0);
  if (u == 0x3000) return u' ';
  return u;
}

bool isSpace(QChar c) { return QChar::isSpace(plain(c)); }

// The words of each value's space-separated list, folded as the typed word is:
// "たいぷ", "ﾀｲﾌﾟ" and "ＴＹＰＥ" read as "タイプ" and "type".
template <typename V, size_t N>
std::vector<std::pair<QString, V>> foldedWords(const std::pair<V, QStringView> (&table)[N]) {
  std::vector<std::pair<QString, V>> out;
  for (const auto& [value, words] : table)
    for (QStringView word : words.split(u' ')) out.emplace_back(foldName(word), value);
  return out;
}

template <typename V>
std::optional<V> lookUp(const std::vector<std::pair<QString, V>>& words, const QString& folded) {
  for (const auto& [word, value] : words)
    if (word == folded) return value;
  return std::nullopt;
}

std::optional<Field> keywordField(QStringView word) {
  static const std::pair<Field, QStringView> table[] = {
      {Field::Text, u"o oracle テキスト"},
      {Field::Type, u"t type タイプ"},
      {Field::Color, u"c color colour 色"},
      {Field::Identity, u"id ci identity 固有色"},
      {Field::ManaValue, u"mv cmc manavalue マナ総量"},
      {Field::Power, u"pow power パワー"},
      {Field::Toughness, u"tou toughness タフネス"},
      {Field::Loyalty, u"loy loyalty 忠誠度"},
      {Field::Rarity, u"r rarity レアリティ"},
      {Field::Expansion, u"e s set エキスパンション"},
      {Field::Legal, u"f legal format フォーマット"},
      {Field::Banned, u"banned 禁止"},
      {Field::Restricted, u"restricted 制限"},
  };
  static const auto words = foldedWords(table);
  return lookUp(words, foldName(word));
}

// ':' is the field's own comparison: containment for texts and colours, equality for numbers.
enum class RawOp : quint8 { Colon, Eq, Ne, Lt, Le, Gt, Ge };

// The comparison at `i` and its length; none when there is none.
std::pair<std::optional<RawOp>, int> operatorAt(QStringView s, qsizetype i) {
  if (i >= s.size()) return {std::nullopt, 0};
  const char16_t c = plain(s[i]);
  const char16_t next = i + 1 < s.size() ? plain(s[i + 1]) : 0;
  switch (c) {
    case u':':
      return {RawOp::Colon, 1};
    case u'=':
      return {RawOp::Eq, 1};
    case u'<':
      return next == u'=' ? std::pair{RawOp::Le, 2} : std::pair{RawOp::Lt, 1};
    case u'>':
      return next == u'=' ? std::pair{RawOp::Ge, 2} : std::pair{RawOp::Gt, 1};
    case u'!':
      if (next == u'=') return {RawOp::Ne, 2};
      break;
    case u'≦':
    case u'≤':
      return {RawOp::Le, 1};
    case u'≧':
    case u'≥':
      return {RawOp::Ge, 1};
    case u'≠':
      return {RawOp::Ne, 1};
  }
  return {std::nullopt, 0};
}

bool startsOperator(QChar c) { return QStringView(u":=<>!≦≤≧≥≠").contains(QChar(plain(c))); }

// Phrases are quoted as on a Latin keyboard or with 「」.
bool opensQuote(QChar c) { return QStringView(u"\"“”「").contains(QChar(plain(c))); }
bool closesQuote(QChar open, QChar c) {
  return plain(open) == u'「' ? c == u'」' : QStringView(u"\"“”").contains(QChar(plain(c)));
}

bool isHiragana(QChar c) { return c.unicode() >= 0x3041 && c.unicode() <= 0x3096; }
bool isKanjiOrKatakana(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 0x4E00 && u <= 0x9FFF) || u == 0x3005 || (u >= 0x30A1 && u <= 0x30FA) || u == 0x30FC;
}

// A Japanese verb or phrase without its inflected ending, so that "引く"
// also finds "引き、" and "タップする" finds "タップし": the kana after the
// last kanji or katakana go.
QStringView withoutOkurigana(QStringView text) {
  qsizetype end = text.size();
  while (end > 0 && isHiragana(text[end - 1])) --end;
  return end < text.size() && end > 0 && isKanjiOrKatakana(text[end - 1]) ? text.left(end) : text;
}

struct Token {
  enum Kind : quint8 { Open, Close, Not, Word, Keyword } kind;
  qsizetype begin = 0, end = 0;  // the token in the text
  QStringView value{};           // Word, Keyword: without the quotes
  bool quoted = false;
  Field field = Field::Name;  // Keyword
  RawOp op = RawOp::Colon;    // Keyword
  bool startsOperand() const { return kind != Close; }
  bool endsOperand() const { return kind == Word || kind == Keyword || kind == Close; }
  bool isNameWord() const { return kind == Word && !quoted; }
};

class Lexer {
 public:
  explicit Lexer(QStringView s) : s_(s) {}

  std::vector<Token> tokens() {
    std::vector<Token> out;
    qsizetype i = 0;
    while (i < s_.size()) {
      const char16_t c = plain(s_[i]);
      if (isSpace(s_[i])) {
        ++i;
      } else if (c == u'(' || c == u')') {
        out.push_back({c == u'(' ? Token::Open : Token::Close, i, i + 1});
        open_ = std::max(0, open_ + (c == u'(' ? 1 : -1));
        ++i;
      } else if (negatesAt(i)) {
        out.push_back({Token::Not, i, i + 1});
        ++i;
      } else if (opensQuote(s_[i])) {
        Token t{Token::Word, i};
        i = readQuoted(i, t);
        out.push_back(t);
      } else if (Token t{Token::Keyword, i}; keywordAt(i, t)) {
        i = t.end < s_.size() && opensQuote(s_[t.end]) ? readQuoted(t.end, t) : readBare(t.end, t, false);
        t.end = i;
        out.push_back(t);
      } else {
        Token w{Token::Word, i};
        i = readBare(i, w, true);
        w.end = i;
        out.push_back(w);
      }
    }
    return out;
  }

 private:
  // "-" before a term; "ー" and "−", which a Japanese input method may give
  // for it, only before a keyword or a parenthesis: elsewhere they are a name's.
  bool negatesAt(qsizetype i) const {
    if (i + 1 >= s_.size() || isSpace(s_[i + 1]) || plain(s_[i + 1]) == u')') return false;
    const char16_t c = plain(s_[i]);
    if (c == u'-') return true;
    if (c != u'ー' && c != u'−' && c != u'ｰ') return false;
    Token t;
    return plain(s_[i + 1]) == u'(' || keywordAt(i + 1, t);
  }

  // A known keyword and its comparison at `i`: sets the field, the comparison
  // and `end` after it.
  bool keywordAt(qsizetype i, Token& t) const {
    qsizetype k = i;
    while (k < s_.size() && !isSpace(s_[k]) && !startsOperator(s_[k]) && !opensQuote(s_[k]) &&
           plain(s_[k]) != u'(' && plain(s_[k]) != u')')
      ++k;
    const auto [op, length] = operatorAt(s_, k);
    if (k == i || !op) return false;
    const auto field = keywordField(s_.mid(i, k - i));
    if (!field) return false;
    t.field = *field;
    t.op = *op;
    t.end = k + length;
    return true;
  }

  // Up to the closing quote (or the end); returns the position after it.
  qsizetype readQuoted(qsizetype open, Token& t) const {
    qsizetype k = open + 1;
    while (k < s_.size() && !closesQuote(s_[open], s_[k])) ++k;
    t.value = s_.mid(open + 1, k - open - 1);
    t.quoted = true;
    t.end = std::min(k + 1, s_.size());
    return t.end;
  }

  // Up to a space or a parenthesis that closes a group: "o:(T))" holds
  // "(T)". Outside any group a name keeps its ")": some Japanese names hold
  // one ("君きみ）は囚人を見つけた").
  qsizetype readBare(qsizetype from, Token& t, bool name) const {
    qsizetype k = from;
    int depth = 0;
    for (; k < s_.size() && !isSpace(s_[k]); ++k) {
      if (plain(s_[k]) == u'(') ++depth;
      if (plain(s_[k]) == u')' && depth-- == 0 && !(name && open_ == 0)) break;
    }
    t.value = s_.mid(from, k - from);
    return k;
  }

  QStringView s_;
  int open_ = 0;  // groups open where the lexer stands
};

}  // namespace

class Parser {
 public:
  Parser(QStringView text, const std::vector<Format>& formats)
      : s_(text), tokens_(Lexer(text).tokens()), formats_(formats) {}

  Parsed run() {
    Parsed out;
    const int root = parseOr();
    if (error_.isEmpty() && pos_ < tokens_.size()) fail(tokens_[pos_]);  // a ")" closing no group
    if (!error_.isEmpty()) {
      out.error = QStringLiteral("「") + error_ + QStringLiteral("」を読めません");
      return out;
    }
    out.query = std::move(q_);
    out.query.root_ = root;
    return out;
  }

 private:
  using Node = Query::Node;

  bool done() const { return !error_.isEmpty() || pos_ >= tokens_.size(); }

  // "or" joins what stands on both sides of it, unless both are words of a
  // name: "Fight or Flight" is a name, as the name box has always read it
  // ("\"goblin\" or \"elf\"" asks for either).
  bool orAt(size_t i) const {
    const Token& t = tokens_[i];
    if (t.kind != Token::Word || t.quoted || i == 0 || i + 1 >= tokens_.size()) return false;
    static const QString kOr[] = {QStringLiteral("or"), foldName(u"または")};
    if (std::find(std::begin(kOr), std::end(kOr), foldName(t.value)) == std::end(kOr)) return false;
    const Token& before = tokens_[i - 1];
    const Token& after = tokens_[i + 1];
    return before.endsOperand() && after.startsOperand() && !(before.isNameWord() && after.isNameWord());
  }

  int parseOr() {
    std::vector<int> parts{parseAnd()};
    while (!done() && orAt(pos_)) {
      ++pos_;
      parts.push_back(parseAnd());
    }
    return join(Node::Or, parts);
  }

  int parseAnd() {
    std::vector<int> parts;
    while (!done() && tokens_[pos_].kind != Token::Close && !orAt(pos_)) {
      const Token& t = tokens_[pos_];
      if (t.isNameWord()) {
        // Plain words in a row are one name, as the name box has always read its text.
        size_t last = pos_;
        while (last + 1 < tokens_.size() && tokens_[last + 1].isNameWord() && !orAt(last + 1)) ++last;
        parts.push_back(nameTerm(s_.mid(t.begin, tokens_[last].end - t.begin), t.begin, tokens_[last].end));
        pos_ = last + 1;
      } else {
        parts.push_back(parseUnary());
      }
    }
    return join(Node::And, parts);
  }

  int parseUnary() {
    const Token& t = tokens_[pos_++];
    // Nesting as deep as no one writes would only exhaust the stack.
    if ((t.kind == Token::Not || t.kind == Token::Open) && ++depth_ > kMaxDepth) return fail(t);
    switch (t.kind) {
      case Token::Not: {
        if (done()) return fail(t);
        const int child = parseUnary();
        --depth_;
        return child < 0 ? -1 : add({Node::Not, -1, {child}});
      }
      case Token::Open: {
        const size_t first = pos_;
        const int inner = parseOr();
        --depth_;
        if (!done() && tokens_[pos_].kind == Token::Close) {
          if (pos_ == first) return fail(t.begin, tokens_[pos_].end);  // "()"
          ++pos_;
        }
        return inner;  // a group the text leaves open ends with it
      }
      case Token::Word:
        return nameTerm(t.value, t.begin, t.end);
      case Token::Keyword:
        return keywordTerm(t);
      case Token::Close:
        break;
    }
    return fail(t);
  }

  int nameTerm(QStringView name, qsizetype begin, qsizetype end) {
    Term term;
    term.text = foldName(name);
    if (term.text.isEmpty()) return -1;  // "ー" or "・" alone: nothing to look for
    return leaf(std::move(term), begin, end);
  }

  int keywordTerm(const Token& t) {
    Term term;
    term.field = t.field;
    bool negate = false;
    bool read = false;
    switch (t.field) {
      case Field::Name:
        break;
      case Field::Text:
      case Field::Type:
      case Field::Expansion:
        if (t.op == RawOp::Colon || t.op == RawOp::Eq || t.op == RawOp::Ne) {
          negate = t.op == RawOp::Ne;
          // Quoted, the text is looked for as written.
          if (t.field == Field::Text)
            term.text = foldRulesText(t.quoted ? t.value : withoutOkurigana(t.value));
          else
            term.text = t.field == Field::Type ? foldRulesText(t.value) : foldName(t.value);
          read = !term.text.isEmpty();
        }
        break;
      case Field::Color:
      case Field::Identity:
        read = readColors(t, term);
        break;
      case Field::ManaValue:
      case Field::Power:
      case Field::Toughness:
      case Field::Loyalty:
        read = readNumber(t, term);
        break;
      case Field::Rarity:
        term.op = plainOp(t.op);
        term.rarity = rarityOfWord(foldName(t.value));
        read = term.rarity >= 0;
        break;
      case Field::Legal:
      case Field::Banned:
      case Field::Restricted:
        negate = t.op == RawOp::Ne;
        read = (t.op == RawOp::Colon || t.op == RawOp::Eq || negate) && readFormat(t.value, term);
        break;
    }
    if (!read) return fail(t);
    const int node = leaf(std::move(term), t.begin, t.end);
    return negate ? add({Node::Not, -1, {node}}) : node;
  }

  static Op plainOp(RawOp op) {
    switch (op) {
      case RawOp::Colon:
      case RawOp::Eq:
        return Op::Eq;
      case RawOp::Ne:
        return Op::Ne;
      case RawOp::Lt:
        return Op::Lt;
      case RawOp::Le:
        return Op::Le;
      case RawOp::Gt:
        return Op::Gt;
      case RawOp::Ge:
        return Op::Ge;
    }
    return Op::Eq;
  }

  // "rg", "赤緑", "red", "m" (two colours or more), "c" (colourless).
  static bool readColors(const Token& t, Term& term) {
    static const std::pair<int, QStringView> kNames[] = {
        {White, u"white"},
        {Blue, u"blue"},
        {Black, u"black"},
        {Red, u"red"},
        {Green, u"green"},
        {0, u"c colorless colourless 無色"},
        {-1, u"m multicolor multicolour 多色 マルチ"},
    };
    static const auto kWords = foldedWords(kNames);
    static const QStringView kLetters[] = {u"w白", u"u青", u"b黒", u"r赤", u"g緑"};
    const QString word = foldName(t.value);
    const auto named = lookUp(kWords, word);
    term.op = plainOp(t.op);
    if (named && *named < 0) {
      term.multicolored = true;
      return term.op == Op::Eq || term.op == Op::Ne;
    }
    if (named) {
      term.colors = quint8(*named);
    } else {
      if (word.isEmpty()) return false;
      for (QChar c : word) {
        const auto it = std::find_if(std::begin(kLetters), std::end(kLetters),
                                     [&](QStringView letters) { return letters.contains(c); });
        if (it == std::end(kLetters)) return false;
        term.colors |= quint8(1u << (it - std::begin(kLetters)));
      }
    }
    // A colour identity fits a deck of the colours named; a card's colours
    // hold them. Colourless is no colour at all, not "at least none".
    if (t.op == RawOp::Colon && term.colors != 0) term.op = term.field == Field::Identity ? Op::Le : Op::Ge;
    return true;
  }

  // A number, or for power, toughness and loyalty a printed form ("*", "1+*", "X") to equal.
  static bool readNumber(const Token& t, Term& term) {
    const QString word = foldName(t.value);
    term.op = plainOp(t.op);
    if (word.isEmpty()) return false;
    const bool digits = std::all_of(word.begin(), word.end(), [](QChar c) {
      return (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'+';
    });
    bool ok = false;
    const double value = digits ? word.toDouble(&ok) : 0;
    if (ok) {
      term.number = value;
      return true;
    }
    const bool printed = std::all_of(word.begin(), word.end(),
                                     [](QChar c) { return QStringView(u"0123456789.+-*x?∞").contains(c); });
    term.text = word;
    return term.field != Field::ManaValue && printed && (term.op == Op::Eq || term.op == Op::Ne);
  }

  static int rarityOfWord(const QString& word) {
    static const auto kWords = [] {
      static const std::pair<QStringView, QStringView> kEnglish[] = {{u"C", u"c common"},
                                                                     {u"U", u"u uncommon"},
                                                                     {u"R", u"r rare"},
                                                                     {u"M", u"m mythic"},
                                                                     {u"S", u"s special"}};
      auto out = foldedWords(kEnglish);
      for (const RarityCode& r : rarityCodes()) out.emplace_back(foldName(r.label), r.code);
      return out;
    }();
    const auto code = lookUp(kWords, word);
    return code ? rarityRank(*code) : -1;
  }

  bool readFormat(QStringView value, Term& term) const {
    const QString word = foldName(value);
    if (formats_.empty()) {
      term.text = word;
      return !word.isEmpty() && std::all_of(word.begin(), word.end(), [](QChar c) {
        return c.unicode() < 0x80 && c.isLetterOrNumber();
      });
    }
    for (const Format& f : formats_)
      if (word == foldName(f.key) || word == foldName(f.name)) {
        term.text = f.key;
        return true;
      }
    return false;
  }

  int leaf(Term term, qsizetype begin, qsizetype end) {
    term.typed = s_.mid(begin, end - begin).toString();
    q_.terms_.push_back(std::move(term));
    return add({Node::Leaf, int(q_.terms_.size() - 1), {}});
  }

  int add(Node node) {
    q_.nodes_.push_back(std::move(node));
    return int(q_.nodes_.size() - 1);
  }

  // Parts that hold nothing to filter by are left out.
  int join(Node::Kind kind, std::vector<int> parts) {
    std::erase(parts, -1);
    if (parts.empty()) return -1;
    if (parts.size() == 1) return parts.front();
    return add({kind, -1, std::move(parts)});
  }

  int fail(const Token& t) { return fail(t.begin, t.end); }
  int fail(qsizetype begin, qsizetype end) {
    if (error_.isEmpty()) error_ = s_.mid(begin, end - begin).toString();
    return -1;
  }

  QStringView s_;
  std::vector<Token> tokens_;
  const std::vector<Format>& formats_;
  size_t pos_ = 0;
  static constexpr int kMaxDepth = 200;
  int depth_ = 0;
  Query q_;
  QString error_;
};

Parsed parseQuery(QStringView text, const std::vector<Format>& formats) {
  return Parser(text, formats).run();
}

}  // namespace tv::query
