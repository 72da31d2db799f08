// What the server receives ahead of every order's text: the header block the
// order message carries, as the send, real-server and session tests expect
// it, with the date (which is the moment of the sending) masked.
#pragma once

#include <string>

namespace quillor::test {

// `data` with the value of each well-formed Date: header ("Mon, 5 Jan 2026
// 09:04:05 +0100") replaced by "*". A date of another form is left as it is,
// so that comparing with OrderHeaders() catches it.
std::string MaskDate(const std::string& data);

// The header block of an order from `from` to `to`, its date masked, and the
// empty line that ends it; CR LF line ends.
std::string OrderHeaders(const std::string& from, const std::string& to);

}  // namespace quillor::test
