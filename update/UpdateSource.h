// Where an update takes the public database's files from, and how long it
// waits on the network. By default the public database's own download
// address, a setting of the build (QUILLOR_UPDATE_BASE_URL), followed by each
// file's published name; or an https:// address the user gives; or a folder
// holding files already downloaded.
//
// Plain values; any thread.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace quillor::update {

struct TUpdateSource {
  enum class TKind { kWeb, kFolder };
  TKind kind = TKind::kWeb;
  // kWeb: the base address, ending with '/'; a file is at base + its name.
  // kFolder: the folder's path (in the file system's encoding).
  std::string location;

  bool operator==(const TUpdateSource&) const = default;
};

// Reads what the user names as the source: an https:// address (a '/' is
// added when it does not end with one), a file: URL, or anything else as a
// folder. Refuses, with the reason in French (Windows-1252), a plain http://
// address, whose files anyone on the way could change, an address without a
// host, and a scheme that is neither.
std::optional<TUpdateSource> ReadUpdateSource(const std::string& text, std::string* why);

// The address (kWeb) or the path (kFolder) of one file of the source.
std::string FileLocation(const TUpdateSource& source, std::string_view name);

// The source for people: the address, or the folder's path (Windows-1252).
std::string DescribeSource(const TUpdateSource& source);

// Connecting (TCP and TLS) gives up after this long.
inline constexpr std::chrono::milliseconds kConnectTimeout{20000};
// Once connected, the transfer gives up when no byte arrived for this long.
inline constexpr std::chrono::milliseconds kReadTimeout{60000};

struct TUpdateSettings {
  TUpdateSource source;
  // The certificate authorities (a PEM file) that the server's certificate
  // must be signed by, in place of the system's; empty: the system's.
  std::string caCertificateFile;
  std::chrono::milliseconds connectTimeout = kConnectTimeout;
  std::chrono::milliseconds readTimeout = kReadTimeout;
};

// The build's address, the system's authorities, the time-outs above.
TUpdateSettings DefaultUpdateSettings();

}  // namespace quillor::update
