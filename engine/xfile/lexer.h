// Token streams of the two .x encodings. Both yield the same token kinds so one parser
// serves text and binary files. Numbers arrive in 32 bits each, as the scenes use them:
// integers exact, floats as floats (a 64-bit file's doubles are narrowed on reading,
// saturating beyond float range), so a body's numbers cost what they cost in the file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace prismora::engine::xfile {

enum class TokenKind {
  End,
  Name,       // identifier: a template name, an object name or a reference's name
  String,     // quoted string
  Numbers,    // one number (text) or an integer/float list (binary)
  Guid,
  OBrace,
  CBrace,
  Separator,  // ; and , (carry no meaning for the flattened values)
  Template,   // the `template` keyword
  Other,      // any other punctuation or template-only keyword
};

// One number of a file: the bits of a float or of an unsigned integer.
struct NumberCell {
  uint32_t bits = 0;
  bool real = false;
  float asFloat() const;
};
// A 32-bit integer as a cell; text integers beyond 32 bits or negative become floats.
NumberCell integerCell(uint32_t v);
NumberCell floatCell(float f);
// Narrows a double to a float cell, saturating beyond float range (a plain conversion
// of such a value is undefined).
NumberCell doubleCell(double d);

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;               // Name, String
  std::vector<uint32_t> numbers;  // Numbers: cells' bits, all of one kind per token
  bool real = false;              // whether `numbers` holds floats or integers
};

// The 16-byte file header.
struct XHeader {
  bool binary = false;
  bool doubles = false;     // 64-bit floats
  bool compressed = false;  // the body is deflate blocks ("tzip", "bzip")
};
// Checks magic, format and float size; on failure returns false with a reason.
bool parseHeader(std::span<const uint8_t> bytes, XHeader& header, std::string& error);
inline constexpr std::size_t kHeaderSize = 16;

class Lexer {
 public:
  Lexer(std::span<const uint8_t> body, bool binary, bool doubles)
      : data_(body), binary_(binary), doubles_(doubles) {}
  // Reads the next token; false with `error` set on malformed input.
  bool next(Token& token, std::string& error);
  // The next token is read as a name if it can be one: exporters write object and
  // reference names that start with a digit (`Frame 294_screen {`), which the parser
  // knows from their place, not from their spelling. Text files only; binary names are
  // tagged anyway.
  bool nextName(Token& token, std::string& error);
  std::size_t offset() const { return pos_; }

 private:
  bool nextBinary(Token& token, std::string& error);
  bool nextText(Token& token, std::string& error, bool nameExpected);
  bool readU16(uint16_t& v);
  bool readU32(uint32_t& v);
  void skipWideTerminator();
  std::size_t remaining() const { return data_.size() - pos_; }

  std::span<const uint8_t> data_;
  std::size_t pos_ = 0;
  bool binary_;
  bool doubles_;
};

}  // namespace prismora::engine::xfile
