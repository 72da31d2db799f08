#include "mail/EmailAddress.h"

#include "mail/EncodedWord.h"
#include "text/TrimBlanks.h"

namespace quillor {
namespace {

std::string Unquote(const std::string& name) {
  if (name.size() < 2 || name.front() != '"' || name.back() != '"') return name;
  std::string result;
  for (size_t i = 1; i + 1 < name.size(); ++i) {
    if (name[i] == '\\' && i + 2 < name.size()) ++i;
    result += name[i];
  }
  return result;
}

std::string Quote(const std::string& name) {
  std::string result = "\"";
  for (char c : name) {
    if (c == '\\' || c == '"') result += '\\';
    result += c;
  }
  return result + "\"";
}

}  // namespace

void TEmailAddressItem::SetText(const std::string& text) {
  const std::string piece = TrimBlanksAndControls(text);
  const size_t open = piece.rfind('<');
  if (open != std::string::npos && !piece.empty() && piece.back() == '>') {
    Name = Unquote(TrimBlanksAndControls(piece.substr(0, open)));
    Address = TrimBlanksAndControls(piece.substr(open + 1, piece.size() - open - 2));
  } else {
    Name.clear();
    Address = piece;
  }
}

std::string TEmailAddressItem::Text() const {
  if (Address.empty()) return "";
  if (Name.empty()) return Address;
  const std::string name = IsPrintableAscii(Name) ? Quote(Name) : EncodeWordQ(Name);
  return name + " <" + Address + ">";
}

void TEmailAddressList::SetText(const std::string& text) {
  items_.clear();
  auto addPiece = [this](const std::string& piece) {
    if (TrimBlanksAndControls(piece).empty()) return;
    TEmailAddressItem item;
    item.SetText(piece);
    items_.push_back(item);
  };
  std::string piece;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted && c == '\\' && i + 1 < text.size()) {
      piece += c;
      piece += text[++i];
      continue;
    }
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      addPiece(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  addPiece(piece);
}

std::string TEmailAddressList::Text() const {
  std::string result;
  for (const TEmailAddressItem& item : items_) {
    const std::string one = item.Text();
    if (one.empty()) continue;
    if (!result.empty()) result += ", ";
    result += one;
  }
  return result;
}

}  // namespace quillor
