// How the user ends a network session while it waits. The socket stream
// waits in a local event loop, so handlers keep running meanwhile; one of
// them (the "Annuler" button of the sending's progress window) calls
// Cancel(), which wakes the wait in progress. That wait then closes the
// connection at once, without a farewell to the server, and throws
// ESendingCancelled; so does every later step of the session until Reset().
//
// Owned by the connection it cancels (TTcpConnection::Cancellation). Plain
// C++, no locking: used on the thread that runs the session only.
#pragma once

#include <functional>

namespace quillor {

class TCancellation {
 public:
  TCancellation() = default;
  TCancellation(const TCancellation&) = delete;
  TCancellation& operator=(const TCancellation&) = delete;

  // Marks the session cancelled and wakes the wait in progress, if any.
  void Cancel();
  bool IsCancelled() const { return cancelled_; }
  // Arms it again for the next session.
  void Reset() { cancelled_ = false; }

  // For as long as it lives, Cancel() calls `wake`: how a wait learns that
  // it must stop. Waits nest (the previous wake is restored at the end).
  // `cancellation` may be null (nothing to listen to).
  class TWaker {
   public:
    TWaker(TCancellation* cancellation, std::function<void()> wake);
    ~TWaker();
    TWaker(const TWaker&) = delete;
    TWaker& operator=(const TWaker&) = delete;

   private:
    TCancellation* cancellation_;
    std::function<void()> previous_;
  };

 private:
  bool cancelled_ = false;
  std::function<void()> wake_;
};

}  // namespace quillor
