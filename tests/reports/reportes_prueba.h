// What the report window tests share: every window registered, the statements CnSql sends
// recorded, a viewer that opens nothing, a written workbook read back as one text per row.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "formulas/ventanas.h"
#include "platform/runtime/conversions.h"
#include "platform/sheet/xls_reader.h"
#include "reports/genera_excel.h"
#include "reports/ventanas.h"
#include "sequences/ventanas.h"
#include "tests/intake/sentencias_enviadas.h"
#include "tests/support/carpeta_aplicacion.h"

namespace reports_test {

using Lineas = std::vector<std::string>;

class VisorNulo : public reports::Visor {
 public:
  void Abrir(const std::string&) override {}
};

class ReportesPrueba : public test_support::VentanaPrueba {
 protected:
  void SetUp() override {
    VentanaPrueba::SetUp();
    sequences::RegistrarVentanas(App());
    reports::RegistrarVentanas(App());
    enviadas_ = std::make_unique<intake_test::SentenciasEnviadas>();
    App().CnSql.Close();
    App().CnSql.Open(App().CadenaSql());
  }
  template <typename T>
  T& Ventana(const char* nombre) {
    T& ventana = formulas::VentanaRegistrada<T>(App(), nombre);
    Ui().Show(ventana);
    return ventana;
  }

  void Sql(const std::string& texto) { App().CnSql.Execute(texto); }

  // The statements sent since the last call, without the transaction calls.
  Lineas Enviadas() {
    Lineas sentencias;
    for (const std::string& s : enviadas_->Todas()) {
      if (!s.ends_with("Trans")) sentencias.push_back(s);
    }
    enviadas_->Olvidar();
    return sentencias;
  }

  // The workbook at `ruta`, one text per row: its cells joined by "|" (an empty cell as "").
  static Lineas Planilla(const std::string& ruta) {
    const sheet::SheetGrid hoja = sheet::ReadSheet(ruta);
    Lineas filas;
    for (const auto& fila : hoja.rows) {
      std::string texto;
      for (size_t c = 0; c < fila.size(); ++c) texto += (c ? "|" : "") + runtime::JoinText(fila[c]);
      filas.push_back(texto);
    }
    return filas;
  }

  VisorNulo visor_;
  std::unique_ptr<intake_test::SentenciasEnviadas> enviadas_;
};

}  // namespace reports_test
