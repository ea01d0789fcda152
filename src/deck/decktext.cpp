#include "deck/decktext.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <optional>
#include <vector>

#include "carddb/codes.h"
#include "carddb/setcodes.h"
#include "text/atomicfile.h"
#include "text/fold.h"
#include "text/shiftjis.h"

namespace tv {
namespace {

constexpr int kMaxCandidatesShown = 5;

enum class LineKind { Blank, Comment, MainHeader, SideHeader, Card, Unreadable };

struct ReadLine {
  LineKind kind = LineKind::Unreadable;
  bool sideMark = false;  // "SB:"
  qint64 copies = 0;
  QString name, setCode;
  QString problem;  // a card line refused for its count still holds its place in its section
};

const QString& unreadable() {
  static const QString s = QStringLiteral("読めない行です");
  return s;
}
const QString& tooManyCopies() {
  static const QString s = QStringLiteral("枚数が多すぎます（1枚のカードは%1枚まで）").arg(kMaxCopies);
  return s;
}

// Each form is read by a scan from one end or the other, never by trying
// every split: a line of any length is read in time linear in its length.

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isCodeChar(QChar c) { return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'_'); }

qsizetype skipBlanks(QStringView s, qsizetype i) {
  while (i < s.size() && s[i].isSpace()) ++i;
  return i;
}

// "(SET)" ending at `end`, one to ten letters, digits or "_": the "(" position, or -1.
qsizetype codeInParensBefore(QStringView s, qsizetype end) {
  if (end < 3 || s[end - 1] != u')') return -1;
  qsizetype open = end - 2;
  while (open >= 0 && end - 2 - open < 10 && isCodeChar(s[open])) --open;
  return open >= 0 && open < end - 2 && s[open] == u'(' ? open : -1;
}

std::optional<LineKind> headerKind(QStringView line) {
  if (line.endsWith(u':')) line.chop(1);
  // A count after the word: "Sideboard (15)", "Deck 60".
  qsizetype end = line.size();
  if (end > 0 && line[end - 1] == u')') --end;
  const qsizetype digitsEnd = end;
  while (end > 0 && isDigit(line[end - 1])) --end;
  if (end < digitsEnd) {
    if (end > 0 && line[end - 1] == u'(') --end;
    line = line.first(end);
  }
  line = line.trimmed();
  static constexpr QStringView kMain[] = {u"deck",      u"main",   u"maindeck",    u"main deck",
                                          u"mainboard", u"メイン", u"メインデッキ"};
  static constexpr QStringView kSide[] = {u"sideboard",  u"side",         u"sb",
                                          u"side board", u"サイドボード", u"サイド"};
  const auto is = [line](QStringView h) {
    return line.size() == h.size() && line.compare(h, Qt::CaseInsensitive) == 0;
  };
  if (std::any_of(std::begin(kMain), std::end(kMain), is)) return LineKind::MainHeader;
  if (std::any_of(std::begin(kSide), std::end(kSide), is)) return LineKind::SideHeader;
  return std::nullopt;
}

// "SB:" prefix, the count with an optional x, blanks, the rest.
bool readCardLine(QStringView line, ReadLine& out, QStringView& rest) {
  qsizetype i = 0;
  bool sideMark = false;
  if (line.size() > 2 && (line[0] == u'S' || line[0] == u's') && (line[1] == u'B' || line[1] == u'b')) {
    const qsizetype colon = skipBlanks(line, 2);
    if (colon < line.size() && line[colon] == u':') {
      sideMark = true;
      i = skipBlanks(line, colon + 1);
    }
  }
  const qsizetype digits = i;
  while (i < line.size() && isDigit(line[i])) ++i;
  if (i == digits) return false;
  QStringView count = line.sliced(digits, i - digits);
  while (count.size() > 1 && count.front() == u'0') count = count.sliced(1);
  // "4x Name", "4 x Name", "4× Name"; else the blanks right after the count.
  const qsizetype x = skipBlanks(line, i);
  if (x + 1 < line.size() && (line[x] == u'x' || line[x] == u'X' || line[x] == u'×') && line[x + 1].isSpace())
    i = x + 1;
  if (i >= line.size() || !line[i].isSpace()) return false;
  rest = line.sliced(skipBlanks(line, i));  // never empty: the line is trimmed
  out.sideMark = sideMark;
  out.copies = count.size() <= 5 ? count.toLongLong() : kMaxCopies + 1;
  return true;
}

// "[SET] Name", "Name (SET)", "Name (SET) 123".
void readSetCode(QStringView rest, ReadLine& out) {
  if (rest.startsWith(u'[')) {
    qsizetype close = 1;
    while (close < rest.size() && close <= 10 && isCodeChar(rest[close])) ++close;
    const qsizetype name = close < rest.size() ? skipBlanks(rest, close + 1) : close;
    if (close > 1 && close < rest.size() && rest[close] == u']' && name < rest.size()) {
      out.setCode = rest.sliced(1, close - 1).toString();
      out.name = rest.sliced(name).trimmed().toString();
      return;
    }
  }
  // With a collector number the code stands before the last word, else at the end.
  qsizetype word = rest.size();
  while (word > 0 && !rest[word - 1].isSpace()) --word;
  qsizetype blanks = word;
  while (blanks > 0 && rest[blanks - 1].isSpace()) --blanks;
  qsizetype open = blanks < word ? codeInParensBefore(rest, blanks) : -1;
  qsizetype close = blanks;
  if (open < 1) {
    open = codeInParensBefore(rest, rest.size());
    close = rest.size();
  }
  if (open >= 1) {
    out.setCode = rest.sliced(open + 1, close - open - 2).toString();
    rest = rest.first(open);
  }
  out.name = rest.trimmed().toString();
}

ReadLine readLine(const QString& raw) {
  ReadLine out;
  // Full-width digits, letters, signs and spaces read as their ASCII forms.
  const QString normal = normalizedKC(raw);
  const QStringView line = QStringView(normal).trimmed();
  if (line.isEmpty()) {
    out.kind = LineKind::Blank;
    return out;
  }
  if (line.startsWith(u"//") || line.startsWith(u'#')) {
    out.kind = LineKind::Comment;
    return out;
  }
  if (const auto header = headerKind(line)) {
    out.kind = *header;
    return out;
  }
  QStringView rest;
  if (!readCardLine(line, out, rest)) {
    out.problem = unreadable();
    return out;
  }
  out.kind = LineKind::Card;
  if (out.copies > kMaxCopies)
    out.problem = tooManyCopies();
  else if (out.copies == 0)
    out.problem = QStringLiteral("枚数が 0 です");
  else
    readSetCode(rest, out);
  return out;
}

// The lines without their ends: CR LF, LF, and a lone CR as old Mac text ends them.
QStringList splitLines(QStringView text) {
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != u'\n' && text[i] != u'\r') continue;
    lines << text.sliced(start, i - start).toString();
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  lines << text.sliced(start).toString();
  return lines;
}

