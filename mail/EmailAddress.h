// Mailbox addresses as the message object holds them: an item is a display
// name and an address; a list is the items of a To, Cc, Bcc or Reply-To field.
// Texts are Windows-1252 bytes. Plain values, freely copied.
#pragma once

#include <string>
#include <vector>

namespace quillor {

struct TEmailAddressItem {
  std::string Name;
  std::string Address;

  // Reads "addr", "Name <addr>" or "\"Name\" <addr>" (quotes and their
  // backslash escapes removed); the text is trimmed first.
  void SetText(const std::string& text);
  // The header form: the bare address when Name is empty, else the name
  // quoted (backslash before each backslash and double quote) or, when it
  // holds a byte outside printable ASCII, as an encoded word, then " <", the
  // address and ">". An item without an address renders as "".
  std::string Text() const;
};

class TEmailAddressList {
 public:
  // Empties the list, then cuts `text` at the commas that are not inside
  // double quotes; every trimmed piece that is not empty becomes one item.
  void SetText(const std::string& text);
  // The items rendered as in TEmailAddressItem::Text, joined by ", ".
  std::string Text() const;

  void Add(const TEmailAddressItem& item) { items_.push_back(item); }
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  const TEmailAddressItem& Item(int i) const { return items_.at(static_cast<size_t>(i)); }
  const std::vector<TEmailAddressItem>& Items() const { return items_; }

 private:
  std::vector<TEmailAddressItem> items_;
};

}  // namespace quillor
