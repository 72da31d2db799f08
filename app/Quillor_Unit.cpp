// The order window's controls, their layout at 96 dpi, and the wiring of
// their events to the handlers.
#include "app/Quillor_Unit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QToolButton>

#include "app/ArticleNotes.h"
#include "app/CatalogueStrip.h"
#include "app/CatalogueUpdater.h"
#include "app/DraftKeeper.h"
#include "app/ErrorHandler.h"
#include "app/MessagePresenter.h"
#include "app/SvgPicture.h"
#include "app/UpDown.h"
#include "app/WidgetText.h"
#include "update/AvailabilityRefresh.h"

static void InitQuillorResources() {
  Q_INIT_RESOURCE(quillor);
}

namespace quillor {

TQuillor_Form* Quillor_Form = nullptr;

namespace {

// The window's font: the classic dialog face when installed, else the
// desktop's sans-serif, at 8 points.
QFont WindowFont() {
  QFont font;
  if (QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))) {
    font = QFont(QStringLiteral("MS Sans Serif"));
  } else {
    font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
  }
  font.setPointSize(8);
  return font;
}

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// A frame drawn as a raised panel.
QFrame* NewPanel(QWidget* parent, const char* name) {
  QFrame* panel = Named(new QFrame(parent), name);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);
  return panel;
}

// Tab leaves a memo for the next control, as in every other control, so that
// the keyboard reaches the address and the send button.
QPlainTextEdit* NewMemo(QWidget* parent, const char* name) {
  QPlainTextEdit* memo = Named(new QPlainTextEdit(parent), name);
  memo->setTabChangesFocus(true);
  return memo;
}

}  // namespace

TQuillor_Form::TQuillor_Form(TQuillorOptions options, QWidget* parent)
    : QWidget(parent), fOptions(std::move(options)) {
  Quillor_Form = this;
  InitQuillorResources();
  // Error reports of the trace facility become message boxes of this window.
  fPreviousReporter = SetTraceReporter(std::make_unique<PresenterTraceReporter>());
  CreateControls();
  SetTabOrder();
  ConnectHandlers();
  fCatalogueUpdater = std::make_unique<TCatalogueUpdater>(
      this, TCatalogueUpdater::THooks{
                [this] { return CatalogueUpdateRequest(); },
                [this] { RunGuarded([this] { CatalogueChanged(); }); },
                [this](bool running) { CatalogueStrip->SetUpdating(running); },
            });
  RunGuarded([this] { FormCreate(); });
  // Also after a start-up that stopped early: the kept order matters most.
  RunGuarded([this] { RestoreKeptDraft(); });
  RunGuarded([this] { RefreshAvailabilityIfOld(); });
  // Shown in any case, even when the start-up stopped before showing it.
  if (!isVisible()) show();
  // Over the window: an order a former run may have sent is told at once.
  RunGuarded([this] { ReportInterruptedSending(); });
}

TQuillor_Form::~TQuillor_Form() {
  // An update or a refresh still running ends here, calling nothing back.
  fCatalogueUpdater.reset();
  fAvailabilityRefresh.reset();
  // The controller gives the grid widget its handlers back while both live.
  ArticleGrid.reset();
  // The memos go with the window: nothing is kept from here on.
  disconnect(Message_Memo, nullptr, this, nullptr);
  disconnect(Adresse_Memo, nullptr, this, nullptr);
  fDraftKeeper.reset();
  SetTraceReporter(std::move(fPreviousReporter));
  if (Quillor_Form == this) Quillor_Form = nullptr;
}

