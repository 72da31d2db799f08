// Codes that a hand scanner types into the search field when the pharmacist
// scans a medicine box: the box's CIP7, its CIP13 (an EAN-13 bar code), or
// its GS1 DataMatrix, whose product code (application identifier 01) is a
// GTIN-14: "0" followed by the CIP13. A CIP13 is "34009", the CIP7 and an
// EAN-13 check digit.
//
// A scanner set to send symbology identifiers sends a box's bar code as
// "]E0" followed by its EAN-13: it is read as the bare EAN-13.
//
// ReadScannedCode tells a code from a search text. It is strict, so that no
// designation search is ever taken for a code: a text is a code only when it
// has a code's exact shape (7 digits passing TStringManager::IsCip; 13
// digits; a GS1 element string). A code's shape with a wrong check digit, or
// a GS1 string without a product code, is unreadable.
//
// GS1 element strings, as scanners type them: an optional symbology prefix
// ("]d2", "]C1", "]Q3", "]e0"), then element strings in any order. Fixed-
// length ones follow each other directly; a variable-length one (lot 10,
// serial number 21, ...) ends at the group separator, byte 29, or at one of
// the stand-ins that scanners type for it when they cannot type byte 29:
// "<GS>", "{GS}", "[GS]", "^]" or one of ~ | ^ # @ (none of them can stand
// inside an element string). Element strings other than 01 are read and
// ignored. Without a prefix, a text is taken for GS1 only when it reads
// entirely as element strings and holds either a product code or at least
// two of them.
//
// Plain functions on Windows-1252 bytes; no state.
#pragma once

#include <string>

namespace quillor {

struct TScannedCode {
  enum class TKind {
    kNotACode,    // search the text as usual
    kCip7,        // the article with this CIP7 (`cip7`)
    kOtherGoods,  // a valid product code, but not a medicine's (no "34009")
    kUnreadable,  // a code's shape that cannot be read (`reason`, in French)
  };
  TKind kind = TKind::kNotACode;
  std::string cip7;
  std::string reason;
};

// Reads `text` once blanks and control bytes other than byte 29 are trimmed
// from both ends.
TScannedCode ReadScannedCode(const std::string& text);

// Whether `digits` (all digits) ends with the right GS1 check digit: the
// EAN-13 and GTIN-14 rule, weights 3 and 1 alternating from the right.
bool HasValidGs1CheckDigit(const std::string& digits);

// The text with byte 29 shown as "<GS>", for messages.
std::string ShowGroupSeparators(const std::string& text);

}  // namespace quillor
