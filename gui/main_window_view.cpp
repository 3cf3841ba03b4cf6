// MainWindowView: the menu bar from a ui::MenuEntry tree, task windows as MDI sub-windows (one
// per form), and the close question handed to the main window's model. Part of consolida_gui.
#include "gui/main_window_view.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include "gui/form_view.h"

namespace gui {

MainWindowView::MainWindowView(std::string title, std::vector<ui::MenuEntry> menu, Callbacks callbacks,
                               QWidget* parent)
    : QMainWindow(parent), callbacks_(std::move(callbacks)), area_(new QMdiArea(this)) {
  setWindowTitle(QString::fromStdString(title));
  setCentralWidget(area_);
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
  }
  sub->show();
  sub->raise();
  area_->setActiveSubWindow(sub);
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
