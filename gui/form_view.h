// Binds any ui::Form to Qt widgets: one widget per control (QLineEdit, QLabel, QPushButton,
// QListWidget, QComboBox, QCheckBox, QRadioButton, QGroupBox, QTableWidget) placed in twips
// (15 twips a pixel), model changes pushed to the widgets and user actions passed back to the
// model. Part of consolida_gui; holds no logic of any window.
#pragma once

#include <functional>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QFont>
#include <QWidget>

#include "platform/ui/form.h"

namespace gui {

inline constexpr int kTwipsPerPixel = 15;
inline int Pixels(int twips) { return twips / kTwipsPerPixel; }
inline int Twips(int pixels) { return pixels * kTwipsPerPixel; }

// The font every form is drawn with: Liberation Sans (Arial's metrics) at 11 pixels, the 8
// points at 96 dpi the twip sizes were laid out for. Without it installed, the application
// font at the same pixel size. FormFontIsTheDesignedOne() tells which case holds.
QFont FormFont();
bool FormFontIsTheDesignedOne();

// Everything thrown out of a handler that a Qt slot ran reaches this function (the program
// installs one that logs it); afterwards the user sees a message. Without one, only the message.
using ExceptionHandler = std::function<void(const std::exception&)>;
void SetExceptionHandler(ExceptionHandler handler);
// Runs `action` (a user event) so that nothing escapes into Qt: an exception goes to the
// handler, then a message box shows it. Returns false when `action` threw.
bool Guarded(const std::function<void()>& action);
// The text shown for an exception: "(" number ") " description for a runtime::VbError.
std::string DescribeException(const std::exception& error);

// The client area of a form. The top-level window (MDI sub-window or dialog) that holds it takes
// the form's outer size; when the user resizes that window the form hears UserResize and the
// window then takes whatever size the form's Form_Resize leaves.
class FormView : public QWidget {
 public:
  // A view whose form was destroyed first only lets go of its widgets.
  explicit FormView(ui::Form& form, QWidget* parent = nullptr);
  ~FormView() override;

  // Makes `window` (the MDI sub-window or dialog holding this view) follow the form: its size,
  // caption and visibility; its close box and border drags go to the form as user actions.
  void AttachWindow(QWidget* window);

  ui::Form& Model() const { return form_; }
  // The widget bound to a control (nullptr when the control is unknown).
  QWidget* WidgetFor(const ui::Control& control) const;
  // Resizes the attached window to the form's outer size.
  void ApplyFormSize();
  // The captions drawn narrower than their text (labels, buttons, check and option boxes,
  // frame titles, grid headers, the window title), one line each as
  // "<control>: \"<text>\" needs <n> px, has <m> px". Empty when every text fits.
  std::vector<std::string> CutTexts() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* Build(ui::Control& control, QWidget* parent);
  void Refresh(ui::Control& control, QWidget* widget, const ui::ControlChange& change);
  void Place(const ui::Control& control, QWidget* widget);
  void FormChanged(const ui::FormChange& change);
  void ApplyTabOrder();
  bool KeyEvent(ui::Control& control, QWidget* widget, class QKeyEvent* event);
  bool PressButton(const ui::Control* focused, const QKeyEvent& event);


  ui::Form& form_;
  std::weak_ptr<const void> form_alive_;
  QWidget* window_ = nullptr;
  std::map<const QObject*, ui::Control*> controls_by_widget_;
  std::map<const ui::Control*, QWidget*> widgets_;
  std::vector<std::pair<ui::Control*, int>> subscriptions_;
  int form_subscription_ = 0;
  bool applying_ = false;
};

}  // namespace gui