const CardNames::Printing* choosePrinting(const CardNames::Card& card, const QString& setCode) {
  if (!setCode.isEmpty()) {
    // The code as the card database has it first, then as the set table maps it.
    for (const QString& code : {setCode, classicSetCode(setCode)}) {
      if (code.isEmpty()) continue;
      for (const CardNames::Printing& p : card.printings)
        if (p.CardSetEx.compare(code, Qt::CaseInsensitive) == 0) return &p;
    }
  }
  return card.printings.empty() ? nullptr : &card.printings.front();
}

}  // namespace

ParsedDeckText parseDeckText(QStringView text) {
  if (text.startsWith(QChar(0xFEFF))) text = text.mid(1);
  ParsedDeckText out;
  out.lines = splitLines(text);

  // Cards and problems as each line is read; which half a card goes to is
  // known once every line is.
  struct Mark {
    LineKind kind;
    bool sideMark, card;
  };
  std::vector<Mark> marks;
  marks.reserve(size_t(out.lines.size()));
  bool explicitSide = false;
  for (qsizetype i = 0; i < out.lines.size(); ++i) {
    ReadLine r = readLine(out.lines[i]);
    const int number = int(i) + 1;
    marks.push_back({r.kind, r.sideMark, r.kind == LineKind::Card && r.problem.isEmpty()});
    explicitSide = explicitSide || r.kind == LineKind::SideHeader || r.sideMark;
    if (!r.problem.isEmpty())
      out.problems << DeckTextProblem{number, out.lines[i], std::move(r.problem), false};
    else if (r.kind == LineKind::Card)
      out.cards << DeckTextLine{number, r.sideMark, r.copies, std::move(r.name), std::move(r.setCode)};
  }

  bool side = false, cardsInSection = false;
  qsizetype card = 0;
  for (const Mark& m : marks) {
    switch (m.kind) {
      case LineKind::Blank:
        if (!explicitSide && !side && cardsInSection) side = true;
        break;
      case LineKind::MainHeader:
      case LineKind::SideHeader:
        side = m.kind == LineKind::SideHeader;
        cardsInSection = false;
        break;
      case LineKind::Card:
        cardsInSection = true;
        if (m.card) out.cards[card++].side = side || m.sideMark;
        break;
      case LineKind::Comment:
      case LineKind::Unreadable:
        break;
    }
  }
  return out;
}

