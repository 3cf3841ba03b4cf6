// Small helpers the report windows share: finding a registered window, showing a picker and
// taking back its choice, closing a shared recordset. Internal to the reports module.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "core/aplicacion.h"
#include "platform/sql/client.h"
#include "platform/ui/ui.h"
#include "sequences/selectores.h"

namespace reports::internal {

// The one instance of window `nombre`. Throws std::logic_error when it is not registered as a T.
template <typename T>
T& Ventana(core::Aplicacion& app, const std::string& nombre) {
  T* ventana = dynamic_cast<T*>(app.Ventana(nombre));
  if (ventana == nullptr) throw std::logic_error("window not registered: " + nombre);
  return *ventana;
}

// Shows picker `nombre` modally, unloads it and returns what it handed back (nullopt after
// "Salir" or a close).
template <typename T>
std::optional<sequences::Eleccion> Elegir(core::Aplicacion& app, const std::string& nombre) {
  T& picker = Ventana<T>(app, nombre);
  app.Ui().ShowModal(picker);
  std::optional<sequences::Eleccion> elegido = picker.Elegido();
  if (picker.Loaded()) app.Ui().Unload(picker);
  return elegido;
}

inline void Cerrar(sql::Recordset& rs) {
  if (rs.State() == sql::adStateOpen) rs.Close();
}

}  // namespace reports::internal
