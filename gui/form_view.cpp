// The binder between a ui::Form and Qt widgets, and the guard that keeps exceptions out of Qt
// slots. Part of consolida_gui: it copies properties both ways and forwards user actions to the
// models' User* operations; it decides nothing about any window.
#include "gui/form_view.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QAbstractItemDelegate>
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
#include <QRegularExpression>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOption>
#include <QStyleOptionTitleBar>
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

// Arial's metrics, which the twip sizes were laid out with; the first one installed is used.
constexpr const char* kFormFamilies[] = {"Liberation Sans", "Arial"};
constexpr int kFormFontPixels = 11;

QString DesignedFamily() {
  const QStringList installed = QFontDatabase::families();
  for (const char* family : kFormFamilies) {
    if (installed.contains(QString::fromLatin1(family))) return QString::fromLatin1(family);
  }
  return {};
}

// The width `widget` needs to show its caption on one line; 0 when it shows none. Labels are
// measured line by line (the caption's own line breaks), buttons without Qt's minimum width.
int CaptionNeed(const QWidget& widget) {
  const QFontMetrics metrics = widget.fontMetrics();
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
    int widest = 0;
    for (const QString& line : label->text().split('\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest == 0 ? 0 : widest + 2 * (label->frameWidth() + label->margin());
  }
  if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
    if (button->text().isEmpty()) return 0;
    const QStyle* style = button->style();
    return metrics.size(Qt::TextShowMnemonic, button->text()).width() +
           style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
           2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
  }
  if (const auto* box = qobject_cast<const QAbstractButton*>(&widget)) {
    if (box->text().isEmpty()) return 0;
    // The text starts after the indicator and its spacing, as the style lays them out.
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    option.rect = QRect(0, 0, QWIDGETSIZE_MAX / 2, box->height());
    const bool radio = qobject_cast<const QRadioButton*>(box) != nullptr;
    const QRect text = box->style()->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents,
                                                    &option, box);
    return text.left() + metrics.size(Qt::TextShowMnemonic, box->text()).width() + 1;
  }
  if (const auto* frame = qobject_cast<const QGroupBox*>(&widget)) {
    return frame->title().isEmpty() ? 0 : frame->minimumSizeHint().width();
  }
  return 0;
}

// A word-wrapping label shows its caption when the wrapped lines fit its height and no single
// word is wider than it.
bool LabelShowsAll(const QLabel& label, int width, int height) {
  if (label.text().isEmpty()) return true;
  int longest_word = 0;
  for (const QString& word : label.text().split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
    longest_word = std::max(longest_word, label.fontMetrics().horizontalAdvance(word));
  }
  return longest_word <= width && label.heightForWidth(width) <= height;
}

// The width a grid column needs for the texts of its fixed (header) rows, as the item delegate
// lays a cell out (its margins), plus the grid line.
int HeaderNeed(const QTableWidget& table, const ui::Grid& model, int col) {
  QStyleOptionViewItem option;
  option.initFrom(&table);
  option.font = table.font();
  option.fontMetrics = table.fontMetrics();
  int widest = 0;
  for (int r = 0; r < model.FixedRows() && r < model.Rows() && r < table.rowCount(); ++r) {
    if (model.TextMatrix(r, col).empty()) continue;
    widest = std::max(widest, table.itemDelegate()->sizeHint(option, table.model()->index(r, col)).width() + 1);
  }
  return widest;
}

// A column is as wide as the form says, or as its header text needs when that is wider.
void FitColumn(QTableWidget& table, const ui::Grid& model, int col) {
  const int width = model.ColWidth(col);
  // A column narrower than one pixel (the 1-twip holders of hidden values) is not shown at all.
  const bool hidden = width >= 0 && Pixels(width) == 0;
  table.setColumnHidden(col, hidden);
  if (!hidden) table.setColumnWidth(col, std::max(Pixels(width < 0 ? kDefaultColumnTwips : width), HeaderNeed(table, model, col)));
}

std::string ControlName(const ui::Control& control) {
  return control.Index() < 0 ? control.Name() : control.Name() + "(" + std::to_string(control.Index()) + ")";
}

// The caption a label, button, check or option box shows.
QString WidgetText(const QWidget& widget) {
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) return button->text();
  return {};
}

std::string CutLine(const std::string& who, const QString& text, int need, int has) {
  return who + ": \"" + text.toStdString() + "\" needs " + std::to_string(need) + " px, has " + std::to_string(has) + " px";
}

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
    for (int r = 0; r < model.Rows(); ++r) SetCell(table, model, r, c);
    FitColumn(table, model, c);
  }
  if (model.Rows() > 0 && model.Cols() > 0) table.setCurrentCell(model.Row(), model.Col());
}

}  // namespace

bool FormFontIsTheDesignedOne() { return !DesignedFamily().isEmpty(); }

