// MDIPrincipal, the main window's model: its menu tree (control names and captions in menu-bar
// order), the click of every entry (show that task window, one instance per run), the close
// question and the end-of-run step. Part of core; a view (gui/) draws it and calls back.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/menu.h"

namespace ui {
class Form;
}

namespace core {

class Aplicacion;

class MDIPrincipal {
 public:
  // REQUIRES: `app` outlives the model. The task windows registered with `app` by now decide
  // which entries are enabled; the others are present but disabled.
  explicit MDIPrincipal(Aplicacion& app);

  // The window's caption.
  std::string Caption() const;

  // The menu bar, in order. Each enabled leaf (and "Panel de Comando" itself) shows its window.
  const std::vector<ui::MenuEntry>& Menu() const { return menu_; }
  // The entry of control name `nombre` anywhere in the tree; nullptr when there is none.
  const ui::MenuEntry* Entrada(const std::string& nombre) const;
  // The window an entry opens ("CarEstr" -> "Proc_CargaNov"); empty when it opens none.
  static std::string VentanaDe(const std::string& nombre_entrada);

  // Shows the task window `nombre`, creating it on its first use (not modal); a window already
  // shown comes to the front. Returns false when no such window is registered, and does nothing
  // (returns false) while a task window is busy with a long operation (ui::BusyScope).
  bool MostrarVentana(const std::string& nombre);

  // The close question ("Cierre del Sistema"). Sets `Cancel` to 1 when the user says No;
  // then nothing else changes.
  void MDIForm_QueryUnload(int& Cancel, int UnloadMode);
  // After a confirmed close: unloads the task windows (one of them may cancel by its own rules,
  // which sets `Cancel`), then closes the error log and checks it. The run is over afterwards.
  void MDIForm_Unload(int& Cancel);

  // The whole close: question, then unload. Returns true when the main window may go.
  bool Cerrar(int unload_mode);
  bool Terminado() const { return terminado_; }

 private:
  Aplicacion& app_;
  std::vector<ui::MenuEntry> menu_;
  bool terminado_ = false;
};

}  // namespace core
