// The Internet date text of the Date header, in local time with the offset
// from UTC that the system's time-zone data gives for that moment, e.g.
// "Tue, 8 Dec 2026 18:05:09 +0100". The English names never follow the locale.
#pragma once

#include <ctime>
#include <string>

namespace quillor {

// REQUIRES: the process time zone is set up (TZ or /etc/localtime); tzset()
// is called here so a changed TZ takes effect.
// Throws EMailError("Failed attempting to retrieve time zone information.")
// when the local time of `moment` cannot be computed.
std::string DateTimeToInternetStr(std::time_t moment);

// The offset part alone: "+hhmm" or "-hhmm" for `offsetSeconds` east of UTC
// ("+" for zero). Seconds beyond whole minutes are dropped.
std::string UtcOffsetText(long offsetSeconds);

}  // namespace quillor
