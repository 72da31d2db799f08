#include "database/CryptManager.h"

namespace quillor {
namespace {

void ShiftBytes(std::string& line, uint8_t delta) {
  for (char& c : line) c = static_cast<char>(static_cast<uint8_t>(static_cast<uint8_t>(c) + delta));
}

}  // namespace

void TCryptManager::DecryptLines(TStringList& lines) const {
  // Adding 256 - K is subtracting K modulo 256.
  for (std::string& line : lines) ShiftBytes(line, static_cast<uint8_t>(256 - kScrambleKey));
}

void TCryptManager::EncryptLines(TStringList& lines) const {
  for (std::string& line : lines) ShiftBytes(line, kScrambleKey);
}

bool TCryptManager::UnstorableByte(unsigned char plain) {
  const auto stored = static_cast<uint8_t>(plain + kScrambleKey);
  return stored == 0 || stored == '\n' || stored == '\r';
}

size_t TCryptManager::FindUnstorableByte(const std::string& line) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (UnstorableByte(static_cast<unsigned char>(line[i]))) return i;
  }
  return std::string::npos;
}

}  // namespace quillor
