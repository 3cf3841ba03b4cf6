// The program's main window as Qt draws it: a menu bar built from a ui::MenuEntry tree and an
// MDI area in which task windows (ui::Form) appear. Part of consolida_gui; holds no logic: the
// main window's model (core) supplies the menu, the close question and the unload step.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPoint>

#include "platform/ui/form.h"
#include "platform/ui/menu.h"

class QMdiArea;
class QMdiSubWindow;
class QAction;

namespace gui {

class FormView;

class MainWindowView : public QMainWindow {
 public:
  struct Callbacks {
    // Asked when the user closes the window; false cancels the close.
    std::function<bool()> query_unload;
    // Runs after a confirmed close, before the window goes.
    std::function<void()> unload;
  };

  MainWindowView(std::string title, std::vector<ui::MenuEntry> menu, Callbacks callbacks,
                 QWidget* parent = nullptr);
  ~MainWindowView() override;

  // Shows `form` as an MDI sub-window: created on its first showing, brought to the front on
  // later ones. The form must be loaded (QtUi::Show loads it first). A new window opens where
  // the form's Left/Top put it when it sets them, else one cascade step below and right of
  // the last one; either way its frame stays inside the visible work area (a window larger
  // than the area at its top-left corner, the cascade back at the top-left when the next step
  // would not fit).
  void ShowForm(ui::Form& form);
  // The menu action of an entry by control name (nullptr when none): tests trigger it.
  QAction* MenuAction(const std::string& name) const;
  QMdiArea* Area() const { return area_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void AddEntries(class QMenu* menu, const std::vector<ui::MenuEntry>& entries);
  QAction* MakeAction(const ui::MenuEntry& entry, QObject* owner);
  QPoint PlaceNew(const QMdiSubWindow& sub, const ui::Form& form);

  Callbacks callbacks_;
  QMdiArea* area_;
  std::map<std::string, QAction*> actions_;
  std::map<ui::Form*, QMdiSubWindow*> windows_;
  QPoint next_cascade_;
};

}  // namespace gui
