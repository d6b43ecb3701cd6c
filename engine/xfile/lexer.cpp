#include "engine/xfile/lexer.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace prismora::engine::xfile {

namespace {

// Binary token ids of the .x format.
enum : uint16_t {
  kName = 1,
  kString = 2,
  kInteger = 3,
  kGuid = 5,
  kIntegerList = 6,
  kFloatList = 7,
  kOBrace = 10,
  kCBrace = 11,
  kOParen = 12,
  kCParen = 13,
  kOBracket = 14,
  kCBracket = 15,
  kOAngle = 16,
  kCAngle = 17,
  kDot = 18,
  kComma = 19,
  kSemicolon = 20,
  kTemplate = 31,
  kFirstTypeKeyword = 40,  // WORD ... ARRAY: only inside template declarations
  kLastTypeKeyword = 52,
};

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
}

}  // namespace

float NumberCell::asFloat() const {
  if (!real) return static_cast<float>(bits);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

NumberCell integerCell(uint32_t v) { return {v, false}; }

NumberCell floatCell(float f) {
  NumberCell c;
  std::memcpy(&c.bits, &f, 4);
  c.real = true;
  return c;
}

NumberCell doubleCell(double d) {
  constexpr double kMax = std::numeric_limits<float>::max();
  const float f = d > kMax    ? std::numeric_limits<float>::infinity()
                  : d < -kMax ? -std::numeric_limits<float>::infinity()
                              : static_cast<float>(d);
  return floatCell(f);
}

bool parseHeader(std::span<const uint8_t> bytes, XHeader& header, std::string& error) {
  if (bytes.size() < kHeaderSize) {
    error = "file shorter than the 16-byte .x header";
    return false;
  }
  auto field = [&](std::size_t at) { return std::string(reinterpret_cast<const char*>(&bytes[at]), 4); };
  if (field(0) != "xof ") {
    error = "not a .x file (no \"xof \" magic)";
    return false;
  }
  std::string format = field(8), floats = field(12);
  header.compressed = format == "tzip" || format == "bzip";
  if (format == "txt " || format == "tzip") {
    header.binary = false;
  } else if (format == "bin " || format == "bzip") {
    header.binary = true;
  } else {
    error = "unknown .x format \"" + format + "\"";
    return false;
  }
  if (floats == "0032") {
    header.doubles = false;
  } else if (floats == "0064") {
    header.doubles = true;
  } else {
    error = "unknown float size \"" + floats + "\"";
    return false;
  }
  return true;
}

bool Lexer::next(Token& token, std::string& error) {
  token.text.clear();
  token.numbers.clear();
  token.real = false;
  return binary_ ? nextBinary(token, error) : nextText(token, error, false);
}

bool Lexer::nextName(Token& token, std::string& error) {
  token.text.clear();
  token.numbers.clear();
  token.real = false;
  return binary_ ? nextBinary(token, error) : nextText(token, error, true);
}

bool Lexer::readU16(uint16_t& v) {
  if (remaining() < 2) return false;
  v = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
  pos_ += 2;
  return true;
}

bool Lexer::readU32(uint32_t& v) {
  if (remaining() < 4) return false;
  v = static_cast<uint32_t>(data_[pos_]) | static_cast<uint32_t>(data_[pos_ + 1]) << 8 |
      static_cast<uint32_t>(data_[pos_ + 2]) << 16 | static_cast<uint32_t>(data_[pos_ + 3]) << 24;
  pos_ += 4;
  return true;
}

// Exporters end a string with an ordinary two-byte `;` or `,` token, which the next call
// reads like any separator. Some writers follow the format's description of the
// terminator as a 32-bit value instead; those four bytes are a separator id followed by
// 0x0000, and no token has id 0, so the two forms cannot be mistaken for each other.
void Lexer::skipWideTerminator() {
  if (remaining() < 4) return;
  const uint8_t* p = data_.data() + pos_;
  bool separator = (p[0] == kSemicolon || p[0] == kComma) && p[1] == 0;
  if (separator && p[2] == 0 && p[3] == 0) pos_ += 4;
}

bool Lexer::nextBinary(Token& token, std::string& error) {
  if (remaining() == 0) {
    token.kind = TokenKind::End;
    return true;
  }
  std::size_t at = pos_;
  uint16_t id;
  if (!readU16(id)) {
    error = "truncated token at byte " + std::to_string(at);
    return false;
  }
  auto truncated = [&](const char* what) {
    error = std::string("truncated ") + what + " at byte " + std::to_string(at);
    return false;
  };
  switch (id) {
    case kName:
    case kString: {
      uint32_t count;
      if (!readU32(count) || count > remaining()) return truncated(id == kName ? "name" : "string");
      token.text.assign(reinterpret_cast<const char*>(data_.data() + pos_), count);
      pos_ += count;
      if (id == kString) {
        skipWideTerminator();
        token.kind = TokenKind::String;
      } else {
        token.kind = TokenKind::Name;
      }
      return true;
    }
    case kInteger: {
      uint32_t v;
      if (!readU32(v)) return truncated("integer");
      token.kind = TokenKind::Numbers;
      token.numbers.push_back(v);
      return true;
    }
    case kGuid:
      if (remaining() < 16) return truncated("GUID");
      pos_ += 16;
      token.kind = TokenKind::Guid;
      return true;
    case kIntegerList: {
      uint32_t count;
      if (!readU32(count) || count > remaining() / 4) return truncated("integer list");
      token.numbers.resize(count);
      for (uint32_t i = 0; i < count; ++i) {
        uint32_t v;
        readU32(v);
        token.numbers[i] = v;
      }
      token.kind = TokenKind::Numbers;
      return true;
    }
    case kFloatList: {
      uint32_t count;
      std::size_t width = doubles_ ? 8 : 4;
      if (!readU32(count) || count > remaining() / width) return truncated("float list");
      token.numbers.resize(count);
      for (uint32_t i = 0; i < count; ++i) {
        if (doubles_) {
          double d;
          std::memcpy(&d, data_.data() + pos_, 8);
          token.numbers[i] = doubleCell(d).bits;
        } else {
          std::memcpy(&token.numbers[i], data_.data() + pos_, 4);
        }
        pos_ += width;
      }
      token.real = true;
      token.kind = TokenKind::Numbers;
      return true;
    }
    case kOBrace:
      token.kind = TokenKind::OBrace;
      return true;
    case kCBrace:
      token.kind = TokenKind::CBrace;
      return true;
    case kComma:
    case kSemicolon:
      token.kind = TokenKind::Separator;
      return true;
    case kTemplate:
      token.kind = TokenKind::Template;
      return true;
    case kOParen:
    case kCParen:
    case kOBracket:
    case kCBracket:
    case kOAngle:
    case kCAngle:
    case kDot:
      token.kind = TokenKind::Other;
      return true;
    default:
      if (id >= kFirstTypeKeyword && id <= kLastTypeKeyword) {
        token.kind = TokenKind::Other;
        return true;
      }
      error = "unknown token " + std::to_string(id) + " at byte " + std::to_string(at);
      return false;
  }
}

bool Lexer::nextText(Token& token, std::string& error, bool nameExpected) {
  const char* s = reinterpret_cast<const char*>(data_.data());
  const std::size_t n = data_.size();
  // Whitespace and comments (// and #, to the end of the line).
  for (;;) {
    while (pos_ < n && std::isspace(static_cast<unsigned char>(s[pos_]))) ++pos_;
    if (pos_ < n && (s[pos_] == '#' || (s[pos_] == '/' && pos_ + 1 < n && s[pos_ + 1] == '/'))) {
      while (pos_ < n && s[pos_] != '\n') ++pos_;
      continue;
    }
    break;
  }
  if (pos_ >= n) {
    token.kind = TokenKind::End;
    return true;
  }
  std::size_t at = pos_;
  char c = s[pos_];
  if (c == '{' || c == '}') {
    ++pos_;
    token.kind = c == '{' ? TokenKind::OBrace : TokenKind::CBrace;
    return true;
  }
  if (c == ';' || c == ',') {
    ++pos_;
    token.kind = TokenKind::Separator;
    return true;
  }
  if (c == '<') {  // a GUID: everything up to the closing bracket
    while (pos_ < n && s[pos_] != '>') ++pos_;
    if (pos_ >= n) {
      error = "unterminated GUID at byte " + std::to_string(at);
      return false;
    }
    ++pos_;
    token.kind = TokenKind::Guid;
    return true;
  }
  if (c == '"') {
    ++pos_;
    while (pos_ < n && s[pos_] != '"') ++pos_;
    if (pos_ >= n) {
      error = "unterminated string at byte " + std::to_string(at);
      return false;
    }
    token.text.assign(s + at + 1, pos_ - at - 1);
    ++pos_;
    token.kind = TokenKind::String;
    return true;
  }
  if (nameExpected && std::isdigit(static_cast<unsigned char>(c))) {
    while (pos_ < n && isNameChar(s[pos_])) ++pos_;
    token.text.assign(s + at, pos_ - at);
    token.kind = TokenKind::Name;
    return true;
  }
  bool signedNumber = (c == '-' || c == '+') && pos_ + 1 < n &&
                      (std::isdigit(static_cast<unsigned char>(s[pos_ + 1])) || s[pos_ + 1] == '.');
  if (std::isdigit(static_cast<unsigned char>(c)) || signedNumber ||
      (c == '.' && pos_ + 1 < n && std::isdigit(static_cast<unsigned char>(s[pos_ + 1])))) {
    ++pos_;
    while (pos_ < n && (std::isdigit(static_cast<unsigned char>(s[pos_])) || s[pos_] == '.' ||
                        s[pos_] == 'e' || s[pos_] == 'E' ||
                        ((s[pos_] == '-' || s[pos_] == '+') && (s[pos_ - 1] == 'e' || s[pos_ - 1] == 'E'))))
      ++pos_;
    std::string text(s + at, pos_ - at);  // strtod needs a terminated copy
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) {
      error = "bad number \"" + text + "\" at byte " + std::to_string(at);
      return false;
    }
    // Counts, indices and times are written as plain digits and must stay exact; the
    // rest are the file's floats.
    const bool integer = text.find_first_not_of("0123456789") == std::string::npos && v <= 4294967295.0;
    const NumberCell cell = integer ? integerCell(static_cast<uint32_t>(v)) : doubleCell(v);
    token.kind = TokenKind::Numbers;
    token.real = cell.real;
    token.numbers.push_back(cell.bits);
    return true;
  }
  if (isNameStart(c)) {
    while (pos_ < n && isNameChar(s[pos_])) ++pos_;
    token.text.assign(s + at, pos_ - at);
    token.kind = token.text == "template" ? TokenKind::Template : TokenKind::Name;
    return true;
  }
  if (c != 0 && std::strchr("[]().", c)) {
    ++pos_;
    token.kind = TokenKind::Other;
    return true;
  }
  error = std::string("unexpected character '") + c + "' at byte " + std::to_string(at);
  return false;
}

}  // namespace prismora::engine::xfile
