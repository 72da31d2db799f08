#include "mail/Cancellation.h"

#include <utility>

namespace quillor {

void TCancellation::Cancel() {
  cancelled_ = true;
  if (wake_) wake_();
}

TCancellation::TWaker::TWaker(TCancellation* cancellation, std::function<void()> wake)
    : cancellation_(cancellation) {
  if (cancellation_ == nullptr) return;
  previous_ = std::exchange(cancellation_->wake_, std::move(wake));
}

TCancellation::TWaker::~TWaker() {
  if (cancellation_ != nullptr) cancellation_->wake_ = std::move(previous_);
}

}  // namespace quillor
