// The mailto: link that hands an order to the desktop's mail program when
// sending by SMTP fails. Texts are Windows-1252 bytes; the link is ASCII.
#pragma once

#include <string>
#include <vector>

namespace quillor {

// "mailto:" + address + "?subject=" + subject + "&body=" + each body line
// followed by "%0D%0A". Each part is converted to UTF-8 and percent-encoded
// (RFC 6068): only letters, digits and "-._~" stay as they are ("@" too in
// the address), so "&", "#", "?", "%", spaces and accented letters inside a
// line cannot cut the order short or change its meaning.
std::string BuildMailtoLink(const std::string& address, const std::string& subject,
                            const std::vector<std::string>& bodyLines);

// `utf8` percent-encoded, keeping the unreserved characters and `keep`.
std::string PercentEncode(const std::string& utf8, const std::string& keep = "");

}  // namespace quillor