DeckTextImport importDeckText(QStringView text, const CardNames& names) {
  ParsedDeckText parsed = parseDeckText(text);
  DeckTextImport out;
  QList<DeckTextProblem>& problems = out.problems;
  problems = std::move(parsed.problems);
  auto lineAt = [&](int number) { return parsed.lines.value(number - 1); };
  // Each pass below lists its problems in line order: the runs are merged, not sorted.
  const auto byLine = [](const DeckTextProblem& a, const DeckTextProblem& b) { return a.line < b.line; };
  const auto mergeFrom = [&](qsizetype run) {
    std::inplace_merge(problems.begin(), problems.begin() + run, problems.end(), byLine);
  };

  struct Row {
    int firstLine;
    bool free;  // of the four-copy limit
  };
  QHash<QString, int> rowOf[2];  // card key -> index in the half
  QList<Row> rows[2];

  qsizetype run = problems.size();
  for (const DeckTextLine& l : parsed.cards) {
    const CardNames::Lookup found = names.find(l.name);
    if (!found.card) {
      QString reason;
      if (found.candidates.isEmpty()) {
        reason = QStringLiteral("カードが見つかりません");
      } else {
        QStringList shown = found.candidates.mid(0, kMaxCandidatesShown);
        if (found.candidates.size() > kMaxCandidatesShown) shown << QStringLiteral("…");
        reason = QStringLiteral("複数のカードに当てはまります: ") + shown.join(QStringLiteral(" / "));
      }
      problems << DeckTextProblem{l.line, lineAt(l.line), reason, false};
      continue;
    }
    const CardNames::Printing* p = choosePrinting(*found.card, l.setCode);
    if (!p) continue;
    const int half = l.side ? 1 : 0;
    QList<DeckEntry>& entries = l.side ? out.deck.side : out.deck.main;
    const QString key = p->CardSetEx.toLower() + u'\x1f' + p->NameE.toLower();
    const auto it = rowOf[half].constFind(key);
    if (it != rowOf[half].cend()) {
      qint64& copies = entries[*it].CardMaisu;
      if (copies + l.copies > kMaxCopies)
        problems << DeckTextProblem{l.line, lineAt(l.line),
                                    QStringLiteral("同じカードと合わせると%1枚を超えます").arg(kMaxCopies),
                                    false};
      else
        copies += l.copies;
      continue;
    }
    rowOf[half].insert(key, int(entries.size()));
    entries << DeckEntry{p->CardSetEx, p->NameE, l.copies};
    rows[half] << Row{l.line, p->basicLand};
  }
  mergeFrom(run);

  for (int half = 0; half < 2; ++half) {
    const QList<DeckEntry>& entries = half ? out.deck.side : out.deck.main;
    run = problems.size();
    for (qsizetype i = 0; i < entries.size(); ++i) {
      if (entries[i].CardMaisu <= kCopyLimit || rows[half][i].free) continue;
      const int line = rows[half][i].firstLine;
      problems << DeckTextProblem{line, lineAt(line),
                                  QStringLiteral("%1枚を超えています（%2枚、そのまま読み込みます）")
                                      .arg(kCopyLimit)
                                      .arg(entries[i].CardMaisu),
                                  true};
    }
    mergeFrom(run);
  }
  return out;
}

