// A JSON file as nlohmann's parser reads it, one character at a time, with
// everything the parser would otherwise hold whole kept within bounds: a
// file of a few kilobytes may unpack to gigabytes of one string, of
// whitespace or of brackets.
#pragma once

#include <QByteArray>
#include <QString>
#include <climits>
#include <cstddef>
#include <iterator>
#include <vector>

namespace tvtools {

class DecompressingReader;

class JsonInput {
 public:
  static constexpr qsizetype kMaxString = 64 << 10;  // bytes of one string: a text, a name, a key
  static constexpr qsizetype kMaxNumber = 64;        // characters of one number
  static constexpr int kMaxDepth = 64;               // containers inside one another
  // The parser keeps what it reads between two strings or numbers (brackets,
  // literals) for its error messages.
  static constexpr qsizetype kMaxPlainRun = 1 << 20;
  // Bytes of the values one item (a card, or a set apart from its cards) keeps,
  // and one set with its cards: ten times MTGJSON's largest.
  static constexpr qsizetype kMaxKept = 256 << 10, kMaxSetKept = qsizetype(256) << 20;

  // A bound was passed at this place of the file; the reader says where else.
  struct Refused {
    QString what;
    qint64 line, column;
  };

  explicit JsonInput(DecompressingReader& reader) : reader_(reader) {}

  // Values from this depth (as the parser's callback counts it) on are thrown
  // away, so a string there beyond kMaxString is cut short, not refused;
  // INT_MAX: every value is kept.
  void discardFrom(int depth) { discardFrom_ = depth; }
  // An item (a set, a card) begins: the bytes it keeps are counted anew.
  void startItem(bool set = false) {
    kept_ = 0;
    if (set) setKept_ = 0;
  }

  // Where the last character handed over was, 1-based.
  qint64 line() const { return handedLine_; }
  qint64 column() const { return handedColumn_; }

  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = char;

    Iterator() = default;
    explicit Iterator(JsonInput* in) : in_(in) {}
    char operator*() const { return char(in_->current_); }
    Iterator& operator++() {
      in_->advance();
      return *this;
    }
    bool operator==(const Iterator& other) const { return atEnd() == other.atEnd(); }

   private:
    bool atEnd() const { return !in_ || in_->current_ < 0; }
    JsonInput* in_ = nullptr;
  };
  // Begin and end for the parser; begin() reads the first character.
  Iterator begin() {
    advance();
    return Iterator(this);
  }
  static Iterator end() { return Iterator(); }

 private:
  int rawByte();
  // Most characters are plain ones inside a string: those take no call.
  void advance() {
    handedLine_ = currentLine_;
    handedColumn_ = currentColumn_;
    if (inString_ && escape_ == 0 && !cutting_ && pos_ < chunk_.size() && stringLength_ < kMaxString &&
        kept_ < kMaxKept && setKept_ < kMaxSetKept) {
      const auto c = static_cast<unsigned char>(chunk_[pos_]);
      if (c != '"' && c != '\\' && c != '\n') {
        ++pos_;
        if ((c & 0xC0) != 0x80) currentColumn_ = ++column_;
        highHalf_ = false;
        ++stringLength_;
        if (stringKept_) {
          ++kept_;
          ++setKept_;
        }
        current_ = c;
        return;
      }
    }
    advanceSlowly();
  }
  void advanceSlowly();
  void nextCharacter();
  void scanStringByte(unsigned char c);
  void keep();
  void countPlain();
  [[noreturn]] void refuse(const QString& what) const { throw Refused{what, line_, column_}; }

  DecompressingReader& reader_;
  QByteArray chunk_;
  qsizetype pos_ = 0;
  int current_ = 0;               // the next character to hand over; -1 at the end
  qint64 line_ = 1, column_ = 0;  // of the last byte read
  qint64 currentLine_ = 1, currentColumn_ = 0, handedLine_ = 1, handedColumn_ = 0;

  std::vector<bool> inObject_;  // per open container
  bool expectKey_ = false;
  bool lastWasSpace_ = false;
  qsizetype plainRun_ = 0, numberLength_ = 0, kept_ = 0, setKept_ = 0;
  int discardFrom_ = INT_MAX;

  // The string being read.
  bool inString_ = false, stringKept_ = true, cutting_ = false;
  qsizetype stringLength_ = 0;
  int escape_ = 0;         // 0, 1 after a backslash, 2 to 5 in the digits of \u
  unsigned hex_ = 0;       // the digits of \u so far
  bool highHalf_ = false;  // the last unit was \uD800 to \uDBFF: its pair must follow
};

}  // namespace tvtools
