// A real HTTPS server (tests/support/https_server.py, Python's standard
// library, run with /usr/bin/python3) started on a free 127.0.0.1 port for
// the life of this object, serving the files of one folder as /<name>, with
// a server certificate for 127.0.0.1 (or another name) signed by a test CA
// that the fixture makes with the openssl command (CaFile() gives it to the
// client). Faults can be set per file name: an HTTP status, a file cut short,
// a file that stalls until Release(), a redirect.
//
//   HttpsServerProcess server(RawExportDir("2026-05"));
//   settings.source = {kWeb, server.BaseUrl()}; settings.caCertificateFile = server.CaFile();
//
// Events() lists "GET /NAME" per request and "stalled NAME" once a stalled
// file has sent its first bytes. The constructor throws std::runtime_error
// when the server does not start; the destructor ends it and removes its
// files. Should a test crash, the server ends by itself when it finds its
// parent gone, and after ten minutes in any case.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace quillor::test {

class HttpsServerProcess {
 public:
  struct Faults {
    std::map<std::string, int> status = {};            // name -> HTTP status
    std::map<std::string, size_t> cut = {};            // name -> bytes sent before closing
    std::map<std::string, size_t> stall = {};          // name -> bytes sent before stalling
    std::map<std::string, std::string> redirect = {};  // name -> Location
  };
  struct Options {
    Faults faults;
    bool plain = false;                         // plain HTTP, no TLS
    std::string certificateName = "127.0.0.1";  // the one name the certificate carries
  };

  explicit HttpsServerProcess(const std::filesystem::path& root);
  HttpsServerProcess(const std::filesystem::path& root, Options options);
  ~HttpsServerProcess();
  HttpsServerProcess(const HttpsServerProcess&) = delete;
  HttpsServerProcess& operator=(const HttpsServerProcess&) = delete;

  int Port() const { return port_; }
  // "https://127.0.0.1:PORT/" ("http://..." when plain).
  std::string BaseUrl() const;
  // The PEM file of the CA that signed the server's certificate.
  std::string CaFile() const;

  std::vector<std::string> Events() const;
  bool WaitForEvent(const std::string& event,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds{10000}) const;
  // Lets stalled files go on.
  void Release() const;
  std::string ServerLog() const;

 private:
  std::unique_ptr<TempDir> dir_;
  bool plain_ = false;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace quillor::test