QFont FormFont() {
  QFont font = QApplication::font();
  const QString family = DesignedFamily();
  if (!family.isEmpty()) font.setFamily(family);
  font.setPixelSize(kFormFontPixels);
  return font;
}

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
  setFont(FormFont());
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
      // Enter is the view's business (the form's Default button), also inside a dialog.
      button->setAutoDefault(false);
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
      // Enter in the edit part must not add what was typed to the items.
      combo->setInsertPolicy(QComboBox::NoInsert);
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
      // Tab goes on to the next control, as out of any other.
      table->setTabKeyNavigation(false);
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
    Place(control, widget);
    // Growing captions are capped at their frame's edge: a frame's new size gives them room.
    if (control.Kind() == ui::ControlKind::kFrame && !all) {
      for (auto& [inner, inner_widget] : widgets_) {
        if (inner->Container() == &control) Place(*inner, inner_widget);
      }
    }
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
        Place(control, widget);
      }
      break;
    case ui::ControlKind::kCommandButton: {
      const auto& model = static_cast<const ui::CommandButton&>(control);
      auto* button = static_cast<QPushButton*>(widget);
      if (all || change.what == C::kText) {
        button->setText(Q(model.Caption()));
        Place(control, widget);
      }
      if (all || change.what == C::kFormat) button->setDefault(model.Default());
      break;
    }
    case ui::ControlKind::kFrame:
      if (all || change.what == C::kText) {
        static_cast<QGroupBox*>(widget)->setTitle(Q(static_cast<const ui::Frame&>(control).Caption()));
        Place(control, widget);
      }
      break;
    case ui::ControlKind::kCheckBox: {
      const auto& model = static_cast<const ui::CheckBox&>(control);
      auto* check = static_cast<QCheckBox*>(widget);
      if (all || change.what == C::kText) {
        check->setText(Q(model.Caption()));
        Place(control, widget);
      }
      check->setTristate(model.Value() == ui::CheckBox::kGrayed);
      check->setCheckState(model.Value() == ui::CheckBox::kChecked   ? Qt::Checked
                           : model.Value() == ui::CheckBox::kGrayed ? Qt::PartiallyChecked
                                                                    : Qt::Unchecked);
      break;
    }
    case ui::ControlKind::kOptionButton: {
      const auto& model = static_cast<const ui::OptionButton&>(control);
      auto* radio = static_cast<QRadioButton*>(widget);
      if (all || change.what == C::kText) {
        radio->setText(Q(model.Caption()));
        Place(control, widget);
      }
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
        if (change.row < model.FixedRows()) FitColumn(*table, model, change.col);
      } else if (all || change.what == C::kItems || change.what == C::kFormat) {
        FillGrid(*table, model);
      } else if (change.what == C::kSelection && model.Rows() > 0 && model.Cols() > 0) {
        table->setCurrentCell(model.Row(), model.Col());
      }
      break;
    }
  }
}

// A control sits where the form puts it. A caption wider than the control makes it grow to the
// right (a label also downwards, line by line), never past its container's edge: the text is
// the system's and is never cut where there is room for it.
void FormView::Place(const ui::Control& control, QWidget* widget) {
  QRect rect(Pixels(control.Left()), Pixels(control.Top()), Pixels(control.Width()), Pixels(control.Height()));
  const QWidget* container = widget->parentWidget();
  const int room_right = container->width() - rect.x();
  const int room_below = container->height() - rect.y();
  const int need = CaptionNeed(*widget);
  if (need > rect.width()) rect.setWidth(std::max(rect.width(), std::min(need, room_right)));
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    const int tall = label->heightForWidth(rect.width());
    if (tall > rect.height()) rect.setHeight(std::max(rect.height(), std::min(tall, room_below)));
  }
  widget->setGeometry(rect);
}

void FormView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  for (auto& [control, widget] : widgets_) {
    if (control->Container() == nullptr) Place(*control, widget);
  }
}

