// Up-down arrows attached to a text box: each step writes the new position
// into the box as a whole number. The position is bounded and never wraps;
// what the user types into the box is not bounded by it, but a click starts
// from the number the box holds when it is one.
//
// The arrows and the Up/Down keys in the attached box both step. Widgets are
// owned by their Qt parent. GUI thread only.
#pragma once

#include <QWidget>
#include <cstdint>

class QLineEdit;
class QToolButton;

namespace quillor {

class TUpDown : public QWidget {
 public:
  // REQUIRES: `associate` outlives the arrows (same parent in practice).
  TUpDown(QLineEdit* associate, QWidget* parent);
  TUpDown(const TUpDown&) = delete;
  TUpDown& operator=(const TUpDown&) = delete;

  void SetRange(int32_t min, int32_t max);
  void SetIncrement(int32_t increment) { fIncrement = increment; }
  void SetPosition(int32_t position);
  int32_t Position() const { return fPosition; }
  int32_t Min() const { return fMin; }
  int32_t Max() const { return fMax; }

  // One step up (+1) or down (-1), as a click on an arrow.
  void Step(int direction);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void WritePosition();

  QLineEdit* fAssociate;
  QToolButton* fUp;
  QToolButton* fDown;
  int32_t fMin = 0;
  int32_t fMax = 100;
  int32_t fIncrement = 1;
  int32_t fPosition = 0;
};

}  // namespace quillor
