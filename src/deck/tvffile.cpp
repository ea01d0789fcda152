#include "deck/tvffile.h"

#include <QHash>

#include "text/shiftjis.h"

namespace tv {
namespace {

QString withoutQuotes(QString text) { return text.replace(u'"', QChar(kQuoteStandIn)); }

// Title and comment: any line break as CR LF.
QString withCrLf(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
  return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

QString withLf(QString text) {
  return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

void appendQuoted(QString& out, const QString& value) {
  out += u'"';
  out += withoutQuotes(value);
  out += u'"';
}

void appendSection(QString& out, const QList<DeckEntry>& entries) {
  for (const DeckEntry& e : entries) {
    appendQuoted(out, tvfCardText(e.CardSetEx));
    out += u',';
    appendQuoted(out, tvfCardText(e.NameE));
    out += u',';
    out += QString::number(e.CardMaisu);
    out += QStringLiteral("\r\n");
  }
}

bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

// The fields of the decoded text, one after another.
class FieldStream {
 public:
  explicit FieldStream(QStringView text) : s_(text) {}

  // Only line ends left counts as the end: an editor's extra blank line at
  // the end of a file is no record.
  bool atEnd() const {
    for (qsizetype i = pos_; i < s_.size(); ++i)
      if (!isLineEnd(s_[i])) return false;
    return true;
  }
  int line() const { return line_; }

  // The next field's value; an error text when nothing is left or a quote
  // is never closed.
  std::optional<QString> next(QString& error) {
    if (pos_ >= s_.size()) {
      error = QStringLiteral("%1行目でファイルが途中で終わっています。").arg(line_);
      return std::nullopt;
    }
    QString value;
    if (s_[pos_] == u'"') {
      const int opened = line_;
      const qsizetype close = s_.indexOf(u'"', pos_ + 1);
      if (close < 0) {
        error = QStringLiteral("%1行目の二重引用符が閉じていません。").arg(opened);
        return std::nullopt;
      }
      value = s_.sliced(pos_ + 1, close - pos_ - 1).toString();
      countLines(value);
      pos_ = close + 1;
      while (pos_ < s_.size() && s_[pos_] != u',' && !isLineEnd(s_[pos_])) ++pos_;
    } else {
      const qsizetype start = pos_;
      while (pos_ < s_.size() && s_[pos_] != u',' && !isLineEnd(s_[pos_])) ++pos_;
      value = s_.sliced(start, pos_ - start).toString();
    }
    skipDelimiter();
    return value;
  }

 private:
  void countLines(QStringView v) {
    for (qsizetype i = 0; i < v.size(); ++i)
      if (v[i] == u'\n' || (v[i] == u'\r' && (i + 1 >= v.size() || v[i + 1] != u'\n'))) ++line_;
  }
  void skipDelimiter() {
    if (pos_ >= s_.size()) return;
    if (s_[pos_] == u',') {
      ++pos_;
      return;
    }
    if (s_[pos_] == u'\r' && pos_ + 1 < s_.size() && s_[pos_ + 1] == u'\n') ++pos_;
    ++pos_;
    ++line_;
  }

  QStringView s_;
  qsizetype pos_ = 0;
  int line_ = 1;
};

// Digits, blanks around them allowed; -1 when not a whole number from 0 up,
// kMaxCopies + 1 for any number past the limit.
qint64 copyCount(QStringView field) {
  const QStringView digits = field.trimmed();
  if (digits.isEmpty()) return -1;
  qint64 n = 0;
  for (QChar c : digits) {
    if (c < u'0' || c > u'9') return -1;
    n = qMin(n * 10 + (c.unicode() - u'0'), kMaxCopies + 1);
  }
  return n;
}

// The card key as the engine compares it: ASCII letters without regard to case.
QString foldedKey(const DeckEntry& e) { return cardKey(e.CardSetEx, e.NameE); }

struct Section {
  QList<DeckEntry>& entries;
  QHash<QString, qsizetype> index;

  // False when the merged count no longer fits.
  bool add(DeckEntry e) {
    const QString key = foldedKey(e);
    const auto it = index.constFind(key);
    if (it == index.cend()) {
      index.insert(key, entries.size());
      entries.append(std::move(e));
      return true;
    }
    qint64& copies = entries[*it].CardMaisu;
    copies += e.CardMaisu;
    return copies <= kMaxCopies;
  }
};

}  // namespace

QString tvfCardText(const QString& text) { return withoutQuotes(foldToShiftJis(text)); }

QString currentExpansionCode(const QString& code) {
  if (code == u"IV") return QStringLiteral("IN");
  if (code == u"PS") return QStringLiteral("PL");
  if (code == u"TM") return QStringLiteral("TO");
  if (code == u"JM") return QStringLiteral("JU");
  return code;
}

TvfEncoded encodeTvf(const Deck& deck) {
  QString text;
  appendQuoted(text, withCrLf(deck.title));
  text += u',';
  appendQuoted(text, withCrLf(deck.comment));
  text += QStringLiteral("\r\n");
  appendSection(text, deck.main);
  text += QStringLiteral("0,0,0\r\n");
  appendSection(text, deck.side);
  TvfEncoded out;
  out.bytes = encodeShiftJis(text, &out.badChar);
  return out;
}

TvfDecoded decodeTvf(QByteArrayView bytes) {
  TvfDecoded out;
  const std::optional<QString> text = decodeShiftJis(bytes);
  if (!text) {
    out.error = QStringLiteral("Shift-JISの文字として読めないバイトがあります。");
    return out;
  }
  FieldStream in(*text);
  Deck deck;
  QString& error = out.error;

  const auto title = in.next(error);
  if (!title) return out;
  const auto comment = in.next(error);
  if (!comment) return out;
  deck.title = withLf(*title);
  deck.comment = withLf(*comment);

  // One record; nothing when the file ends in it or its count is bad.
  const auto record = [&](bool& separator) -> std::optional<DeckEntry> {
    const int line = in.line();
    const auto code = in.next(error);
    if (!code) return std::nullopt;
    const auto name = in.next(error);
    if (!name) return std::nullopt;
    const auto count = in.next(error);
    if (!count) return std::nullopt;
    const qint64 copies = copyCount(*count);
    if (copies < 0) {
      error = QStringLiteral("%1行目の枚数「%2」が0以上の整数ではありません。").arg(line).arg(*count);
      return std::nullopt;
    }
    if (copies > kMaxCopies) {
      error = QStringLiteral("%1行目の「%2」の枚数「%3」は%4枚を超えています。")
                  .arg(QString::number(line), *name, count->trimmed(), QString::number(kMaxCopies));
      return std::nullopt;
    }
    // Fields as a save writes them back: the count as a number ("0,0,0 "
    // separates too), a quote in a bare field as ＂ (Shift-JIS needs no folding).
    separator = *code == u"0" && *name == u"0" && copies == 0;
    return DeckEntry{currentExpansionCode(withoutQuotes(*code)), withoutQuotes(*name), copies};
  };
  // False when the file is to be refused.
  const auto add = [&](Section& section, const DeckEntry& e) {
    if (section.add(e)) return true;
    error = QStringLiteral("「%1」の枚数が合わせて%2枚を超えています。")
                .arg(e.NameE, QString::number(kMaxCopies));
    return false;
  };

  // Only the main deck ends at the separator; in the sideboard it is a card.
  Section main{deck.main, {}};
  while (!in.atEnd()) {
    bool separator = false;
    const auto e = record(separator);
    if (!e) return out;
    if (separator) break;
    if (!add(main, *e)) return out;
  }
  Section side{deck.side, {}};
  while (!in.atEnd()) {
    bool separator = false;
    const auto e = record(separator);
    if (!e || !add(side, *e)) return out;
  }
  out.deck = std::move(deck);
  return out;
}

}  // namespace tv
