#include "text/ScannedCode.h"

#include <algorithm>
#include <vector>

#include "text/StringManager.h"

namespace quillor {
namespace {

constexpr char kGroupSeparator = '\x1D';
constexpr size_t kMaxVariableLength = 90;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool AllDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

std::string TrimKeepingSeparators(const std::string& text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32 && c != kGroupSeparator; };
  size_t first = 0;
  size_t last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// The text with every stand-in that scanners type for byte 29 turned into
// byte 29 (the longer stand-ins first).
std::string WithGroupSeparators(const std::string& text) {
  static const char* const kLongStandIns[] = {"<GS>", "{GS}", "[GS]", "^]"};
  std::string result;
  result.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    size_t matched = 0;
    for (const char* standIn : kLongStandIns) {
      const size_t length = std::char_traits<char>::length(standIn);
      if (text.compare(at, length, standIn) == 0) {
        matched = length;
        break;
      }
    }
    const char c = text[at];
    if (matched == 0 && (c == '~' || c == '|' || c == '^' || c == '#' || c == '@')) matched = 1;
    result += matched > 0 ? kGroupSeparator : c;
    at += matched > 0 ? matched : 1;
  }
  return result;
}

// How many digits the application identifier starting with these two digits
// has; 0 for none that is defined.
size_t IdentifierLength(const std::string& firstTwo) {
  const int n = (firstTwo[0] - '0') * 10 + (firstTwo[1] - '0');
  if (n <= 2 || (n >= 10 && n <= 13) || (n >= 15 && n <= 17) || (n >= 20 && n <= 22) || n == 30 || n == 37 ||
      n >= 90)
    return 2;
  if ((n >= 23 && n <= 25) || (n >= 40 && n <= 42)) return 3;
  if ((n >= 31 && n <= 36) || n == 39 || (n >= 70 && n <= 72) || (n >= 80 && n <= 82)) return 4;
  return 0;
}

// The data length of a fixed-length element string (all digits), or 0 for a
// variable-length one.
size_t FixedDataLength(const std::string& identifier) {
  const int n = (identifier[0] - '0') * 10 + (identifier[1] - '0');
  if (n == 0) return 18;
  if (n == 1 || n == 2) return 14;
  if (n >= 11 && n <= 17) return 6;
  if (n == 20) return 2;
  if (n >= 31 && n <= 36) return 6;
  if (n == 41) return 13;
  return 0;
}

struct TElements {
  bool read = false;
  std::string failure;  // why not, when !read
  size_t count = 0;
  std::string product;  // the data of element string 01, if any
};

TElements ReadElementStrings(const std::string& body) {
  TElements result;
  size_t at = 0;
  auto fail = [&result](const std::string& why) {
    result.failure = why;
    return result;
  };
  while (at < body.size()) {
    if (body[at] == kGroupSeparator) {
      ++at;
      continue;
    }
    if (at + 2 > body.size() || !IsDigit(body[at]) || !IsDigit(body[at + 1]))
      return fail("identifiant d'application attendu");
    const size_t idLength = IdentifierLength(body.substr(at, 2));
    if (idLength == 0) return fail("identifiant d'application inconnu " + body.substr(at, 2));
    if (at + idLength > body.size() || !AllDigits(body.substr(at, idLength)))
      return fail("identifiant d'application incomplet");
    const std::string identifier = body.substr(at, idLength);
    at += idLength;
    std::string data;
    if (const size_t fixed = FixedDataLength(identifier); fixed > 0) {
      data = body.substr(at, fixed);
      if (data.size() != fixed || !AllDigits(data))
        return fail("\xE9l\xE9ment (" + identifier + ") de " + std::to_string(fixed) + " chiffres attendu");
      at += fixed;
    } else {
      const size_t end = std::min(body.find(kGroupSeparator, at), body.size());
      data = body.substr(at, end - at);
      const bool printable = std::all_of(data.begin(), data.end(), [](char c) { return c > 32 && c < 127; });
      if (data.empty() || data.size() > kMaxVariableLength || !printable)
        return fail("\xE9l\xE9ment (" + identifier + ") illisible");
      at = end;
    }
    ++result.count;
    if (identifier == "01") {
      if (!result.product.empty()) return fail("deux codes produit (01)");
      result.product = data;
    }
  }
  result.read = true;
  return result;
}

TScannedCode Cip7(std::string cip7) {
  TScannedCode code;
  code.kind = TScannedCode::TKind::kCip7;
  code.cip7 = std::move(cip7);
  return code;
}

TScannedCode Unreadable(std::string reason) {
  TScannedCode code;
  code.kind = TScannedCode::TKind::kUnreadable;
  code.reason = std::move(reason);
  return code;
}

TScannedCode OtherGoods() {
  TScannedCode code;
  code.kind = TScannedCode::TKind::kOtherGoods;
  return code;
}

// A product code of GS1 digits whose medicines start with `medicinePrefix`,
// the CIP7 following it.
TScannedCode FromProductCode(const std::string& digits, const std::string& medicinePrefix, const char* what) {
  if (!HasValidGs1CheckDigit(digits))
    return Unreadable(std::string("cl\xE9 de contr\xF4le ") + what + " fausse");
  if (digits.compare(0, medicinePrefix.size(), medicinePrefix) != 0) return OtherGoods();
  return Cip7(digits.substr(medicinePrefix.size(), 7));
}

}  // namespace

