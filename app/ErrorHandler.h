// The application's general error handler: an exception that escapes an
// event handler is shown in a message box (through the message presenter)
// and the window carries on. Nothing is ever thrown through Qt's event loop:
// the window runs each handler through RunGuarded, and QuillorApplication
// catches whatever still reaches the event dispatch.
//
// GUI thread only.
#pragma once

#include <exception>
#include <utility>

namespace quillor {

// Shows the exception's text (Windows-1252 bytes) in an error box.
void ShowException(const std::exception& error);
// For exceptions of unknown type.
void ShowUnknownException();

// Runs `handler`; an exception it raises is shown and goes no further.
template <typename Handler>
void RunGuarded(Handler&& handler) noexcept {
  try {
    std::forward<Handler>(handler)();
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowUnknownException();
  }
}

}  // namespace quillor