void TQuillor_Form::CreateControls() {
  setObjectName(QStringLiteral("Quillor_Form"));
  setWindowTitle(QStringLiteral("Quillor"));
  setFont(WindowFont());
  setGeometry(64, 55, 860, 496);

  Image1 = Named(new QLabel(this), "Image1");
  Image1->setGeometry(8, 16, 409, 121);

  Label1 = Named(new QLabel(this), "Label1");
  Label1->setGeometry(128, 80, 279, 20);
  SetTitleCaption(
      "Base Sp\xE9"
      "cialit\xE9"
      "s Pharmaceutiques");

  ListeArticles_StringGrid = Named(new StringGridWidget(this), "ListeArticles_StringGrid");
  ListeArticles_StringGrid->setGeometry(8, 168, 505, 313);
  IStringGrid& grid = *ListeArticles_StringGrid;
  grid.SetColCount(3);
  grid.SetRowCount(5000);
  grid.SetFixedCols(0);
  grid.SetColWidth(0, 67);
  grid.SetColWidth(1, 244);
  grid.SetColWidth(2, 64);
  grid.SetOptions(goVertLine | goHorzLine | goEditing | goRowSelect);

  Panel1 = NewPanel(this, "Panel1");
  Panel1->setGeometry(424, 8, 177, 145);

  GroupBox1 = Named(new QGroupBox(QStringLiteral("RECHERCHE"), this), "GroupBox1");
  GroupBox1->setGeometry(432, 16, 161, 97);
  RadioButton1 = Named(new QRadioButton(GroupBox1), "RadioButton1");
  RadioButton1->setGeometry(8, 24, 73, 17);
  RadioButton1->setChecked(true);
  RadioButton3 = Named(new QRadioButton(GroupBox1), "RadioButton3");
  RadioButton3->setGeometry(8, 48, 97, 17);
  RadioButton4 = Named(new QRadioButton(GroupBox1), "RadioButton4");
  RadioButton4->setGeometry(8, 72, 97, 17);
  RadioButton4->setToolTip(
      ToQString("Par substance active et dosage, comme une prescription en DCI : "
                "parac\xE9tamol 1000, amlodipine 5, ibuprof\xE8ne 400 mg"));
  SetModeCaptions("Exacte", "Approximative", "Substance");

  Edit1 = Named(new QLineEdit(this), "Edit1");
  Edit1->setGeometry(432, 120, 137, 21);

  SpeedButton2 = Named(new QToolButton(Panel1), "SpeedButton2");
  SpeedButton2->setGeometry(144, 112, 23, 22);
  SpeedButton2->setFocusPolicy(Qt::NoFocus);
  SpeedButton2->setAutoRaise(true);
  SpeedButton2->setIconSize(QSize(16, 16));

  Panel2 = NewPanel(this, "Panel2");
  Panel2->setGeometry(520, 176, 81, 177);
  Label3 = Named(new QLabel(QStringLiteral("AJOUTER"), Panel2), "Label3");
  Label3->move(16, 8);
  Label3->adjustSize();
  Label4 = Named(new QLabel(ToQString("Quantit\xE9"), Panel2), "Label4");
  Label4->move(16, 40);
  Label4->adjustSize();
  Edit2 = Named(new QLineEdit(QStringLiteral("1"), Panel2), "Edit2");
  Edit2->setGeometry(8, 56, 49, 21);
  UpDown1 = Named(new TUpDown(Edit2, Panel2), "UpDown1");
  UpDown1->setGeometry(57, 56, 16, 21);
  UpDown1->SetRange(0, 100);
  UpDown1->SetIncrement(1);
  UpDown1->SetPosition(1);
  SpeedButton1 = Named(new QToolButton(Panel2), "SpeedButton1");
  SpeedButton1->setGeometry(8, 96, 65, 49);
  SpeedButton1->setFocusPolicy(Qt::NoFocus);
  SpeedButton1->setIconSize(QSize(61, 45));

  Message_Memo = NewMemo(this, "Message_Memo");
  Message_Memo->setGeometry(608, 8, 249, 345);
  Message_Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  Message_Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Message_Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  Label2 = Named(new QLabel(QStringLiteral("DE LA PART DE LA PHARMACIE"), this), "Label2");
  Label2->move(656, 360);
  Label2->adjustSize();

  Adresse_Memo = NewMemo(this, "Adresse_Memo");
  Adresse_Memo->setGeometry(608, 376, 249, 73);
  Adresse_Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Adresse_Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  Button1 = Named(new QPushButton(QStringLiteral("&Quitter"), this), "Button1");
  Button1->setGeometry(528, 464, 65, 25);
  Button2 = Named(new QPushButton(QStringLiteral("Envoyer la Commande"), this), "Button2");
  Button2->setGeometry(664, 464, 187, 25);

  // Under the logo, above the list it fills.
  CatalogueStrip = new TCatalogueStrip(
      this, [this] { RunGuarded([this] { UpdateCatalogueClick(); }); },
      [this] { RunGuarded([this] { RollbackCatalogueClick(); }); });
  CatalogueStrip->setGeometry(8, 139, 409, 26);

  // Under the grid, which FormResize follows.
  Label5 = Named(new QLabel(this), "Label5");
  Label5->setGeometry(8, 466, 505, 17);
  Label5->setTextFormat(Qt::PlainText);

  // What the list shows when it is not a search: one line over the list,
  // which gives way while it is shown.
  Label6 = Named(new QLabel(this), "Label6");
  Label6->setGeometry(8, ListeArticles_StringGrid->y(), ListeArticles_StringGrid->width(), 17);
  Label6->setTextFormat(Qt::PlainText);
  Label6->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  Label6->setStyleSheet(QStringLiteral("color: #404040;"));
  Label6->hide();
  // What the window cannot tell for want of a knowledge file: in the logo's
  // free corner, under its caption, where it moves nothing.
  Label7 = Named(new QLabel(this), "Label7");
  Label7->setGeometry(128, 112, 289, 17);
  Label7->setTextFormat(Qt::PlainText);
  Label7->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  Label7->setStyleSheet(QStringLiteral("color: #a00000;"));

  DrawPictures();

  // Drawn over the logo.
  Label1->raise();
}

