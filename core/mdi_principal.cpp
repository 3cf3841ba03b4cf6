// The main window's model: menu tree, task windows opened once per run, close question and the
// end-of-run check of the error log.
#include "core/mdi_principal.h"

#include <utility>

#include "core/aplicacion.h"
#include "core/inicio.h"
#include "platform/ui/ui.h"

namespace core {
namespace {

struct Item {
  const char* nombre;
  const char* caption;
  const char* ventana;
};

struct MenuDeBarra {
  const char* nombre;
  const char* caption;
  const char* ventana;  // for a menu-bar entry that is itself clickable
  std::vector<Item> items;
};

const std::vector<MenuDeBarra>& ArbolDeMenu() {
  static const std::vector<MenuDeBarra> arbol = {
      {"MnuCarga", "Carga", nullptr, {{"CarEstr", "Estructuras", "Proc_CargaNov"}}},
      {"mnuGenerador",
       "Generadores",
       nullptr,
       {{"Frm", "Formula", "FrmFormulas"}, {"Sec", "Secuencia", "FrmSecuenciador"}}},
      {"MnuProceso",
       "Procesos",
       nullptr,
       {{"MnuMuestra", "Muestra", "FrmMuestra"},
        {"ProcPadron", "Padron", "FrmPadron"},
        {"MnuNov", "Novedades", "Proc_Novedades"},
        {"PCS", "Correr Secuencia", "FrmProcSecuencia"}}},
      {"mnuReporte",
       "Reporte",
       nullptr,
       {{"MnuRepRE", "Estimacion", "FrmReporte"},
        {"MnuRepF", "Formulas", "FrmConsForm"},
        {"MnuRSec", "Secuencia", "FrmConsSec"}}},
      {"mnuPC", "Panel de Comando", "FrmCmdProcess", {}},
  };
  return arbol;
}

const ui::MenuEntry* Buscar(const std::vector<ui::MenuEntry>& entradas, const std::string& nombre) {
  for (const ui::MenuEntry& entrada : entradas) {
    if (entrada.name == nombre) return &entrada;
    if (const ui::MenuEntry* hallada = Buscar(entrada.items, nombre)) return hallada;
  }
  return nullptr;
}

}  // namespace

MDIPrincipal::MDIPrincipal(Aplicacion& app) : app_(app) {
  auto entrada_de = [this](const char* nombre, const char* caption, const char* ventana) {
    ui::MenuEntry entrada;
    entrada.name = nombre;
    entrada.caption = caption;
    if (ventana != nullptr) {
      std::string cual = ventana;
      entrada.enabled = app_.ConoceVentana(cual);
      entrada.click = [this, cual] { MostrarVentana(cual); };
    }
    return entrada;
  };
  for (const MenuDeBarra& menu : ArbolDeMenu()) {
    ui::MenuEntry entrada = entrada_de(menu.nombre, menu.caption, menu.ventana);
    for (const Item& item : menu.items) {
      entrada.items.push_back(entrada_de(item.nombre, item.caption, item.ventana));
    }
    menu_.push_back(std::move(entrada));
  }
}

std::string MDIPrincipal::Caption() const { return app_.Ui().AppTitle(); }

const ui::MenuEntry* MDIPrincipal::Entrada(const std::string& nombre) const {
  return Buscar(menu_, nombre);
}

std::string MDIPrincipal::VentanaDe(const std::string& nombre_entrada) {
  for (const MenuDeBarra& menu : ArbolDeMenu()) {
    if (nombre_entrada == menu.nombre) return menu.ventana != nullptr ? menu.ventana : "";
    for (const Item& item : menu.items) {
      if (nombre_entrada == item.nombre) return item.ventana;
    }
  }
  return "";
}

bool MDIPrincipal::MostrarVentana(const std::string& nombre) {
  // A long operation lets events in, the menu's among them: a window opened (or brought back)
  // then would run its own queries on the shared connections and recordsets in the middle of it.
  for (const ui::Form* abierta : app_.VentanasCreadas()) {
    if (abierta->Busy()) return false;
  }
  ui::Form* form = app_.Ventana(nombre);
  if (form == nullptr) return false;
  app_.Ui().Show(*form);
  return true;
}

void MDIPrincipal::MDIForm_QueryUnload(int& Cancel, int UnloadMode) {
  (void)UnloadMode;
  const int respuesta = app_.Ui().MsgBox("Esta a punto de Cerrar el Sistema.\r\nEs correcto?",
                                         ui::vbYesNo + ui::vbInformation, "Cierre del Sistema");
  if (respuesta == ui::vbNo) Cancel = 1;
}

void MDIPrincipal::MDIForm_Unload(int& Cancel) {
  // The task windows go first, as the children of a closing frame do; one that refuses keeps
  // the whole program open, with the log still open.
  for (ui::Form* form : app_.VentanasCreadas()) {
    if (form->Loaded() && !form->Unload(ui::vbFormMDIForm)) {
      Cancel = 1;
      return;
    }
  }
  TerminarSinVentana(app_);
  terminado_ = true;
}

bool MDIPrincipal::Cerrar(int unload_mode) {
  if (terminado_) return true;
  int cancel = 0;
  MDIForm_QueryUnload(cancel, unload_mode);
  if (cancel != 0) return false;
  MDIForm_Unload(cancel);
  return cancel == 0;
}

}  // namespace core