std::vector<std::string> FormView::CutTexts() const {
  std::vector<std::string> cut;
  for (const ui::Control* control : form_.Controls()) {
    const QWidget* widget = WidgetFor(*control);
    if (widget == nullptr) continue;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
      if (!LabelShowsAll(*label, widget->width(), widget->height())) {
        cut.push_back(CutLine(ControlName(*control), label->text(), CaptionNeed(*widget), widget->width()) + " (" +
                      std::to_string(label->heightForWidth(widget->width())) + " px high, has " +
                      std::to_string(widget->height()) + " px)");
      }
    } else if (const auto* table = qobject_cast<const QTableWidget*>(widget)) {
      const auto& grid = static_cast<const ui::Grid&>(*control);
      for (int c = 0; c < grid.Cols(); ++c) {
        if (table->isColumnHidden(c)) continue;
        const int need = HeaderNeed(*table, grid, c);
        if (need > table->columnWidth(c)) {
          cut.push_back(CutLine(ControlName(*control) + " column " + std::to_string(c), Q(grid.TextMatrix(0, c)), need,
                                table->columnWidth(c)));
        }
      }
    } else if (const int need = CaptionNeed(*widget); need > widget->width()) {
      QString text;
      if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) text = button->text();
      if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) text = frame->title();
      cut.push_back(CutLine(ControlName(*control), text, need, widget->width()));
    }
  }
  // A caption that fits its widget may still lie under a neighbour (a label grown to the right
  // of its box): the room its text takes must be free of the other visible controls.
  for (const ui::Control* control : form_.Controls()) {
    const QWidget* widget = WidgetFor(*control);
    if (widget == nullptr || !widget->isVisibleTo(this) || widget->parentWidget() == nullptr) continue;
    const int need = std::min(CaptionNeed(*widget), widget->width());
    if (need == 0 || qobject_cast<const QGroupBox*>(widget) != nullptr) continue;
    const int high = std::min(widget->height(), widget->fontMetrics().height());
    const QRect text(widget->geometry().topLeft(), QSize(need, high));
    for (const QObject* other : widget->parentWidget()->children()) {
      const auto* neighbour = qobject_cast<const QWidget*>(other);
      if (neighbour == nullptr || neighbour == widget || !neighbour->isVisibleTo(this) ||
          qobject_cast<const QGroupBox*>(neighbour) != nullptr || !controls_by_widget_.contains(neighbour)) {
        continue;
      }
      if (neighbour->geometry().intersects(text)) {
        cut.push_back(ControlName(*control) + ": \"" + WidgetText(*widget).toStdString() + "\" lies under " +
                      ControlName(*controls_by_widget_.at(neighbour)));
        break;
      }
    }
  }
  if (const auto* sub = qobject_cast<const QMdiSubWindow*>(window_); sub != nullptr && !sub->windowTitle().isEmpty()) {
    QStyleOptionTitleBar option;
    option.initFrom(sub);
    option.text = sub->windowTitle();
    option.titleBarFlags = sub->windowFlags();
    option.titleBarState = static_cast<int>(sub->windowState());
    option.subControls = QStyle::SC_All;
    option.rect = QRect(0, 0, sub->width(), sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, sub));
    const QRect room = sub->style()->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarLabel, sub);
    QFont title_font = sub->font();
    title_font.setBold(true);
    const int need = QFontMetrics(title_font).horizontalAdvance(sub->windowTitle());
    if (need > room.width()) cut.push_back(CutLine("title", sub->windowTitle(), need, room.width()));
  }
  return cut;
}

// Enter presses the button that has the focus, else the form's Default button; Escape its
// Cancel button. Keys reach here only when the form's own key events left them. Enter in a grid
// is the grid's and presses nothing. Returns false when the key is left to the widgets.
bool FormView::PressButton(const ui::Control* focused, const QKeyEvent& event) {
  const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
  const bool escape = event.key() == Qt::Key_Escape;
  if ((!enter && !escape) || (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  ui::CommandButton* button = escape ? form_.CancelButton() : form_.DefaultButton();
  if (enter && focused != nullptr) {
    if (focused->Kind() == ui::ControlKind::kGrid) return true;
    if (focused->Kind() == ui::ControlKind::kCommandButton) {
      button = static_cast<ui::CommandButton*>(const_cast<ui::Control*>(focused));
    }
  }
  if (button == nullptr) return false;
  Guarded([&] { button->UserClick(); });
  return true;
}

// A key that no control took (the focus on the window itself, a frame ...).
void FormView::keyPressEvent(QKeyEvent* event) {
  if (PressButton(nullptr, *event)) return;
  QWidget::keyPressEvent(event);
}

void FormView::AttachWindow(QWidget* window) {
  window_ = window;
  window_->installEventFilter(this);
  window_->setWindowTitle(Q(form_.Caption()));
  window_->setFont(FormFont());
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window_); sub != nullptr && form_.FixedSize()) {
    // A window whose size the form keeps has nothing to maximise and no border to drag.
    sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  }
  ApplyFormSize();
}

void FormView::ApplyFormSize() {
  if (window_ == nullptr) return;
  const QSize wanted(Pixels(form_.Width()), Pixels(form_.Height()));
  const bool fixed = form_.FixedSize();
  if (window_->size() == wanted && (window_->minimumSize() == wanted) == fixed) return;
  applying_ = true;
  if (fixed) {
    window_->setFixedSize(wanted);
  } else {
    window_->setMinimumSize(0, 0);
    window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window_->resize(wanted);
  }
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
      auto* key = static_cast<QKeyEvent*>(event);
      if (KeyEvent(*found->second, static_cast<QWidget*>(watched), key)) return true;
      return event->type() == QEvent::KeyPress && PressButton(found->second, *key);
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace gui