bool HasValidGs1CheckDigit(const std::string& digits) {
  if (digits.size() < 2 || !AllDigits(digits)) return false;
  int sum = 0;
  int weight = 3;
  for (size_t i = digits.size() - 1; i-- > 0;) {
    sum += (digits[i] - '0') * weight;
    weight = 4 - weight;
  }
  return (10 - sum % 10) % 10 == digits.back() - '0';
}

std::string ShowGroupSeparators(const std::string& text) {
  std::string shown;
  for (char c : text) shown += c == kGroupSeparator ? std::string("<GS>") : std::string(1, c);
  return shown;
}

TScannedCode ReadScannedCode(const std::string& raw) {
  const std::string text = TrimKeepingSeparators(raw);
  if (text.empty()) return {};
  if (AllDigits(text) && text.size() == 7) return TStringManager::IsCip(text) ? Cip7(text) : TScannedCode{};
  if (AllDigits(text) && text.size() == 13) return FromProductCode(text, "34009", "du code-barres");
  // An EAN-13 with its symbology identifier, as scanners set to prefix their
  // DataMatrix with ]d2 send a box's bar code.
  if (text.rfind("]E0", 0) == 0) {
    const std::string ean = text.substr(3);
    if (!AllDigits(ean) || ean.size() != 13) return Unreadable("code-barres EAN-13 attendu apr\xE8s ]E0");
    return FromProductCode(ean, "34009", "du code-barres");
  }

  bool prefixed = false;
  std::string body = text;
  for (const char* prefix : {"]d2", "]C1", "]Q3", "]e0"}) {
    if (body.rfind(prefix, 0) == 0) {
      prefixed = true;
      body.erase(0, 3);
      break;
    }
  }
  body = WithGroupSeparators(body);
  const TElements elements = ReadElementStrings(body);
  // Without a prefix only a product code, or separated element strings,
  // make a code: "1000" or "200020" stay search texts.
  const bool startsWithProduct =
      body.size() >= 16 && body.compare(0, 2, "01") == 0 && AllDigits(body.substr(2, 14));
  if (!elements.read) {
    if (prefixed || startsWithProduct) return Unreadable(elements.failure);
    return {};
  }
  if (elements.product.empty()) {
    const bool separated = body.find(kGroupSeparator) != std::string::npos;
    if (prefixed || (elements.count >= 2 && separated)) return Unreadable("pas de code produit (01)");
    return {};
  }
  return FromProductCode(elements.product, "034009", "du code produit");
}

}  // namespace quillor
