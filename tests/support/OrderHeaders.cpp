#include "tests/support/OrderHeaders.h"

#include <regex>

namespace quillor::test {

std::string MaskDate(const std::string& data) {
  static const std::regex kDate(
      "Date: [A-Z][a-z][a-z], [0-9]+ [A-Z][a-z][a-z] [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} [-+][0-9]{4}\r\n");
  return std::regex_replace(data, kDate, "Date: *\r\n");
}

std::string OrderHeaders(const std::string& from, const std::string& to) {
  return "From: " + from +
         "\r\n"
         "Subject: Commande CD\r\n"
         "To: " +
         to +
         "\r\n"
         "Content-Type: text/plain; charset=windows-1252\r\n"
         "MIME-Version: 1.0\r\n"
         "Content-Transfer-Encoding: 8bit\r\n"
         "Date: *\r\n"
         "X-Priority: 3\r\n"
         "X-Library: Quillor Mail 1.0\r\n"
         "\r\n";
}

}  // namespace quillor::test
