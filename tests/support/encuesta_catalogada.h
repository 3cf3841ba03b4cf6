// What the formula and sequence editors' tests start from: the working folders, the application
// open with the survey ENCUES_1 catalogued (fixtures/engine/setup.sql: VENTAS, EMPLEO, COSTOS,
// values and a company roll for 2005 and 2004) and every statement sent recorded.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/intake/sentencias_enviadas.h"
#include "tests/support/batch_files.h"
#include "tests/support/carpeta_aplicacion.h"

namespace test_support {

// The first item of `lista` that starts with `texto`; fails the test (and gives 0) when none does.
inline int Indice(const ui::ListControl& lista, const std::string& texto) {
  for (int i = 0; i < lista.ListCount(); ++i) {
    if (lista.List(i).starts_with(texto)) return i;
  }
  ADD_FAILURE() << "no item " << texto << " in " << lista.Name();
  return 0;
}

class EncuestaCatalogada : public CarpetaAplicacion {
 protected:
  void SetUp() override {
    CarpetaAplicacion::SetUp();
    CrearCarpetasDeTrabajo();
    enviadas_.reset();  // a test that sets up again: the old recorder goes before the new one records
    enviadas_ = std::make_unique<intake_test::SentenciasEnviadas>();
    AbrirAplicacion();
    const auto setup = std::filesystem::path(CONSOLIDA_TEST_DATA_DIR) / "fixtures/engine/setup.sql";
    for (const std::string& lote : SplitBatches(setup)) Sql(lote);
  }

  void Sql(const std::string& texto) { App().CnSql.Execute(texto); }
  const std::vector<std::string>& Enviadas() const { return enviadas_->Todas(); }

  std::unique_ptr<intake_test::SentenciasEnviadas> enviadas_;
};

}  // namespace test_support
