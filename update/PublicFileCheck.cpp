#include "update/PublicFileCheck.h"

#include <algorithm>
#include <cstdio>

#include "catalogue/AsciiFolding.h"
#include "catalogue/PriceText.h"
#include "update/FrenchText.h"

namespace quillor::update {
namespace {

using catalogue::ExportEncoding;
using catalogue::ExportFile;
using catalogue::ExportLine;

// Fields that the checks read (0-based).
constexpr size_t kCodeField = 0;
constexpr size_t kCipField = 1;
constexpr size_t kPriceField = 9;

std::string Hex(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

size_t LineOf(const std::string& bytes, size_t offset) {
  return 1 + static_cast<size_t>(std::count(bytes.begin(), bytes.begin() + static_cast<long>(offset), '\n'));
}

// A control character no text of the database holds: NUL (UTF-16, binary
// files) and the other C0 controls but the tab and the line ends.
std::optional<std::string> FindControlByte(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') {
      return Fr("l'octet de contrôle ") + Hex(byte) + Fr(" à la ligne ") + std::to_string(LineOf(bytes, i)) +
             Fr(" montre que ce n'est pas un texte en UTF-8 ni en Windows-1252");
    }
  }
  return std::nullopt;
}

// The offset of the first byte that breaks UTF-8 (a stray byte, a sequence
// cut short, an overlong form), or npos.
size_t FirstInvalidUtf8(const std::string& bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead < 0x80) {
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return i;
    }
    for (size_t k = 1; k < length; ++k) {
      if (i + k >= bytes.size()) return i;
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if (k == 1 ? (next < low || next > high) : (next < 0x80 || next > 0xBF)) return i;
    }
    i += length;
  }
  return std::string::npos;
}

// UTF-8 letters inside a file that is not valid UTF-8 as a whole: UTF-8 with
// damaged bytes, or two encodings mixed. French text in Windows-1252 never
// writes "Ã" before such a byte, which is how UTF-8 writes é, è, à...
std::optional<std::string> FindUtf8InWindows1252(const std::string& bytes) {
  for (size_t i = 0; i + 1 < bytes.size(); ++i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const auto next = static_cast<unsigned char>(bytes[i + 1]);
    if (lead == 0xC3 && next >= 0x80 && next <= 0xBF) {
      size_t bad = FirstInvalidUtf8(bytes);
      if (bad == std::string::npos) bad = i;
      return Fr("texte en UTF-8 dont l'octet ") + Hex(static_cast<unsigned char>(bytes[bad])) +
             Fr(" à la ligne ") + std::to_string(LineOf(bytes, bad)) +
             Fr(" n'est pas de l'UTF-8 : encodage inattendu");
    }
  }
  return std::nullopt;
}

bool AllDigits(const std::u32string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char32_t c) { return c >= U'0' && c <= U'9'; });
}

std::string Shown(const std::u32string& text) {
  std::string shown = catalogue::FoldToUpperAscii(text).text;
  if (shown.size() > 20) shown = shown.substr(0, 20) + "...";
  return shown;
}

// What is wrong with one line, or nothing.
std::optional<std::string> LineFault(const TPublicFile& file, const ExportLine& line) {
  // The rest of the record above it.
  if (file.continuedLines && !AllDigits(line.fields[kCodeField])) return std::nullopt;
  if (line.fields.size() < file.fields) {
    return std::to_string(line.fields.size()) + Fr(" champs au lieu de ") + std::to_string(file.fields);
  }
  if (!AllDigits(line.fields[kCodeField])) {
    return Fr("code « ") + Shown(line.fields[kCodeField]) + Fr(" » illisible");
  }
  if (file.role == TFileRole::kPresentations) {
    const std::u32string& cip = line.fields[kCipField];
    if (cip.size() != 7 || !AllDigits(cip)) return Fr("code CIP « ") + Shown(cip) + Fr(" » illisible");
    const std::string price = catalogue::FoldToUpperAscii(line.fields[kPriceField]).text;
    if (!catalogue::NormalisePrice(price)) return Fr("prix « ") + price + Fr(" » illisible");
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> CheckPublicFile(const TPublicFile& file, const std::string& bytes,
                                           ExportFile& decoded) {
  decoded = ExportFile();
  if (bytes.empty()) return Fr("fichier vide");
  if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) {
    return Fr("fichier en UTF-16 : encodage inattendu (UTF-8 ou Windows-1252 attendu)");
  }
  if (auto control = FindControlByte(bytes)) return control;
  decoded = catalogue::DecodeExport(bytes);
  if (decoded.encoding == ExportEncoding::kWindows1252) {
    if (auto mixed = FindUtf8InWindows1252(bytes)) return mixed;
  }
  if (decoded.lines.empty()) return Fr("aucune ligne");
  std::optional<std::string> first;
  size_t others = 0;
  for (const ExportLine& line : decoded.lines) {
    std::optional<std::string> fault = LineFault(file, line);
    if (!fault) continue;
    if (first) {
      ++others;
    } else {
      first = Fr("ligne ") + std::to_string(line.number) + " : " + *fault;
    }
  }
  if (!first) return std::nullopt;
  if (others > 0) {
    *first +=
        Fr(" (et ") + std::to_string(others) + (others == 1 ? Fr(" autre ligne)") : Fr(" autres lignes)"));
  }
  return first;
}

}  // namespace quillor::update
