// Test helper: sets the user's decimal separator for the life of one object
// and puts the previous one back, so that each test states the locale it
// needs and leaves none behind.
#pragma once

#include "text/Locale.h"

namespace quillor::test {

class ScopedDecimalSeparator {
 public:
  explicit ScopedDecimalSeparator(char separator) : previous_(UserDecimalSeparator()) {
    SetUserDecimalSeparator(separator);
  }
  ~ScopedDecimalSeparator() { SetUserDecimalSeparator(previous_); }
  ScopedDecimalSeparator(const ScopedDecimalSeparator&) = delete;
  ScopedDecimalSeparator& operator=(const ScopedDecimalSeparator&) = delete;

 private:
  char previous_;
};

}  // namespace quillor::test
