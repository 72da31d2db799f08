// Conversions between the grid's Windows-1252 byte strings and QString, for
// the widget boundary only.
#pragma once

#include <QString>
#include <string>

namespace quillor {

QString ToQString(const std::string& bytes);
// Characters without a Windows-1252 byte become '?'.
std::string FromQString(const QString& text);

}  // namespace quillor
