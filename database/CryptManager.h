// TCryptManager: the article file's byte scrambling. Every byte of every line
// is stored as (plain + kScrambleKey) mod 256; line breaks between lines are
// not scrambled, and lines are split before they are descrambled, so the
// three plain bytes whose stored value would be NUL, LF or CR cannot be kept
// in the file (see UnstorableByte).
//
// Stateless; lines are Windows-1252 byte strings. GUI thread only (no shared
// state, but nothing here needs more).
#pragma once

#include <cstdint>
#include <string>

#include "text/TextLines.h"

namespace quillor {

// Chosen once for every article file. With 0x7F the plain bytes that cannot
// be stored are 0x81 (undefined in Windows-1252), 0x8B (single left angle
// quote) and 0x8E (Z caron): no ASCII character and no French letter.
inline constexpr uint8_t kScrambleKey = 0x7F;

class TCryptManager {
 public:
  TCryptManager() = default;
  TCryptManager(const TCryptManager&) = delete;
  TCryptManager& operator=(const TCryptManager&) = delete;

  // Descrambles every line in place: byte -> (byte - kScrambleKey) mod 256.
  // Lengths and line count do not change.
  void DecryptLines(TStringList& lines) const;
  // The inverse: byte -> (byte + kScrambleKey) mod 256. REQUIRES: no line
  // holds an unstorable byte (check with FindUnstorableByte first), or the
  // scrambled file will not read back as the same lines.
  void EncryptLines(TStringList& lines) const;

  // Whether a plain byte would scramble to NUL, LF or CR.
  static bool UnstorableByte(unsigned char plain);
  // 0-based position of the first unstorable byte of `line`, or npos.
  static size_t FindUnstorableByte(const std::string& line);
};

}  // namespace quillor
