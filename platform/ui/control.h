// The base of every control model: name, place in twips, enabled/visible, tab order, container,
// and the change notification a view listens to. Part of consolida_ui (platform/ui); it knows
// nothing of Qt or of any window of the system, and never draws anything.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

class Form;
class Frame;

// An event slot a form connects its handler to, as the toolkit's events were:
//   Command1.Click = [this] { Command1_Click(); };
// Calling it raises the event; an unconnected event does nothing.
template <typename... Args>
class Event {
 public:
  using Handler = std::function<void(Args...)>;
  Event() = default;
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  Event& operator=(Handler handler) {
    handler_ = std::move(handler);
    return *this;
  }
  void operator()(Args... args) const {
    if (handler_) handler_(std::forward<Args>(args)...);
  }
  explicit operator bool() const { return static_cast<bool>(handler_); }

 private:
  Handler handler_;
};

enum class ControlKind {
  kTextBox,
  kLabel,
  kCommandButton,
  kListBox,
  kComboBox,
  kCheckBox,
  kOptionButton,
  kFrame,
  kGrid,
};

// What changed in a control, so that a view updates only that. `row`/`col` name one grid cell
// (or one list item in `row`) when the change is that narrow; -1 means "all of it".
struct ControlChange {
  enum What {
    kGeometry,   // Left, Top, Width, Height
    kEnabled,
    kVisible,
    kTabIndex,
    kText,       // Text or Caption
    kValue,      // CheckBox / OptionButton value
    kItems,      // list items, grid dimensions or cells
    kSelection,  // ListIndex, Selected(i), grid Row/Col, text caret
    kFormat,     // MaxLength, Locked, MultiSelect, Style, column widths and alignments, fixed rows/cols
    kAll,        // everything (after a form's controls were restored on unload)
  };
  What what;
  int row = -1;
  int col = -1;
};

// The fields every control shares; kept as one value so a form can snapshot its design state.
struct ControlBasics {
  int left = 0;
  int top = 0;
  int width = 1215;
  int height = 375;
  bool enabled = true;
  bool visible = true;
  int tab_index = 0;
};

class Control {
 public:
  using Observer = std::function<void(const ControlChange&)>;

  // Registers the control with `form` (in creation order) inside `container` (nullptr: the form
  // itself). `index` is the control's index in a control array (Command1(0), Command1(1)...) or
  // -1 when it is not part of one. Controls are members of their form and live as long as it.
  Control(Form& form, std::string name, ControlKind kind, Frame* container, int index);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  int Index() const { return index_; }
  ControlKind Kind() const { return kind_; }
  Form& Parent() const { return form_; }
  Frame* Container() const { return container_; }

  // Placement in twips, relative to the container (the frame, or the form's client area).
  int Left() const { return basics_.left; }
  int Top() const { return basics_.top; }
  int Width() const { return basics_.width; }
  int Height() const { return basics_.height; }
  void SetLeft(int twips);
  void SetTop(int twips);
  void SetWidth(int twips);
  void SetHeight(int twips);
  void Move(int left, int top, int width, int height);

  bool Enabled() const { return basics_.enabled; }
  void SetEnabled(bool enabled);
  bool Visible() const { return basics_.visible; }
  void SetVisible(bool visible);
  // Tab order position: unique in the form, creation order at first. Setting it moves this
  // control there and renumbers the others (0, 1, 2 ... without gaps); past the end means last.
  int TabIndex() const { return basics_.tab_index; }
  void SetTabIndex(int tab_index);

  // True when the user can reach the control: it and every frame around it are enabled and visible,
  // and its form is not busy with a long operation (BusyScope).
  bool Reachable() const;

  // Makes this the form's active control; the view moves the keyboard focus there.
  void SetFocus();

  // Observers are told of every change of a property, whoever made it. Returns an id for Forget.
  int Observe(Observer observer);
  void Forget(int id);

 protected:
  void Notify(ControlChange::What what, int row = -1, int col = -1);

  // Design state: taken when the form first loads, put back when it unloads (a reloaded form
  // starts from its design, as the toolkit recreated a form's controls on load).
  virtual void SaveDesign() = 0;
  virtual void RestoreDesign() = 0;
  ControlBasics basics_;
  ControlBasics design_basics_;

 private:
  friend class Form;
  Form& form_;
  std::string name_;
  ControlKind kind_;
  Frame* container_;
  int index_;
  int next_observer_id_ = 1;
  std::vector<std::pair<int, Observer>> observers_;
};

}  // namespace ui
