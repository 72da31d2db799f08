#include "catalogue/AsciiFolding.h"

#include <cstdio>

namespace quillor::catalogue {
namespace {

// Base letters of U+00C0..U+00FF; '*' marks the characters spelt by
// SpecialSpelling (Æ, ×, Þ, ß, æ, ÷, þ).
constexpr std::string_view kLatin1Letters =
    "AAAAAA*CEEEEIIII"   // C0
    "DNOOOOO*OUUUUY**"   // D0
    "aaaaaa*ceeeeiiii"   // E0
    "dnooooo*ouuuuy*y";  // F0

// Base letters of Latin Extended-A, U+0100..U+017F; '*' for Ĳ ĳ Œ œ.
constexpr std::string_view kLatinExtendedA =
    "AaAaAaCcCcCcCcDd"   // 0100
    "DdEeEeEeEeEeGgGg"   // 0110
    "GgGgHhHhIiIiIiIi"   // 0120
    "Ii**JjKkkLlLlLlL"   // 0130
    "lLlNnNnNnnNnOoOo"   // 0140
    "Oo**RrRrRrSsSsSs"   // 0150
    "SsTtTtTtUuUuUuUu"   // 0160
    "UuUuWwYyYZzZzZzs";  // 0170
static_assert(kLatin1Letters.size() == 64 && kLatinExtendedA.size() == 128);

bool SpecialSpelling(char32_t cp, std::string& spelling) {
  switch (cp) {
    case U'\u00C6':
      spelling = "AE";
      return true;
    case U'\u00E6':
      spelling = "ae";
      return true;
    case U'\u0152':
      spelling = "OE";
      return true;
    case U'\u0153':
      spelling = "oe";
      return true;
    case U'\u0132':
      spelling = "IJ";
      return true;
    case U'\u0133':
      spelling = "ij";
      return true;
    case U'\u00DF':
      spelling = "ss";
      return true;
    case U'\u00DE':
      spelling = "TH";
      return true;
    case U'\u00FE':
      spelling = "th";
      return true;
    case U'\u00D7':
      spelling = "X";
      return true;  // 2 × 2
    case U'\u00F7':
      spelling = "/";
      return true;
    // Quotes and apostrophes.
    case U'\u2018':
    case U'\u2019':
    case U'\u201A':
    case U'\u201B':
    case U'\u2032':
    case U'\u00B4':
      spelling = "'";
      return true;
    case U'\u201C':
    case U'\u201D':
    case U'\u201E':
    case U'\u00AB':
    case U'\u00BB':
    case U'\u2039':
    case U'\u203A':
    case U'\u2033':
      spelling = "\"";
      return true;
    // Dashes, the minus sign.
    case U'\u2010':
    case U'\u2011':
    case U'\u2012':
    case U'\u2013':
    case U'\u2014':
    case U'\u2015':
    case U'\u2212':
      spelling = "-";
      return true;
    case U'\u2026':
      spelling = "...";
      return true;
    case U'\u00B7':
    case U'\u2022':
      spelling = ".";
      return true;
    // Micro: 100 µg is written 100 MCG.
    case U'\u00B5':
    case U'\u03BC':
      spelling = "MC";
      return true;
    // Signs a catalogue does without: N°5 -> N5, 15 °C -> 15 C.
    case U'\u00B0':
    case U'\u00BA':
    case U'\u00AA':
    case U'\u00A9':
    case U'\u00AE':
    case U'\u2122':
    case U'\uFEFF':
      spelling.clear();
      return true;
    case U'\u00B9':
      spelling = "1";
      return true;
    case U'\u00B2':
      spelling = "2";
      return true;
    case U'\u00B3':
      spelling = "3";
      return true;
    case U'\u00BC':
      spelling = "1/4";
      return true;
    case U'\u00BD':
      spelling = "1/2";
      return true;
    case U'\u00BE':
      spelling = "3/4";
      return true;
    case U'\u20AC':
      spelling = "EUR";
      return true;
    default:
      return false;
  }
}

bool IsSpace(char32_t cp) {
  return cp <= 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0xA0) || (cp >= 0x2000 && cp <= 0x200B) ||
         cp == 0x202F || cp == 0x205F || cp == 0x3000;
}

}  // namespace

bool AsciiSpelling(char32_t cp, std::string& spelling) {
  if (IsSpace(cp)) {
    spelling = " ";
    return true;
  }
  if (cp < 0x80) {
    spelling.assign(1, static_cast<char>(cp));
    return true;
  }
  if (SpecialSpelling(cp, spelling)) return true;
  char letter = 0;
  if (cp >= 0xC0 && cp <= 0xFF) letter = kLatin1Letters[cp - 0xC0];
  if (cp >= 0x100 && cp <= 0x17F) letter = kLatinExtendedA[cp - 0x100];
  if (letter == 0 || letter == '*') return false;
  spelling.assign(1, letter);
  return true;
}

FoldedText FoldToUpperAscii(std::u32string_view text) {
  FoldedText folded;
  folded.text.reserve(text.size());
  std::string spelling;
  for (char32_t cp : text) {
    if (!AsciiSpelling(cp, spelling)) {
      folded.unmapped.push_back(cp);
      spelling = "?";
    }
    for (char c : spelling) {
      if (c == ' ') {
        // Collapse runs and never start with a space.
        if (!folded.text.empty() && folded.text.back() != ' ') folded.text += ' ';
      } else {
        folded.text += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
      }
    }
  }
  if (!folded.text.empty() && folded.text.back() == ' ') folded.text.pop_back();
  return folded;
}

std::string CodePointName(char32_t cp) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(cp));
  return buffer;
}

}  // namespace quillor::catalogue