std::optional<QString> deckTextRefusal(QStringView text, qsizetype linesBefore, qsizetype bytesBefore) {
  qsizetype bytes = bytesBefore, lines = linesBefore + 1, longest = 0, start = 0;
  int longestLine = 0;
  for (qsizetype i = 0; i <= text.size(); ++i) {
    const char16_t c = i < text.size() ? text[i].unicode() : u'\n';
    bytes += c < 0x80 ? 1 : c < 0x800 || QChar::isSurrogate(c) ? 2 : 3;
    if (c != u'\n' && c != u'\r') continue;
    if (i - start > longest) {
      longest = i - start;
      longestLine = int(lines - linesBefore);
    }
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      ++i;
      ++bytes;
    }
    if (i < text.size()) ++lines;
    start = i + 1;
  }
  if (bytes - 1 > kMaxDeckTextFileSize)  // the line end counted after the last line
    return QStringLiteral("テキストが大きすぎます（%1 KB まで）。").arg(kMaxDeckTextFileSize / 1024);
  if (lines > kMaxDeckTextLines)
    return QStringLiteral("行が多すぎます（%1 行。%2 行まで）。").arg(lines).arg(kMaxDeckTextLines);
  if (longest > kMaxDeckTextLine)
    return QStringLiteral("%1 行目が長すぎます（%2 文字。1 行 %3 文字まで）。")
        .arg(longestLine)
        .arg(longest)
        .arg(kMaxDeckTextLine);
  return std::nullopt;
}

std::optional<QString> deckTextFromBytes(QByteArrayView bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(bytes);
  if (!utf8.hasError()) return text;
  return decodeShiftJis(bytes);
}

DeckTextFile readDeckTextFile(const QString& path) {
  const QString cannot = QStringLiteral("ファイルを読めませんでした。\r\n");
  QString reason;
  const std::optional<QByteArray> bytes = readFileAtMost(path, kMaxDeckTextFileSize, &reason);
  if (!bytes) return {{}, cannot + reason};
  if (bytes->size() > kMaxDeckTextFileSize)
    return {{}, cannot + QStringLiteral("テキストファイルとして大きすぎます。")};
  std::optional<QString> text = deckTextFromBytes(*bytes);
  if (!text) return {{}, cannot + QStringLiteral("UTF-8 でも Shift-JIS でもありません。")};
  return {std::move(text), {}};
}

QString writeDeckText(const Deck& deck, const CardNames& names) {
  static const QRegularExpression plainCode(QStringLiteral("^[A-Za-z0-9_]{1,10}$"));
  auto write = [&](const QList<DeckEntry>& entries, QString& out) {
    for (const DeckEntry& e : entries) {
      if (e.CardMaisu <= 0) continue;
      out += QString::number(e.CardMaisu) + u' ' + e.NameE;
      // Only where the name alone would find another printing.
      const CardNames::Lookup found = names.find(e.NameE);
      const bool nameSuffices =
          found.card && !found.card->printings.empty() &&
          found.card->printings.front().CardSetEx.compare(e.CardSetEx, Qt::CaseInsensitive) == 0;
      if (!nameSuffices) {
        QString code = listSetCode(e.CardSetEx);
        if (code.isEmpty()) code = e.CardSetEx;
        if (plainCode.match(code).hasMatch()) out += QStringLiteral(" (") + code + u')';
      }
      out += u'\n';
    }
  };
  QString main, side;
  write(deck.main, main);
  write(deck.side, side);
  if (side.isEmpty()) return main;
  // With no main deck a blank line would start nothing: name the section.
  return main + (main.isEmpty() ? QStringLiteral("Sideboard\n") : QStringLiteral("\n")) + side;
}

}  // namespace tv
