// The binder between a ui::Form and Qt widgets, and the guard that keeps exceptions out of Qt
// slots. Part of consolida_gui: it copies properties both ways and forwards user actions to the
// models' User* operations; it decides nothing about any window.
#include "gui/form_view.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTableWidget>
#include <QTimer>

#include "platform/runtime/vb_error.h"
#include "platform/ui/ui.h"

namespace gui {

namespace {

ExceptionHandler& Handler() {
  static ExceptionHandler handler;
  return handler;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The toolkit's key codes for a Qt key: letters, digits and space agree; the keypad has its own.
int VbKeyCode(const QKeyEvent& event) {
  const int key = event.key();
  if (event.modifiers() & Qt::KeypadModifier) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return 96 + (key - Qt::Key_0);
    switch (key) {
      case Qt::Key_Asterisk: return 106;
      case Qt::Key_Plus: return 107;
      case Qt::Key_Minus: return 109;
      case Qt::Key_Period: return 110;
      case Qt::Key_Slash: return 111;
      default: break;
    }
  }
  switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Delete: return 46;
    default: break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 112 + (key - Qt::Key_F1);
  return key < 128 ? key : 0;
}

int VbShift(const QKeyEvent& event) {
  int shift = 0;
  if (event.modifiers() & Qt::ShiftModifier) shift |= 1;
  if (event.modifiers() & Qt::ControlModifier) shift |= 2;
  if (event.modifiers() & Qt::AltModifier) shift |= 4;
  return shift;
}

Qt::Alignment QtAlignment(int alignment) {
  switch (alignment) {
    case ui::Grid::kLeftTop: return Qt::AlignLeft | Qt::AlignTop;
    case ui::Grid::kLeftBottom: return Qt::AlignLeft | Qt::AlignBottom;
    case ui::Grid::kCenterTop: return Qt::AlignHCenter | Qt::AlignTop;
    case ui::Grid::kCenterCenter: return Qt::AlignCenter;
    case ui::Grid::kCenterBottom: return Qt::AlignHCenter | Qt::AlignBottom;
    case ui::Grid::kRightTop: return Qt::AlignRight | Qt::AlignTop;
    case ui::Grid::kRightCenter: return Qt::AlignRight | Qt::AlignVCenter;
    case ui::Grid::kRightBottom: return Qt::AlignRight | Qt::AlignBottom;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

bool LooksNumeric(const std::string& text) {
  bool ok = false;
  QString(Q(text)).trimmed().toDouble(&ok);
  return ok;
}

constexpr int kDefaultColumnTwips = 960;

void FillList(QListWidget& list, const ui::ListBox& model) {
  list.clear();
  for (int i = 0; i < model.ListCount(); ++i) list.addItem(Q(model.List(i)));
}

void SyncListSelection(QListWidget& list, const ui::ListBox& model) {
  for (int i = 0; i < model.ListCount() && i < list.count(); ++i) list.item(i)->setSelected(model.Selected(i));
  list.setCurrentRow(model.ListIndex(), QItemSelectionModel::NoUpdate);
}

void FillCombo(QComboBox& combo, const ui::ComboBox& model) {
  combo.clear();
  combo.setEditable(model.Style() == ui::ComboBox::kDropdownCombo);
  for (int i = 0; i < model.ListCount(); ++i) combo.addItem(Q(model.List(i)));
  combo.setCurrentIndex(model.ListIndex());
  if (combo.isEditable()) combo.setEditText(Q(model.Text()));
}

void SetCell(QTableWidget& table, const ui::Grid& model, int row, int col) {
  QTableWidgetItem* item = table.item(row, col);
  if (item == nullptr) {
    item = new QTableWidgetItem();
    table.setItem(row, col, item);
  }
  const std::string& text = model.TextMatrix(row, col);
  item->setText(Q(text));
  int alignment = model.ColAlignment(col);
  if (alignment == ui::Grid::kGeneral) alignment = LooksNumeric(text) ? ui::Grid::kRightCenter : ui::Grid::kLeftCenter;
  item->setTextAlignment(QtAlignment(alignment));
  const bool fixed = row < model.FixedRows() || col < model.FixedCols();
  item->setBackground(fixed ? table.palette().button() : table.palette().base());
  item->setFlags(fixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}

void FillGrid(QTableWidget& table, const ui::Grid& model) {
  table.setRowCount(model.Rows());
  table.setColumnCount(model.Cols());
  for (int c = 0; c < model.Cols(); ++c) {
    const int width = model.ColWidth(c);
    // A column narrower than one pixel (the 1-twip holders of hidden values) is not shown at all.
    table.setColumnHidden(c, width >= 0 && Pixels(width) == 0);
    table.setColumnWidth(c, Pixels(width < 0 ? kDefaultColumnTwips : width));
    for (int r = 0; r < model.Rows(); ++r) SetCell(table, model, r, c);
  }
  if (model.Rows() > 0 && model.Cols() > 0) table.setCurrentCell(model.Row(), model.Col());
}

}  // namespace

void SetExceptionHandler(ExceptionHandler handler) { Handler() = std::move(handler); }

std::string DescribeException(const std::exception& error) {
  if (const auto* vb = dynamic_cast<const runtime::VbError*>(&error)) {
    return "(" + std::to_string(vb->Number()) + ") " + vb->Description();
  }
  return error.what();
}

bool Guarded(const std::function<void()>& action) {
  std::string text;
  try {
    action();
    return true;
  } catch (const std::exception& error) {
    if (Handler()) {
      try {
        Handler()(error);
      } catch (...) {
        // The handler itself failed (the log cannot be written): the message still shows.
      }
    }
    text = DescribeException(error);
  } catch (...) {
    text = "Error desconocido";
  }
  QMessageBox::critical(QApplication::activeWindow(), Q(ui::kAppTitle), Q(text));
  return false;
}

FormView::FormView(ui::Form& form, QWidget* parent)
    : QWidget(parent), form_(form), form_alive_(form.Lifetime()) {
  for (ui::Control* control : form_.Controls()) {
    QWidget* container = this;
    if (control->Container() != nullptr) {
      if (auto found = widgets_.find(control->Container()); found != widgets_.end()) container = found->second;
    }
    QWidget* widget = Build(*control, container);
    widgets_[control] = widget;
    controls_by_widget_[widget] = control;
    widget->installEventFilter(this);
    Refresh(*control, widget, ui::ControlChange{ui::ControlChange::kAll});
    const int id = control->Observe([this, control, widget](const ui::ControlChange& change) {
      Refresh(*control, widget, change);
    });
    subscriptions_.emplace_back(control, id);
  }
  form_subscription_ = form_.Observe([this](const ui::FormChange& change) { FormChanged(change); });
  ApplyTabOrder();
}

// Tab moves through the controls that can take the focus by TabIndex, ties in creation order.
void FormView::ApplyTabOrder() {
  std::vector<ui::Control*> order;
  for (ui::Control* control : form_.Controls()) {
    if (control->Kind() != ui::ControlKind::kLabel && control->Kind() != ui::ControlKind::kFrame) {
      order.push_back(control);
    }
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const ui::Control* a, const ui::Control* b) { return a->TabIndex() < b->TabIndex(); });
  for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(widgets_[order[i - 1]], widgets_[order[i]]);
}

FormView::~FormView() {
  if (form_alive_.expired()) return;
  for (auto& [control, id] : subscriptions_) control->Forget(id);
  form_.Forget(form_subscription_);
}

QWidget* FormView::WidgetFor(const ui::Control& control) const {
  const auto found = widgets_.find(&control);
  return found == widgets_.end() ? nullptr : found->second;
}

QWidget* FormView::Build(ui::Control& control, QWidget* parent) {
  switch (control.Kind()) {
    case ui::ControlKind::kTextBox: {
      auto& model = static_cast<ui::TextBox&>(control);
      auto* edit = new QLineEdit(parent);
      connect(edit, &QLineEdit::textEdited, this, [&model, edit](const QString& text) {
        Guarded([&] {
          model.UserEdit(text.toStdString());
          model.SetSelStart(edit->cursorPosition());
        });
        if (Q(model.Text()) != edit->text()) edit->setText(Q(model.Text()));
      });
      return edit;
    }
    case ui::ControlKind::kLabel: {
      auto* label = new QLabel(parent);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ui::ControlKind::kCommandButton: {
      auto& model = static_cast<ui::CommandButton&>(control);
      auto* button = new QPushButton(parent);
      connect(button, &QPushButton::clicked, this, [&model] { Guarded([&] { model.UserClick(); }); });
      return button;
    }
    case ui::ControlKind::kListBox: {
      auto& model = static_cast<ui::ListBox&>(control);
      auto* list = new QListWidget(parent);
      connect(list, &QListWidget::itemClicked, this, [&model, list](QListWidgetItem* item) {
        const bool add = QApplication::keyboardModifiers() & Qt::ControlModifier;
        Guarded([&] { model.UserClick(list->row(item), add); });
        SyncListSelection(*list, model);
      });
      connect(list, &QListWidget::itemDoubleClicked, this, [&model] {
        Guarded([&] {
          if (model.Reachable()) model.DblClick();
        });
      });
      return list;
    }
    case ui::ControlKind::kComboBox: {
      auto& model = static_cast<ui::ComboBox&>(control);
      auto* combo = new QComboBox(parent);
      // Refresh blocks the widget's signals, so a change of the current index is the user's.
      connect(combo, &QComboBox::currentIndexChanged, this, [&model, combo](int index) {
        if (index >= 0) Guarded([&] { model.UserSelect(index); });
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(model.ListIndex());
      });
      return combo;
    }
    case ui::ControlKind::kCheckBox: {
      auto& model = static_cast<ui::CheckBox&>(control);
      auto* check = new QCheckBox(parent);
      connect(check, &QCheckBox::clicked, this, [this, &model, check] {
        Guarded([&] { model.UserClick(); });
        Refresh(model, check, ui::ControlChange{ui::ControlChange::kValue});
      });
      return check;
    }
    case ui::ControlKind::kOptionButton: {
      auto& model = static_cast<ui::OptionButton&>(control);
      auto* radio = new QRadioButton(parent);
      // Groups are the model's business (one per container); Qt must not uncheck on its own.
      radio->setAutoExclusive(false);
      connect(radio, &QRadioButton::clicked, this, [this, &model, radio] {
        Guarded([&] { model.UserClick(); });
        Refresh(model, radio, ui::ControlChange{ui::ControlChange::kValue});
      });
      return radio;
    }
    case ui::ControlKind::kFrame:
      return new QGroupBox(parent);
    case ui::ControlKind::kGrid: {
      auto& model = static_cast<ui::Grid&>(control);
      auto* table = new QTableWidget(parent);
      table->horizontalHeader()->hide();
      table->verticalHeader()->hide();
      table->setEditTriggers(QAbstractItemView::NoEditTriggers);
      table->setSelectionMode(QAbstractItemView::SingleSelection);
      connect(table, &QTableWidget::cellClicked, this, [&model](int row, int col) {
        Guarded([&] { model.UserClick(row, col); });
      });
      connect(table, &QTableWidget::cellDoubleClicked, this, [&model] {
        Guarded([&] {
          if (model.Reachable()) model.DblClick();
        });
      });
      return table;
    }
  }
  return new QWidget(parent);
}

void FormView::Refresh(ui::Control& control, QWidget* widget, const ui::ControlChange& change) {
  using C = ui::ControlChange;
  const bool all = change.what == C::kAll;
  const QSignalBlocker blocker(widget);
  if (all || change.what == C::kGeometry) {
    widget->setGeometry(Pixels(control.Left()), Pixels(control.Top()), Pixels(control.Width()),
                        Pixels(control.Height()));
  }
  if (all || change.what == C::kEnabled) widget->setEnabled(control.Enabled());
  if (all || change.what == C::kVisible) widget->setVisible(control.Visible());
  if (change.what == C::kTabIndex) ApplyTabOrder();
  switch (control.Kind()) {
    case ui::ControlKind::kTextBox: {
      const auto& model = static_cast<const ui::TextBox&>(control);
      auto* edit = static_cast<QLineEdit*>(widget);
      if (all || change.what == C::kFormat) {
        edit->setMaxLength(model.MaxLength() > 0 ? model.MaxLength() : 32767);
        edit->setReadOnly(model.Locked());
      }
      if ((all || change.what == C::kText) && edit->text() != Q(model.Text())) {
        edit->setText(Q(model.Text()));
        edit->setCursorPosition(model.SelStart());
      }
      if (change.what == C::kSelection) edit->setCursorPosition(model.SelStart());
      break;
    }
    case ui::ControlKind::kLabel:
      if (all || change.what == C::kText) {
        static_cast<QLabel*>(widget)->setText(Q(static_cast<const ui::Label&>(control).Caption()).replace("\r\n", "\n"));
      }
      break;
    case ui::ControlKind::kCommandButton:
      if (all || change.what == C::kText) static_cast<QPushButton*>(widget)->setText(Q(static_cast<const ui::CommandButton&>(control).Caption()));
      break;
    case ui::ControlKind::kFrame:
      if (all || change.what == C::kText) static_cast<QGroupBox*>(widget)->setTitle(Q(static_cast<const ui::Frame&>(control).Caption()));
      break;
    case ui::ControlKind::kCheckBox: {
      const auto& model = static_cast<const ui::CheckBox&>(control);
      auto* check = static_cast<QCheckBox*>(widget);
      if (all || change.what == C::kText) check->setText(Q(model.Caption()));
      check->setTristate(model.Value() == ui::CheckBox::kGrayed);
      check->setCheckState(model.Value() == ui::CheckBox::kChecked   ? Qt::Checked
                           : model.Value() == ui::CheckBox::kGrayed ? Qt::PartiallyChecked
                                                                    : Qt::Unchecked);
      break;
    }
    case ui::ControlKind::kOptionButton: {
      const auto& model = static_cast<const ui::OptionButton&>(control);
      auto* radio = static_cast<QRadioButton*>(widget);
      if (all || change.what == C::kText) radio->setText(Q(model.Caption()));
      radio->setChecked(model.Value());
      break;
    }
    case ui::ControlKind::kListBox: {
      const auto& model = static_cast<const ui::ListBox&>(control);
      auto* list = static_cast<QListWidget*>(widget);
      if (all || change.what == C::kFormat) {
        list->setSelectionMode(model.MultiSelect() == ui::ListBox::kSimple     ? QAbstractItemView::MultiSelection
                               : model.MultiSelect() == ui::ListBox::kExtended ? QAbstractItemView::ExtendedSelection
                                                                               : QAbstractItemView::SingleSelection);
      }
      if (all || change.what == C::kItems) FillList(*list, model);
      SyncListSelection(*list, model);
      break;
    }
    case ui::ControlKind::kComboBox: {
      const auto& model = static_cast<const ui::ComboBox&>(control);
      auto* combo = static_cast<QComboBox*>(widget);
      if (all || change.what == C::kItems || change.what == C::kFormat) {
        FillCombo(*combo, model);
        if (combo->lineEdit() != nullptr && !controls_by_widget_.contains(combo->lineEdit())) {
          controls_by_widget_[combo->lineEdit()] = &control;
          combo->lineEdit()->installEventFilter(this);
          connect(combo->lineEdit(), &QLineEdit::textEdited, this, [&control, combo](const QString& text) {
            auto& edited = static_cast<ui::ComboBox&>(control);
            Guarded([&] {
              if (edited.Reachable()) edited.SetText(text.toStdString());
            });
            if (combo->currentText() != Q(edited.Text())) combo->setEditText(Q(edited.Text()));
          });
        }
      }
      combo->setCurrentIndex(model.ListIndex());
      if (combo->isEditable() && combo->currentText() != Q(model.Text())) combo->setEditText(Q(model.Text()));
      break;
    }
    case ui::ControlKind::kGrid: {
      const auto& model = static_cast<const ui::Grid&>(control);
      auto* table = static_cast<QTableWidget*>(widget);
      if (change.what == C::kItems && change.row >= 0) {
        SetCell(*table, model, change.row, change.col);
      } else if (all || change.what == C::kItems || change.what == C::kFormat) {
        FillGrid(*table, model);
      } else if (change.what == C::kSelection && model.Rows() > 0 && model.Cols() > 0) {
        table->setCurrentCell(model.Row(), model.Col());
      }
      break;
    }
  }
}

void FormView::AttachWindow(QWidget* window) {
  window_ = window;
  window_->installEventFilter(this);
  window_->setWindowTitle(Q(form_.Caption()));
  ApplyFormSize();
}

void FormView::ApplyFormSize() {
  if (window_ == nullptr) return;
  const QSize wanted(Pixels(form_.Width()), Pixels(form_.Height()));
  if (window_->size() == wanted) return;
  applying_ = true;
  window_->resize(wanted);
  applying_ = false;
}

void FormView::FormChanged(const ui::FormChange& change) {
  switch (change.what) {
    case ui::FormChange::kCaption:
      setWindowTitle(Q(form_.Caption()));
      if (window_ != nullptr) window_->setWindowTitle(Q(form_.Caption()));
      break;
    case ui::FormChange::kGeometry:
      ApplyFormSize();
      break;
    case ui::FormChange::kShown:
      if (window_ == nullptr) break;
      if (!form_.Visible()) {
        window_->hide();
        break;
      }
      window_->show();
      window_->raise();
      if (auto* sub = qobject_cast<QMdiSubWindow*>(window_); sub != nullptr && sub->mdiArea() != nullptr) {
        sub->mdiArea()->setActiveSubWindow(sub);
      }
      break;
    case ui::FormChange::kFocus:
      if (form_.ActiveControl() != nullptr) {
        if (QWidget* widget = WidgetFor(*form_.ActiveControl())) widget->setFocus();
      }
      break;
    case ui::FormChange::kLoaded:
      break;
  }
}

bool FormView::KeyEvent(ui::Control& control, QWidget* widget, QKeyEvent* event) {
  // Tab moves the focus and never reaches the window's key events.
  if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) return false;
  bool consumed = false;
  Guarded([&] {
    const int code = VbKeyCode(*event);
    if (event->type() == QEvent::KeyRelease) {
      consumed = code != 0 && form_.UserKeyUp(&control, code, VbShift(*event)) == 0;
      return;
    }
    if (code != 0 && form_.UserKeyDown(&control, code, VbShift(*event)) == 0) {
      consumed = true;
      return;
    }
    const QString text = event->text();
    if (text.isEmpty() || !control.Reachable()) return;
    int key = static_cast<int>(text.toUcs4().value(0));
    const int typed = key;
    if (control.Kind() == ui::ControlKind::kTextBox) {
      static_cast<ui::TextBox&>(control).KeyPress(key);
    } else if (control.Kind() == ui::ControlKind::kComboBox) {
      static_cast<ui::ComboBox&>(control).KeyPress(key);
    } else {
      return;
    }
    if (key == typed) return;
    consumed = true;
    // The handler replaced the key: type the replacement instead.
    if (key != 0) {
      if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->insert(QString(QChar(key)));
        emit edit->textEdited(edit->text());
      }
    }
  });
  return consumed;
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && window_ != nullptr) {
    if (event->type() == QEvent::Close) {
      event->ignore();
      Guarded([&] { form_.UserClose(); });
      return true;
    }
    if (event->type() == QEvent::Resize && !applying_) {
      const QSize size = static_cast<QResizeEvent*>(event)->size();
      if (size != QSize(Pixels(form_.Width()), Pixels(form_.Height()))) {
        Guarded([&] { form_.UserResize(Twips(size.width()), Twips(size.height())); });
        // Whatever Form_Resize left is the size; apply it once the resize is over.
        QTimer::singleShot(0, this, [this] { ApplyFormSize(); });
      }
    }
    return false;
  }
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    const auto found = controls_by_widget_.find(watched);
    if (found != controls_by_widget_.end()) {
      return KeyEvent(*found->second, static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace gui
