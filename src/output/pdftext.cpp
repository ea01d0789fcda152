#include "output/pdftext.h"

// qpdf's own smart pointers give way to std::shared_ptr.
#define POINTERHOLDER_TRANSITION 4
#include <QGlyphRun>
#include <QRawFont>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextLayout>
#include <QtEndian>
#include <algorithm>
#include <cctype>
#include <optional>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>
#include <string>
#include <string_view>
#include <vector>

namespace tv {

namespace {

// A face the document was drawn in, with the printed character each of its
// glyphs stands for (the lowest, where it draws several alike).
struct Face {
  QRawFont font;
  QHash<quint32, char32_t> printedByGlyph;

  quint32 glyph(char32_t c) const {
    const QList<quint32> glyphs = font.glyphIndexesForString(QString::fromUcs4(&c, 1));
    return glyphs.size() == 1 ? glyphs[0] : 0;
  }
};

// The face's PostScript name (name 6 of its name table), which the PDF writer
// gives the font as its BaseFont with blanks as '_'.
QString postScriptName(const QRawFont& font) {
  const QByteArray table = font.fontTable("name");
  auto u16 = [&](qsizetype at) {
    return at >= 0 && at + 2 <= table.size() ? int(qFromBigEndian<quint16>(table.constData() + at)) : -1;
  };
  const int count = u16(2), strings = u16(4);
  for (int i = 0; i < count; ++i) {
    const qsizetype record = 6 + 12 * qsizetype(i);
    const int platform = u16(record), nameId = u16(record + 6), length = u16(record + 8);
    const qsizetype at = qsizetype(strings) + u16(record + 10);
    if (nameId != 6 || length < 0 || at < strings || at + length > table.size()) continue;
    const QByteArray bytes = table.mid(at, length);
    if (platform == 0 || platform == 3) return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes);
    if (platform == 1) return QString::fromLatin1(bytes);
  }
  return {};
}

QString hexUtf16(const QString& text) {
  QString hex;
  for (QChar c : text) hex += QStringLiteral("%1").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper();
  return hex;
}

QString fromHexUtf16(const std::string& hex) {
  QString text;
  for (size_t i = 0; i + 4 <= hex.size(); i += 4)
    text += QChar(char16_t(std::stoul(hex.substr(i, 4), nullptr, 16)));
  return text;
}

// A ToUnicode character map: its text before and after the mappings, and
// each code with the text it stands for.
struct CharacterMap {
  std::string head, tail;
  struct Entry {
    quint32 code;
    int digits;
    QString text;
  };
  std::vector<Entry> entries;
};

std::optional<CharacterMap> parseCharacterMap(const std::string& text) {
  struct Token {
    std::string value;
    size_t start, end;
    bool hex;
  };
  std::vector<Token> tokens;
  auto delimiter = [](char c) { return std::string_view("<>[]()/").find(c) != std::string_view::npos; };
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    size_t end = i + 1;
    if (std::isspace(static_cast<unsigned char>(c))) {
      i = end;
      continue;
    }
    if (text.compare(i, 2, "<<") == 0 || text.compare(i, 2, ">>") == 0) {
      end = i + 2;
    } else if (c == '<' || c == '(') {
      end = text.find(c == '<' ? '>' : ')', i);
      if (end == std::string::npos) return std::nullopt;
      ++end;
    } else if (c != '[' && c != ']') {
      while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) &&
             !delimiter(text[end]))
        ++end;
    }
    const bool hex = c == '<' && end - i >= 2 && text[i + 1] != '<';
    tokens.push_back({hex ? text.substr(i + 1, end - i - 2) : text.substr(i, end - i), i, end, hex});
    i = end;
  }
  CharacterMap map;
  std::optional<size_t> first;
  size_t last = 0;
  auto code = [](const Token& t) {
    return quint32(std::stoul(t.value.empty() ? "0" : t.value, nullptr, 16));
  };
  for (size_t i = 0; i < tokens.size(); ++i) {
    const bool chars = tokens[i].value == "beginbfchar", ranges = tokens[i].value == "beginbfrange";
    if (!chars && !ranges) continue;
    if (!first) first = i > 0 ? tokens[i - 1].start : tokens[i].start;  // the count before it
    const std::string end = chars ? "endbfchar" : "endbfrange";
    size_t j = i + 1;
    while (j < tokens.size() && tokens[j].value != end) {
      if (chars) {
        if (j + 1 >= tokens.size() || !tokens[j].hex || !tokens[j + 1].hex) return std::nullopt;
        map.entries.push_back(
            {code(tokens[j]), int(tokens[j].value.size()), fromHexUtf16(tokens[j + 1].value)});
        j += 2;
        continue;
      }
      if (j + 2 >= tokens.size() || !tokens[j].hex || !tokens[j + 1].hex) return std::nullopt;
      const quint32 low = code(tokens[j]), high = code(tokens[j + 1]);
      if (high < low || high - low > 0xffff) return std::nullopt;
      const int digits = int(tokens[j].value.size());
      if (tokens[j + 2].hex) {  // consecutive texts from the first
        QString text = fromHexUtf16(tokens[j + 2].value);
        if (text.isEmpty()) return std::nullopt;
        for (quint32 c = low; c <= high; ++c) {
          map.entries.push_back({c, digits, text});
          text.back() = QChar(char16_t(text.back().unicode() + 1));
        }
        j += 3;
      } else if (tokens[j + 2].value == "[") {
        size_t k = j + 3;
        for (quint32 c = low; k < tokens.size() && tokens[k].value != "]"; ++c, ++k)
          map.entries.push_back({c, digits, fromHexUtf16(tokens[k].value)});
        j = k + 1;
      } else {
        return std::nullopt;
      }
    }
    if (j >= tokens.size()) return std::nullopt;
    last = tokens[j].end;
    i = j;
  }
  if (!first) return std::nullopt;
  map.head = text.substr(0, *first);
  map.tail = text.substr(last);
  return map;
}

