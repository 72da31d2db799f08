// The string-grid widget's in-place editor: a QLineEdit that the cell
// delegate creates, opened and closed for the controller (SetEditorMode),
// its selection read and set, and its text kept in step with the cell in
// both directions while it is open.
#include <QLineEdit>

#include "grid/widget/GridText.h"
#include "grid/widget/StringGridModel.h"
#include "grid/widget/StringGridWidget.h"

namespace quillor {

void StringGridWidget::RefreshEditor(int32_t col) {
  if (editor_ && col == editorCol_ && editorOpen())
    editor_->setText(ToQString(model_->Cell(editorCol_, editorRow_)));
}

bool StringGridWidget::editorOpen() const {
  return editor_ && editorIsOpen_;
}

bool StringGridWidget::GetEditorMode() const {
  return editorOpen();
}

void StringGridWidget::SetEditorMode(bool open) {
  if (open) {
    if (editorOpen() || !(options_ & goEditing)) return;
    if (row_ < model_->FixedRows() || col_ < fixedCols_) return;
    SyncViewCurrent();
    edit(model_->index(row_ - model_->FixedRows(), col_));
    return;
  }
  if (!editorOpen()) return;
  QLineEdit* editor = editor_;
  commitData(editor);
  closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void StringGridWidget::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  if (editor == editor_) editorIsOpen_ = false;
  // Tab in the editor leaves the grid as Tab in the grid does, rather than
  // editing the neighbouring cell.
  const bool tabbed =
      hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem;
  QTableView::closeEditor(editor, tabbed ? QAbstractItemDelegate::NoHint : hint);
  if (tabbed) focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
}

void StringGridWidget::EditorCreated(QLineEdit* editor, int32_t col, int32_t row) {
  editor_ = editor;
  editorIsOpen_ = true;
  editorCol_ = col;
  editorRow_ = row;
  // Ahead of the delegate's own filter, so that OnKeyDown sees Enter and Escape too.
  editor->removeEventFilter(this);
  editor->installEventFilter(this);
  // The user sees what is typed, even into a cell scrolled out of sight. A
  // cell wider than the view whose start is in sight stays where it is.
  const QModelIndex index = model_->index(row - model_->FixedRows(), col);
  const QRect cell = visualRect(index);
  const int width = viewport()->width();
  if (cell.left() < 0 || cell.left() >= width || (cell.right() >= width && cell.width() <= width)) {
    followColumn_ = true;
    scrollTo(index);
    followColumn_ = false;
  }
  // The cell follows the editor keystroke by keystroke, so that what the
  // handlers read of the current cell is what the user sees.
  connect(editor, &QLineEdit::textEdited, this, [this, editor](const QString& text) {
    if (editor != editor_ || !editorOpen()) return;
    const std::string value = FromQString(text);
    if (events_.OnSetEditText) events_.OnSetEditText(editorCol_, editorRow_, value);
    model_->SetCell(editorCol_, editorRow_, value);
  });
}

bool StringGridWidget::HasInplaceEditor() const {
  return editorOpen();
}

QLineEdit* StringGridWidget::InplaceEditor() const {
  return editorOpen() ? editor_.data() : nullptr;
}

int32_t StringGridWidget::GetEditorSelStart() const {
  if (!editorOpen()) return 0;
  return editor_->hasSelectedText() ? editor_->selectionStart() : editor_->cursorPosition();
}

void StringGridWidget::SetEditorSelStart(int32_t start) {
  if (editorOpen()) editor_->setCursorPosition(start);
}

int32_t StringGridWidget::GetEditorSelLength() const {
  if (!editorOpen() || !editor_->hasSelectedText()) return 0;
  return static_cast<int32_t>(editor_->selectedText().size());
}

void StringGridWidget::SetEditorSelLength(int32_t length) {
  if (!editorOpen()) return;
  const int32_t start = GetEditorSelStart();
  if (length <= 0) {
    editor_->setCursorPosition(start);
  } else {
    editor_->setSelection(start, length);
  }
}

}  // namespace quillor
