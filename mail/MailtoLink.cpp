#include "mail/MailtoLink.h"

#include "text/Cp1252.h"

namespace quillor {

std::string PercentEncode(const std::string& utf8, const std::string& keep) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string result;
  for (unsigned char c : utf8) {
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                            c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved || (c != 0 && keep.find(static_cast<char>(c)) != std::string::npos)) {
      result += static_cast<char>(c);
    } else {
      result += '%';
      result += kHex[c >> 4];
      result += kHex[c & 0x0F];
    }
  }
  return result;
}

std::string BuildMailtoLink(const std::string& address, const std::string& subject,
                            const std::vector<std::string>& bodyLines) {
  std::string link = "mailto:" + PercentEncode(Cp1252ToUtf8(address), "@");
  link += "?subject=" + PercentEncode(Cp1252ToUtf8(subject));
  link += "&body=";
  for (const std::string& line : bodyLines) link += PercentEncode(Cp1252ToUtf8(line)) + "%0D%0A";
  return link;
}

}  // namespace quillor
