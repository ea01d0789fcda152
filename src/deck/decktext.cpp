#include "deck/decktext.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <optional>

#include "carddb/codes.h"
#include "carddb/setcodes.h"
#include "deck/deckedit.h"
#include "text/atomicfile.h"
#include "text/shiftjis.h"

namespace tv {
namespace {

// More copies than any deck holds: a number this long is not a count.
constexpr qint64 kMaxCopies = 9999;
constexpr int kMaxCandidatesShown = 5;

enum class LineKind { Blank, Comment, MainHeader, SideHeader, Card, Unreadable };

struct ReadLine {
  LineKind kind = LineKind::Unreadable;
  bool sideMark = false;  // "SB:"
  qint64 copies = 0;
  QString name, setCode, problem;
};

const QRegularExpression& cardLinePattern() {
  // "SB:" prefix, the count with an optional x, the rest is the name.
  static const QRegularExpression re(QStringLiteral(R"(^(SB\s*:\s*)?([0-9]+)(?:\s*[x×])?\s+(.+)$)"),
                                     QRegularExpression::CaseInsensitiveOption);
  return re;
}

const QRegularExpression& leadingSetPattern() {
  static const QRegularExpression re(QStringLiteral(R"(^\[([A-Za-z0-9_]{1,10})\]\s*(.+)$)"));
  return re;
}

const QRegularExpression& trailingSetPattern() {
  // "(SET)" or "(SET) 123", Arena's set code and collector number.
  static const QRegularExpression re(QStringLiteral(R"(^(.+?)\s*\(([A-Za-z0-9_]{1,10})\)(?:\s+\S+)?$)"));
  return re;
}

std::optional<LineKind> headerKind(QString line) {
  static const QRegularExpression countSuffix(QStringLiteral(R"(\s*\(?[0-9]+\)?$)"));
  line = line.toLower();
  if (line.endsWith(u':')) line.chop(1);
  line.remove(countSuffix);
  line = line.trimmed();
  for (const char16_t* h :
       {u"deck", u"main", u"maindeck", u"main deck", u"mainboard", u"メイン", u"メインデッキ"})
    if (line == QStringView(h)) return LineKind::MainHeader;
  for (const char16_t* h : {u"sideboard", u"side", u"sb", u"side board", u"サイドボード", u"サイド"})
    if (line == QStringView(h)) return LineKind::SideHeader;
  return std::nullopt;
}

ReadLine readLine(QStringView raw) {
  ReadLine out;
  // Full-width digits, letters, signs and spaces read as their ASCII forms.
  const QString line = raw.toString().normalized(QString::NormalizationForm_KC).trimmed();
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
  const auto m = cardLinePattern().match(line);
  if (!m.hasMatch()) {
    out.problem = QStringLiteral("読めない行です");
    return out;
  }
  out.sideMark = m.capturedLength(1) > 0;
  bool ok = false;
  const QStringView digits = m.capturedView(2);
  out.copies = digits.size() <= 9 ? digits.toLongLong(&ok) : 0;
  if (!ok || out.copies > kMaxCopies) {
    out.problem = QStringLiteral("枚数が多すぎます");
    return out;
  }
  if (out.copies == 0) {
    out.problem = QStringLiteral("枚数が 0 です");
    return out;
  }
  QString name = m.captured(3);
  if (const auto s = leadingSetPattern().match(name); s.hasMatch()) {
    out.setCode = s.captured(1);
    name = s.captured(2);
  } else if (const auto t = trailingSetPattern().match(name); t.hasMatch()) {
    out.setCode = t.captured(2);
    name = t.captured(1);
  }
  out.name = name.trimmed();
  out.kind = LineKind::Card;
  return out;
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
  // CR LF, LF, and a lone CR as old Mac text ends its lines.
  static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
  out.lines = text.toString().split(lineEnd);

  QList<ReadLine> read;
  read.reserve(out.lines.size());
  bool explicitSide = false;
  for (const QString& line : out.lines) {
    read << readLine(line);
    explicitSide = explicitSide || read.back().kind == LineKind::SideHeader || read.back().sideMark;
  }

  bool side = false, cardsInSection = false;
  for (qsizetype i = 0; i < read.size(); ++i) {
    const ReadLine& r = read[i];
    const int number = int(i) + 1;
    switch (r.kind) {
      case LineKind::Blank:
        if (!explicitSide && !side && cardsInSection) side = true;
        break;
      case LineKind::Comment:
        break;
      case LineKind::MainHeader:
      case LineKind::SideHeader:
        side = r.kind == LineKind::SideHeader;
        cardsInSection = false;
        break;
      case LineKind::Card:
        out.cards << DeckTextLine{number, side || r.sideMark, r.copies, r.name, r.setCode};
        cardsInSection = true;
        break;
      case LineKind::Unreadable:
        out.problems << DeckTextProblem{number, out.lines[i], r.problem, false};
        break;
    }
  }
  return out;
}

DeckTextImport importDeckText(QStringView text, const CardNames& names, Database& db) {
  const ParsedDeckText parsed = parseDeckText(text);
  DeckTextImport out;
  QList<DeckTextProblem> problems = parsed.problems;
  auto lineAt = [&](int number) { return parsed.lines.value(number - 1); };

  QHash<QString, int> rowOf[2];  // card key -> index in the half
  QList<int> firstLine[2];

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
      entries[*it].CardMaisu += l.copies;
      continue;
    }
    rowOf[half].insert(key, int(entries.size()));
    entries << DeckEntry{p->CardSetEx, p->NameE, l.copies};
    firstLine[half] << l.line;
  }

  for (int half = 0; half < 2; ++half) {
    const QList<DeckEntry>& entries = half ? out.deck.side : out.deck.main;
    for (qsizetype i = 0; i < entries.size(); ++i) {
      if (entries[i].CardMaisu <= kCopyLimit || isBasicLand(db, entries[i].CardSetEx, entries[i].NameE))
        continue;
      problems << DeckTextProblem{firstLine[half][i], lineAt(firstLine[half][i]),
                                  QStringLiteral("%1枚を超えています（%2枚、そのまま読み込みます）")
                                      .arg(kCopyLimit)
                                      .arg(entries[i].CardMaisu),
                                  true};
    }
  }
  std::stable_sort(problems.begin(), problems.end(),
                   [](const DeckTextProblem& a, const DeckTextProblem& b) { return a.line < b.line; });
  out.problems = problems;
  return out;
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
