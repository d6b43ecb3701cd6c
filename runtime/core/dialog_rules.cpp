#include "runtime/core/dialog_rules.h"

namespace prismora::runtime {
namespace {

// Brightness difference below which a text no longer reads against its background.
constexpr int kMinContrast = 96;

std::string Link(std::string_view path, std::string_view website) {
  return std::string(kProductSite) + std::string(path) + "?URL=" + QueryValue(website) + "&cookie=";
}

}  // namespace

std::string QueryValue(std::string_view text) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    bool escape = c <= 0x20 || c >= 0x7F || c == '&' || c == '#' || c == '%' || c == '+' || c == '"';
    if (escape) {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

std::string WebsiteLink(std::string_view website) { return Link("/website.php", website); }
std::string AboutLink(std::string_view website) { return Link("/about_click.php", website); }

std::string NoDrawingMessage(std::string_view reason) {
  std::string text =
      "This computer offers the screen saver no OpenGL drawing, so it can only show a black screen.\n"
      "Installing the graphics card's own driver usually brings OpenGL.";
  if (!reason.empty()) text += "\n\n(" + std::string(reason) + ")";
  return text;
}

int Brightness(uint32_t c) {
  int r = int(c & 0xFF), g = int((c >> 8) & 0xFF), b = int((c >> 16) & 0xFF);
  return (r * 299 + g * 587 + b * 114) / 1000;
}

uint32_t StaticTextColour(uint32_t dialogColour) {
  uint32_t background = dialogColour & 0x00FFFFFF;
  uint32_t negated = (0u - dialogColour) & 0x00FFFFFF;
  int bg = Brightness(background);
  int diff = Brightness(negated) - bg;
  if (diff < 0) diff = -diff;
  if (diff >= kMinContrast) return negated;
  return bg >= 128 ? 0x00000000 : 0x00FFFFFF;
}

}  // namespace prismora::runtime
