#include "text/csv.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

namespace tv {

CsvTable CsvTable::read(const QString& path) {
  // A device or a pipe could feed bytes for ever: only regular files of a sane size.
  constexpr qint64 kMaxBytes = qint64(1) << 30;
  const QFileInfo info(path);
  if (info.exists() && !info.isFile())
    throw FileError(QStringLiteral("%1: cannot read: not a regular file").arg(path));
  if (info.size() > kMaxBytes) throw FileError(QStringLiteral("%1: cannot read: larger than 1 GB").arg(path));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw FileError(QStringLiteral("%1: cannot read: %2").arg(path, file.errorString()));
  // In pieces: a read of kMaxBytes at once would reserve that much memory first.
  QByteArray bytes;
  for (QByteArray piece; !(piece = file.read(qint64(1) << 20)).isEmpty();) {
    bytes += piece;
    if (bytes.size() > kMaxBytes)
      throw FileError(QStringLiteral("%1: cannot read: larger than 1 GB").arg(path));
  }
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder(bytes);
  if (decoder.hasError()) {
    // Find the line for the message; valid UTF-8 never contains U+FFFD from a bad byte.
    const int line = int(text.left(text.indexOf(QChar::ReplacementCharacter)).count(u'\n')) + 1;
    throw errorAt(path, line, QStringLiteral("not UTF-8 text"));
  }
  return parse(text, path);
}

CsvTable CsvTable::parse(const QString& input, const QString& fileName) {
  CsvTable table;
  table.fileName_ = fileName;
  QStringView text(input);
  if (text.startsWith(QChar(0xFEFF))) text = text.mid(1);

  std::vector<CsvRecord> records;
  CsvRecord record;
  QString field;
  int line = 1;
  bool inRecord = false;  // something of the current record has been read
  const qsizetype n = text.size();
  qsizetype i = 0;

  auto endField = [&] {
    record.fields << field;
    field.clear();
  };
  auto endRecord = [&] {
    endField();
    records.push_back(std::move(record));
    record = {};
    inRecord = false;
  };

  while (i < n) {
    if (!inRecord) {
      // Blank lines between records carry nothing.
      if (text[i] == u'\n' || (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')) {
        i += text[i] == u'\r' ? 2 : 1;
        ++line;
        continue;
      }
      inRecord = true;
      record.line = line;
    }
    const QChar c = text[i];
    // Checked for quoted fields too: a NUL fails later with no line to name, and a
    // lone CR (old Mac line ends) would make one long record with a puzzling count.
    if (c == QChar(0)) throw errorAt(fileName, line, QStringLiteral("NUL byte in a field"));
    if (c == u'\r' && !(i + 1 < n && text[i + 1] == u'\n'))
      throw errorAt(fileName, line, QStringLiteral("CR without LF: lines must end in LF or CR LF"));
    if (c == u'"' && field.isEmpty()) {
      // Quoted field: runs to the next lone quote; "" is a quote.
      const int opened = line;
      ++i;
      for (;;) {
        if (i >= n) throw errorAt(fileName, opened, QStringLiteral("quoted field is never closed"));
        if (text[i] == u'"') {
          if (i + 1 < n && text[i + 1] == u'"') {
            field += u'"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (text[i] == u'\n') ++line;
        if (text[i] == QChar(0)) throw errorAt(fileName, line, QStringLiteral("NUL byte in a field"));
        if (text[i] == u'\r' && !(i + 1 < n && text[i + 1] == u'\n'))
          throw errorAt(fileName, line, QStringLiteral("CR without LF: lines must end in LF or CR LF"));
        field += text[i++];
      }
      if (i < n && text[i] != u',' && text[i] != u'\n' &&
          !(text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n'))
        throw errorAt(fileName, line, QStringLiteral("text after the closing quote of a field"));
      // An empty quoted field must not look like an unquoted one to the next character.
      if (i < n && text[i] == u',') {
        endField();
        ++i;
      }
      continue;
    }
    if (c == u'"') throw errorAt(fileName, line, QStringLiteral("quote inside an unquoted field"));
    if (c == u',') {
      endField();
      ++i;
    } else if (c == u'\n' || (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')) {
      endRecord();
      i += c == u'\r' ? 2 : 1;
      ++line;
    } else {
      field += c;
      ++i;
    }
  }
  if (inRecord) endRecord();

  if (records.empty()) throw errorAt(fileName, 1, QStringLiteral("no header row"));
  table.header_ = records.front().fields;
  QSet<QString> seen;
  for (const QString& name : table.header_) {
    if (name.isEmpty()) throw errorAt(fileName, 1, QStringLiteral("empty column name in the header"));
    if (seen.contains(name))
      throw errorAt(fileName, 1, QStringLiteral("column '%1' appears twice").arg(name));
    seen.insert(name);
  }
  for (auto it = records.begin() + 1; it != records.end(); ++it) {
    if (it->fields.size() != table.header_.size())
      throw errorAt(fileName, it->line,
                    QStringLiteral("%1 fields where the header has %2")
                        .arg(it->fields.size())
                        .arg(table.header_.size()));
    table.records_.push_back(std::move(*it));
  }
  return table;
}

int CsvTable::require(const QString& name) const {
  const int i = column(name);
  if (i < 0) throw errorAt(fileName_, 1, QStringLiteral("missing column '%1'").arg(name));
  return i;
}

}  // namespace tv