void TQuillor_Form::DrawPictures() {
  // As many pixels as the screen has for the pictures' logical size, so
  // that they stay sharp on a screen that scales.
  const qreal ratio = devicePixelRatioF();
  Image1->setPixmap(RenderSvg(QStringLiteral(":/quillor/logo.svg"), Image1->size(), ratio));
  SpeedButton2->setIcon(
      QIcon(RenderSvg(QStringLiteral(":/quillor/search.svg"), SpeedButton2->iconSize(), ratio)));
  SpeedButton1->setIcon(
      QIcon(RenderSvg(QStringLiteral(":/quillor/add.svg"), SpeedButton1->iconSize(), ratio)));
}

void TQuillor_Form::SetTitleCaption(const std::string& caption) {
  QFont titleFont = font();
  titleFont.setBold(true);
  const QString text = ToQString(caption);
  for (double size = 12.0; size >= 7.0; size -= 0.5) {
    titleFont.setPointSizeF(size);
    if (QFontMetrics(titleFont).horizontalAdvance(text) <= Label1->width()) break;
  }
  Label1->setFont(titleFont);
  Label1->setText(text);
}

void TQuillor_Form::SetModeCaptions(const std::string& exact, const std::string& approximate,
                                    const std::string& substance) {
  RadioButton1->setText(ToQString(exact));
  RadioButton3->setText(ToQString(approximate));
  RadioButton4->setText(ToQString(substance));
  auto fits = [](const QRadioButton* button) { return button->sizeHint().width() <= button->width(); };
  // One size for all, so that the modes read alike.
  QFont captionFont = font();
  for (double size = captionFont.pointSizeF(); size >= 6.0; size -= 0.5) {
    captionFont.setPointSizeF(size);
    RadioButton1->setFont(captionFont);
    RadioButton3->setFont(captionFont);
    RadioButton4->setFont(captionFont);
    if (fits(RadioButton1) && fits(RadioButton3) && fits(RadioButton4)) break;
  }
}

void TQuillor_Form::SetTabOrder() {
  // Grid, quit button, search text, search mode, memos, the search button's
  // panel, the add panel, the send button. The picture buttons take no focus.
  const std::vector<QWidget*> order = {ListeArticles_StringGrid,
                                       Button1,
                                       Edit1,
                                       RadioButton1,
                                       RadioButton3,
                                       RadioButton4,
                                       Message_Memo,
                                       Adresse_Memo,
                                       Edit2,
                                       Button2};
  for (size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
}

void TQuillor_Form::ConnectHandlers() {
  auto guarded = [this](void (TQuillor_Form::*handler)()) {
    return [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); };
  };
  connect(Button1, &QPushButton::clicked, this, guarded(&TQuillor_Form::Button1Click));
  connect(Button2, &QPushButton::clicked, this, guarded(&TQuillor_Form::Button2Click));
  connect(SpeedButton1, &QToolButton::clicked, this, guarded(&TQuillor_Form::SpeedButton1Click));
  connect(SpeedButton2, &QToolButton::clicked, this, guarded(&TQuillor_Form::SpeedButton2Click));
  connect(RadioButton1, &QRadioButton::clicked, this, guarded(&TQuillor_Form::RadioButton1Click));
  connect(RadioButton3, &QRadioButton::clicked, this, guarded(&TQuillor_Form::RadioButton3Click));
  connect(RadioButton4, &QRadioButton::clicked, this, guarded(&TQuillor_Form::RadioButton4Click));
  connect(Edit1, &QLineEdit::textChanged, this, guarded(&TQuillor_Form::Edit1Change));
  connect(Edit2, &QLineEdit::returnPressed, this, guarded(&TQuillor_Form::Edit2Return));
  Edit1->installEventFilter(this);
  RadioButton3->installEventFilter(this);
  Button2->installEventFilter(this);

  // The equivalents of the selected article, from anywhere in the window;
  // Escape goes back only while they are shown.
  fEquivalentsKey = new QShortcut(QKeySequence(QString::fromLatin1(kEquivalentsKeyName)), this);
  connect(fEquivalentsKey, &QShortcut::activated, this, guarded(&TQuillor_Form::ShowEquivalents));
  fReturnKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  fReturnKey->setEnabled(false);
  connect(fReturnKey, &QShortcut::activated, this, guarded(&TQuillor_Form::ReturnToSearch));
  // The grid's tooltips and context menu: its rows' articles.
  ListeArticles_StringGrid->viewport()->installEventFilter(this);
  ListeArticles_StringGrid->installEventFilter(this);
}

