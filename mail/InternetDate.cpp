#include "mail/InternetDate.h"

#include <cstdio>
#include <cstdlib>

#include "mail/MailErrors.h"

namespace quillor {

std::string UtcOffsetText(long offsetSeconds) {
  const char sign = offsetSeconds < 0 ? '-' : '+';
  const int minutes = static_cast<int>(std::labs(offsetSeconds) / 60 % (100 * 60));
  char text[16];
  std::snprintf(text, sizeof text, "%c%02d%02d", sign, minutes / 60, minutes % 60);
  return text;
}

std::string DateTimeToInternetStr(std::time_t moment) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  tzset();
  std::tm local{};
  if (localtime_r(&moment, &local) == nullptr)
    throw EMailError("Failed attempting to retrieve time zone information.");
  char text[64];
  std::snprintf(text, sizeof text, "%s, %d %s %d %02d:%02d:%02d ", kDays[local.tm_wday], local.tm_mday,
                kMonths[local.tm_mon], local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
  return text + UtcOffsetText(local.tm_gmtoff);
}

}  // namespace quillor
