// The configuration dialog's rules that are text and arithmetic: its two web links and
// the colours of its static texts.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace prismora::runtime {

// The product site's redirect address; the links pass the screen saver's own website on.
inline constexpr const char* kProductSite = "http://www.prismora.example";

std::string WebsiteLink(std::string_view website);
std::string AboutLink(std::string_view website);

// Characters that would end or change the query value (and bytes a URL cannot carry)
// are written as %XX; everything else, ":" and "/" included, stays as it is.
std::string QueryValue(std::string_view text);

inline constexpr uint32_t kLinkTextColour = 0x00EE0000;

// Text colour of the plain static texts on a dialog of colour `dialogColour`: the
// negation of the colour, kept to the 24 colour bits. Where that leaves the text too
// close to its background to read (black gives black, middle grey gives grey) black or
// white is used instead, whichever stands out more.
uint32_t StaticTextColour(uint32_t dialogColour);

// What the settings dialog says on a machine where no OpenGL context can be made;
// `reason` is the driver's side of it.
std::string NoDrawingMessage(std::string_view reason);

// Perceived brightness of a 0x00BBGGRR colour, 0..255.
int Brightness(uint32_t colour);

}  // namespace prismora::runtime
