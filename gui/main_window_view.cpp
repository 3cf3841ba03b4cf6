// MainWindowView: the menu bar from a ui::MenuEntry tree, task windows as MDI sub-windows (one
// per form), and the close question handed to the main window's model. Part of consolida_gui.
#include "gui/main_window_view.h"

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include "gui/form_view.h"

namespace gui {

MainWindowView::MainWindowView(std::string title, std::vector<ui::MenuEntry> menu, Callbacks callbacks,
                               QWidget* parent)
    : QMainWindow(parent), callbacks_(std::move(callbacks)), area_(new QMdiArea(this)) {
  setWindowTitle(QString::fromStdString(title));
  setCentralWidget(area_);
  // Room for the largest task window, within the screen.
  if (screen() != nullptr) resize(QSize(1024, 768).boundedTo(screen()->availableGeometry().size()));
  // A window dragged (or opened) partly outside the work area can still be reached.
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // F10 opens the first menu, from where the arrows reach every other.
  auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(f10, &QShortcut::activated, this, [this] {
    for (QAction* action : menuBar()->actions()) {
      if (action->isEnabled() && action->isVisible()) {
        menuBar()->setActiveAction(action);
        break;
      }
    }
  });
  for (const ui::MenuEntry& entry : menu) {
    if (entry.items.empty()) {
      // A top-level entry without items is itself the command.
      menuBar()->addAction(MakeAction(entry, menuBar()));
      continue;
    }
    QMenu* sub = menuBar()->addMenu(QString::fromStdString(entry.caption));
    sub->menuAction()->setEnabled(entry.enabled);
    actions_[entry.name] = sub->menuAction();
    AddEntries(sub, entry.items);
  }
  // A task window the user brings to the front is activated, as when the menu shows it again.
  connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* activated) {
    for (const auto& [form, sub] : windows_) {
      if (sub == activated) Guarded([form] { form->UserActivate(); });
    }
  });
}

MainWindowView::~MainWindowView() {
  // The sub-windows are deactivated while the area goes, after the form map is gone.
  area_->disconnect(this);
}

QAction* MainWindowView::MakeAction(const ui::MenuEntry& entry, QObject* owner) {
  auto* action = new QAction(QString::fromStdString(entry.caption), owner);
  action->setEnabled(entry.enabled);
  auto click = entry.click;
  connect(action, &QAction::triggered, this, [click] {
    if (click) Guarded(click);
  });
  actions_[entry.name] = action;
  return action;
}

void MainWindowView::AddEntries(QMenu* menu, const std::vector<ui::MenuEntry>& entries) {
  for (const ui::MenuEntry& entry : entries) {
    if (entry.items.empty()) {
      menu->addAction(MakeAction(entry, menu));
      continue;
    }
    QMenu* sub = menu->addMenu(QString::fromStdString(entry.caption));
    sub->menuAction()->setEnabled(entry.enabled);
    actions_[entry.name] = sub->menuAction();
    AddEntries(sub, entry.items);
  }
}

QAction* MainWindowView::MenuAction(const std::string& name) const {
  const auto found = actions_.find(name);
  return found == actions_.end() ? nullptr : found->second;
}

void MainWindowView::ShowForm(ui::Form& form) {
  QMdiSubWindow*& sub = windows_[&form];
  if (sub == nullptr) {
    auto* view = new FormView(form);
    sub = area_->addSubWindow(view);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    view->AttachWindow(sub);
    // Placed before it first shows, so the area's own placement (side by side) never runs.
    sub->move(PlaceNew(*sub, form));
  }
  sub->show();
  sub->raise();
  area_->setActiveSubWindow(sub);
}

QPoint MainWindowView::PlaceNew(const QMdiSubWindow& sub, const ui::Form& form) {
  const QSize room = area_->viewport()->size();
  const QSize size = sub.size();
  const bool set_by_form = form.Left() != 0 || form.Top() != 0;
  QPoint at = set_by_form ? QPoint(Pixels(form.Left()), Pixels(form.Top())) : next_cascade_;
  if (set_by_form) {
    at.setX(std::max(0, std::min(at.x(), room.width() - size.width())));
    at.setY(std::max(0, std::min(at.y(), room.height() - size.height())));
    return at;
  }
  if (at.x() + size.width() > room.width() || at.y() + size.height() > room.height()) at = QPoint(0, 0);
  // The cascade step is one title bar, so every earlier title stays visible.
  QStyleOptionTitleBar option;
  option.initFrom(&sub);
  const int step = sub.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &sub);
  next_cascade_ = at + QPoint(step, step);
  return at;
}

void MainWindowView::closeEvent(QCloseEvent* event) {
  bool go_on = true;
  Guarded([&] {
    if (callbacks_.query_unload) go_on = callbacks_.query_unload();
  });
  if (!go_on) {
    event->ignore();
    return;
  }
  Guarded([&] {
    if (callbacks_.unload) callbacks_.unload();
  });
  event->accept();
}

}  // namespace gui
