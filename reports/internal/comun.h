// Small helpers the report windows share: finding a registered window, showing a picker and
// taking back its choice, closing a shared recordset, reporting a failure. Internal to the reports module.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "core/aplicacion.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"
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

// A failed query, row or workbook: the error is logged with `contexto`, then shown in one message,
// "Error Generando <que>: (<number>) <description>", critical, titled "ERROR <QUE>" (`que` is
// "Consulta" or "Reporte").
inline void InformarError(core::Aplicacion& app, const runtime::VbError& error, const std::string& contexto,
                          const std::string& que) {
  app.RegistrarError(error, contexto);
  app.Ui().MsgBox("Error Generando " + que + ": (" + std::to_string(error.Number()) + ") " + error.Description(),
                  ui::vbCritical, "ERROR " + runtime::UCase(que));
}

}  // namespace reports::internal