bool TQuillor_Form::IsSecondClickOnSend(QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick) return false;
  // The window system's times, not when the events are handled: a double
  // click on a sending that failed at once has its second press handled
  // after the outcome, yet it belongs to the first click.
  const quint64 pressed = static_cast<QMouseEvent*>(event)->timestamp();
  const bool second = event->type() == QEvent::MouseButtonDblClick ||
                      (fLastSendPress && pressed >= *fLastSendPress &&
                       pressed - *fLastSendPress < static_cast<quint64>(QApplication::doubleClickInterval()));
  if (event->type() == QEvent::MouseButtonPress && !second) fLastSendPress = pressed;
  return second;
}

bool TQuillor_Form::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Button2) return IsSecondClickOnSend(event);
  const bool keyDown = event->type() == QEvent::KeyPress;
  const bool keyUp = event->type() == QEvent::KeyRelease;
  if (watched == Edit1 && keyDown) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    // A scanner types the group separator of a DataMatrix as Ctrl+], which
    // a text box drops like any control character: it is kept here.
    if (static_cast<QKeyEvent*>(event)->text() == QString(QChar(0x1D))) {
      Edit1->insert(QString(QChar(0x1D)));
      return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      char pressed = '\r';
      RunGuarded([this, &pressed] { Edit1KeyPress(pressed); });
    }
  } else if (watched == ListeArticles_StringGrid->viewport() && event->type() == QEvent::ToolTip) {
    RunGuarded([this, event] { GridToolTip(event); });
    return true;
  } else if ((watched == ListeArticles_StringGrid->viewport() || watched == ListeArticles_StringGrid) &&
             event->type() == QEvent::ContextMenu) {
    const bool fromMouse = watched == ListeArticles_StringGrid->viewport();
    RunGuarded([this, event, fromMouse] { GridContextMenu(event, fromMouse); });
    return true;
  } else if (watched == RadioButton3 && (keyDown || keyUp)) {
    uint16_t key = static_cast<uint16_t>(static_cast<QKeyEvent*>(event)->nativeVirtualKey());
    const uint32_t shift = static_cast<uint32_t>(static_cast<QKeyEvent*>(event)->modifiers());
    RunGuarded([&] { keyDown ? RadioButton3KeyDown(key, shift) : RadioButton3KeyUp(key, shift); });
  }
  // The handlers never consume a key: the control still acts on it (the
  // group separator aside, which the control would drop).
  return QWidget::eventFilter(watched, event);
}

bool TQuillor_Form::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  // The window manager's frame arrives after the first showing, with no
  // resize of the client area: the grid's height, which follows the outer
  // height, is then set again once control is back in the event loop.
  if (ArticleGrid && !fFrameCheckQueued && frameGeometry().height() != fGridFrameHeight) {
    fFrameCheckQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          fFrameCheckQueued = false;
          if (frameGeometry().height() != fGridFrameHeight) RunGuarded([this] { FormResize(); });
        },
        Qt::QueuedConnection);
  }
  return handled;
}

void TQuillor_Form::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  RunGuarded([this] { FormResize(); });
}

void TQuillor_Form::closeEvent(QCloseEvent* event) {
  bool closing = false;
  RunGuarded([this, &closing] { closing = CloseAfterSavingAddress(); });
  if (closing) {
    event->accept();
  } else {
    event->ignore();
  }
}

std::string TQuillor_Form::AddressText() const {
  return MemoText(*Adresse_Memo);
}

std::string TQuillor_Form::MessageText() const {
  return MemoText(*Message_Memo);
}

void TQuillor_Form::Button1Click() {
  close();
}

void TQuillor_Form::RadioButton3KeyDown(uint16_t&, uint32_t) {}

void TQuillor_Form::RadioButton3KeyUp(uint16_t&, uint32_t) {}

}  // namespace quillor
