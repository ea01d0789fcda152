#include "carddb/jsoninput.h"

#include "carddb/decompress.h"

namespace tvtools {
namespace {

bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isNumberChar(int c) {
  return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}
unsigned hexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;  // the parser refuses it
}

}  // namespace

int JsonInput::rawByte() {
  if (pos_ == chunk_.size()) {
    chunk_ = reader_.next();
    pos_ = 0;
    if (chunk_.isEmpty()) return -1;
  }
  const auto c = static_cast<unsigned char>(chunk_[pos_++]);
  if (c == '\n') {
    ++line_;
    column_ = 0;
  } else if ((c & 0xC0) != 0x80) {
    ++column_;
  }
  return c;
}

void JsonInput::keep() {
  if (++kept_ > kMaxKept) refuse(QStringLiteral("more than %1 KiB of values").arg(kMaxKept >> 10));
  if (++setKept_ > kMaxSetKept) refuse(QStringLiteral("more than %1 MiB of values").arg(kMaxSetKept >> 20));
}

void JsonInput::countPlain() {
  if (++plainRun_ > kMaxPlainRun)
    refuse(QStringLiteral("more than %1 MiB of brackets and literals").arg(kMaxPlainRun >> 20));
}

// Follows escapes, so that the closing quote is found and a string is only
// cut between whole characters.
void JsonInput::scanStringByte(unsigned char c) {
  if (escape_ == 0) {
    if (c == '\\')
      escape_ = 1;
    else
      highHalf_ = false;
  } else if (escape_ == 1) {
    escape_ = c == 'u' ? 2 : 0;
    hex_ = 0;
    if (escape_ == 0) highHalf_ = false;
  } else {
    hex_ = hex_ * 16 + hexValue(c);
    if (++escape_ == 6) {
      escape_ = 0;
      highHalf_ = hex_ >= 0xD800 && hex_ <= 0xDBFF;
    }
  }
}

void JsonInput::advanceSlowly() {
  nextCharacter();
  currentLine_ = line_;
  currentColumn_ = column_;
}

void JsonInput::nextCharacter() {
  for (;;) {
    const int c = rawByte();
    if (c < 0) {
      current_ = -1;
      return;
    }
    if (inString_) {
      if (c == '"' && escape_ == 0) {
        inString_ = false;
        current_ = c;
        return;
      }
      if (stringLength_ >= kMaxString && !cutting_) {
        if (stringKept_) refuse(QStringLiteral("a value longer than %1 KiB").arg(kMaxString >> 10));
        // A value thrown away anyway: the parser gets its start.
        cutting_ = escape_ == 0 && (c & 0xC0) != 0x80 && !highHalf_;
      }
      scanStringByte(static_cast<unsigned char>(c));
      if (cutting_) continue;
      ++stringLength_;
      if (stringKept_) keep();
      current_ = c;
      return;
    }

    if (isSpace(c)) {
      if (lastWasSpace_) continue;  // one blank stands for a run
      lastWasSpace_ = true;
      numberLength_ = 0;
      countPlain();
      current_ = ' ';
      return;
    }
    lastWasSpace_ = false;
    const int depth = int(inObject_.size());
    if (numberLength_ > 0 ? isNumberChar(c) : c == '-' || (c >= '0' && c <= '9')) {
      if (numberLength_ == 0) plainRun_ = 0;  // the parser starts a token afresh
      if (++numberLength_ > kMaxNumber)
        refuse(QStringLiteral("a number longer than %1 characters").arg(kMaxNumber));
    } else {
      numberLength_ = 0;
      countPlain();
    }
    switch (c) {
      case '"':
        inString_ = true;
        cutting_ = false;
        stringLength_ = 0;
        escape_ = 0;
        highHalf_ = false;
        stringKept_ = expectKey_ ? depth <= discardFrom_ : depth < discardFrom_;
        plainRun_ = 0;
        break;
      case '{':
      case '[':
        if (depth >= kMaxDepth) refuse(QStringLiteral("values nested more than %1 deep").arg(kMaxDepth));
        inObject_.push_back(c == '{');
        expectKey_ = c == '{';
        break;
      case '}':
      case ']':
        if (!inObject_.empty()) inObject_.pop_back();
        expectKey_ = false;
        break;
      case ':':
        expectKey_ = false;
        break;
      case ',':
        expectKey_ = !inObject_.empty() && inObject_.back();
        break;
      default:
        break;
    }
    if (depth < discardFrom_) keep();
    current_ = c;
    return;
  }
}

}  // namespace tvtools
