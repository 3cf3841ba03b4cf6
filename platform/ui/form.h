// The `Form` base every window of the system derives from: caption, outer size in twips, the
// load/resize/close events as overridable handlers, shown/modal state and its controls in
// creation order. Part of consolida_ui; a model only: a Ui service shows it, a view draws it.
//
// A window is written as:
//   class FrmPadron : public ui::Form {
//    public:
//     FrmPadron() : Form("FrmPadron") { SetCaption("Padron"); TxtPeriodo.SetMaxLength(4); ... }
//     ui::TextBox TxtPeriodo{*this, "TxtPeriodo"};
//     ui::CommandButton Command1{*this, "Command1"};
//    protected:
//     void Form_Load() override;
//     void Form_Resize() override { SetWidth(3015); SetHeight(2340); }
//   };
// with the events connected in the constructor (Command1.Click = [this] { Command1_Click(); }).
// The constructor sets the design state; it is snapshotted on the first Load and put back on
// every Unload, so a form loaded again starts from its design (items, texts, values), while the
// form object's own member variables keep their values. Code that writes into another form's
// controls before showing it calls Load() on it first (touching a control loaded a form).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ui/controls.h"

namespace ui {

class BusyScope;

// Why a form is being unloaded (QueryUnload's UnloadMode), with the toolkit's values.
inline constexpr int vbFormControlMenu = 0;  // the user closed the window
inline constexpr int vbFormCode = 1;         // the program unloaded it
inline constexpr int vbAppWindows = 2;
inline constexpr int vbAppTaskManager = 3;
inline constexpr int vbFormMDIForm = 4;      // its MDI parent is closing
inline constexpr int vbFormOwner = 5;

struct FormChange {
  enum What {
    kCaption,
    kGeometry,  // Left, Top, Width, Height
    kShown,     // Visible or Modal changed
    kLoaded,    // loaded or unloaded
    kFocus,     // the active control changed
  };
  What what;
};

class Form {
 public:
  using Observer = std::function<void(const FormChange&)>;

  explicit Form(std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  // Outer size and position in twips. While loaded, a change of Width or Height raises
  // Form_Resize (not again from inside Form_Resize itself).
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int twips);
  void SetTop(int twips);
  void SetWidth(int twips);
  void SetHeight(int twips);

  // A fixed-size window: the user cannot resize or maximise it (AplicarTamanoFijo sets it).
  bool FixedSize() const { return fixed_size_; }
  void SetFixedSize(bool fixed);
  // The buttons marked Default and Cancel; nullptr when none is.
  CommandButton* DefaultButton() const;
  CommandButton* CancelButton() const;

  // When true, Form_KeyDown sees every key before the control that has the focus.
  bool KeyPreview() const { return key_preview_; }
  void SetKeyPreview(bool on) { key_preview_ = on; }

  // The controls in creation order (containers before what they hold).
  const std::vector<Control*>& Controls() const { return controls_; }
  // Finds a control by name (and index for control arrays); nullptr when there is none.
  Control* FindControl(std::string_view name, int index = -1) const;
  // The control that has (or gets, once shown) the keyboard focus; nullptr for none.
  Control* ActiveControl() const { return active_control_; }

  bool Loaded() const { return loaded_; }
  bool Visible() const { return visible_; }
  // True while a long operation of the form runs under a BusyScope: its command buttons are
  // disabled and the user cannot close it.
  bool Busy() const { return busy_ != nullptr; }
  bool Modal() const { return visible_ && modal_; }

  // Loads the form when it is not loaded: snapshots the design state, then Form_Load.
  void Load();
  // Marks a loaded form shown (Ui implementations call this). The first showing after a load
  // raises Form_Resize, as a window's first appearance did; every showing then raises
  // Form_Activate (the form becomes the active window). Throws runtime::VbError 400 "Form
  // already displayed; can't show modally" when asked to show a visible form modal.
  // REQUIRES: Loaded().
  void MarkShown(bool modal);
  // Hides the form; it stays loaded with its controls as they are. Ends a modal showing.
  void Hide();
  // Asks Form_QueryUnload, then Form_Unload; either may cancel (returns false, nothing changes).
  // Otherwise the form is hidden, unloaded and its controls go back to their design state.
  // While the form is Busy() every unload but the program's own (vbFormCode) is refused before
  // those events, with the BusyScope's message. Returns true when the form is (now) unloaded.
  bool Unload(int unload_mode = vbFormCode);

  // What the user does to the window itself.
  // The close box: Unload with vbFormControlMenu.
  bool UserClose() { return Unload(vbFormControlMenu); }
  // The user brings the shown window to the front (a click on it): Form_Activate, as a showing
  // raises it. Nothing happens when the form is not shown or is Busy(). Returns true when raised.
  bool UserActivate();
  // Dragging the border: the size becomes the given one, then Form_Resize may set it back.
  void UserResize(int width, int height);
  // A key pressed while `target` has the focus: Form_KeyDown first when KeyPreview, then the
  // control's KeyDown when the key was not cancelled (set to 0). Returns the key that remains;
  // a Busy() form takes no key (returns 0 and raises nothing).
  int UserKeyDown(Control* target, int key_code, int shift = 0);
  int UserKeyUp(Control* target, int key_code, int shift = 0);

  int Observe(Observer observer);
  void Forget(int id);
  // Expires when the form is destroyed: a view that may outlive its form checks it before
  // forgetting its observers.
  std::weak_ptr<const void> Lifetime() const { return lifetime_; }

 protected:
  virtual void Form_Load() {}
  virtual void Form_Resize() {}
  virtual void Form_Activate() {}
  virtual void Form_QueryUnload(int& cancel, int unload_mode) { (void)cancel, (void)unload_mode; }
  virtual void Form_Unload(int& cancel) { (void)cancel; }
  virtual void Form_KeyDown(int& key_code, int shift) { (void)key_code, (void)shift; }
  virtual void Form_KeyUp(int& key_code, int shift) { (void)key_code, (void)shift; }

 private:
  friend class Control;
  friend class BusyScope;
  void Register(Control* control) { controls_.push_back(control); }
  void Unregister(Control* control);
  void Focus(Control* control);
  void MoveInTabOrder(Control* control, int tab_index);
  void Notify(FormChange::What what);
  void SizeChanged();
  int RouteKey(Control* target, int key_code, int shift, Event<int&, int> TextBox::*text_event,
               Event<int&, int> ComboBox::*combo_event);

  struct Design {
    std::string caption;
    int left = 0, top = 0, width = 0, height = 0;
  };
  void SaveDesign();
  void RestoreDesign();

  std::string name_;
  std::string caption_;
  int left_ = 0, top_ = 0, width_ = 4800, height_ = 3600;
  Design design_;
  bool key_preview_ = false;
  bool fixed_size_ = false;
  bool loaded_ = false;
  bool design_saved_ = false;
  bool visible_ = false;
  bool modal_ = false;
  bool resized_since_load_ = false;
  bool in_resize_ = false;
  std::vector<Control*> controls_;
  Control* active_control_ = nullptr;
  BusyScope* busy_ = nullptr;
  int next_observer_id_ = 1;
  std::vector<std::pair<int, Observer>> observers_;
  std::shared_ptr<const void> lifetime_ = std::make_shared<int>(0);
};

// Sets `form` to `ancho` by `alto` twips unless it already is, and marks it FixedSize: task
// windows call it on load and from Form_Resize, so the user cannot change their size.
void AplicarTamanoFijo(Form& form, int ancho, int alto);

}  // namespace ui