std::string writeCharacterMap(const CharacterMap& map) {
  std::string out = map.head;
  constexpr size_t kBlock = 100;  // the most one block may hold
  for (size_t i = 0; i < map.entries.size(); i += kBlock) {
    const size_t n = std::min(kBlock, map.entries.size() - i);
    out += std::to_string(n) + " beginbfchar\n";
    for (size_t k = i; k < i + n; ++k) {
      const auto& e = map.entries[k];
      out += QStringLiteral("<%1> <%2>\n")
                 .arg(QString::number(e.code, 16).rightJustified(e.digits, u'0').toUpper(), hexUtf16(e.text))
                 .toStdString();
    }
    out += "endbfchar\n";
  }
  return out + map.tail;
}

// The map with each character that was not printed replaced by the printed
// one drawn with the same glyph; nothing when none needs it.
std::optional<std::string> mendCharacterMap(const std::string& text, const Face& face,
                                            const QSet<char32_t>& printed) {
  std::optional<CharacterMap> map = parseCharacterMap(text);
  if (!map) return std::nullopt;
  bool mended = false;
  for (auto& entry : map->entries) {
    const QList<uint> characters = entry.text.toUcs4();
    if (characters.size() != 1 || printed.contains(characters[0])) continue;
    const auto drawn = face.printedByGlyph.constFind(face.glyph(characters[0]));
    if (drawn == face.printedByGlyph.constEnd()) continue;
    entry.text = QString::fromUcs4(&*drawn, 1);
    mended = true;
  }
  return mended ? std::optional(writeCharacterMap(*map)) : std::nullopt;
}

}  // namespace

void PrintedText::add(const QFont& font, const QString& text) {
  Printed& printed = byFont_[font.key()];
  printed.font = font;
  for (char32_t c : text.toUcs4()) printed.characters.insert(c);
}

QByteArray PrintedText::mend(const QByteArray& pdf) const {
  QSet<char32_t> printed;
  for (const Printed& p : byFont_) printed.unite(p.characters);
  std::vector<char32_t> sorted(printed.begin(), printed.end());
  std::sort(sorted.begin(), sorted.end());

  // The faces the characters were drawn in, as the layout picks them.
  QHash<QString, Face> faces;
  for (const Printed& p : byFont_) {
    std::vector<char32_t> own(p.characters.begin(), p.characters.end());
    QTextLayout layout(QString::fromUcs4(own.data(), qsizetype(own.size())), p.font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns()) {
      const QString name = postScriptName(run.rawFont()).replace(u' ', u'_');
      if (name.isEmpty() || faces.contains(name)) continue;
      Face face{run.rawFont(), {}};
      for (char32_t c : sorted)
        if (const quint32 g = face.glyph(c)) face.printedByGlyph.insert(g, c);  // the lowest stays
      faces.insert(name, face);
    }
  }

  static const QRegularExpression subsetTag(QStringLiteral("^[A-Z]{6}\\+"));
  try {
    QPDF document;
    document.setSuppressWarnings(true);
    document.processMemoryFile("printed", pdf.constData(), size_t(pdf.size()));
    bool mended = false;
    for (QPDFObjectHandle& font : document.getAllObjects()) {
      if (!font.isDictionary() || !font.getKey("/Subtype").isNameAndEquals("/Type0")) continue;
      QPDFObjectHandle map = font.getKey("/ToUnicode"), base = font.getKey("/BaseFont");
      if (!map.isStream() || !base.isName()) continue;
      const QString name = QString::fromStdString(base.getName()).mid(1).remove(subsetTag);
      const auto face = faces.constFind(name);
      if (face == faces.constEnd()) continue;
      const std::shared_ptr<Buffer> data = map.getStreamData(qpdf_dl_generalized);
      const std::string text(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
      if (const auto fixed = mendCharacterMap(text, *face, printed)) {
        map.replaceStreamData(*fixed, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
        mended = true;
      }
    }
    if (!mended) return pdf;
    QPDFWriter writer(document);
    writer.setOutputMemory();
    writer.write();
    const std::shared_ptr<Buffer> out = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(out->getBuffer()), qsizetype(out->getSize()));
  } catch (const std::exception&) {
    return pdf;  // drawn right all the same; only its text stays as Qt wrote it
  }
}

}  // namespace tv
