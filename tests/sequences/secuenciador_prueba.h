// The sequence windows' test fixture: a fresh application with the survey ENCUES_1 catalogued
// (with its company roll) and a second form INDUST_1, two formulas of ENCUES_1 (TOTAL and
// MARGEN), the formula and sequence windows registered, the editor shown, and every statement
// sent from then on recorded; a statement can be made to fail. Helpers drive the editor as a
// user does, with a small line language: "F:TOTAL" a formula line, "Si TOTAL > 5",
// "And M:Estado <> MARGEN", "FSi" condition lines.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "formulas/ventanas.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/vb_error.h"
#include "platform/sql/internal/providers.h"
#include "sequences/frm_sec_valor.h"
#include "sequences/frm_secuenciador.h"
#include "sequences/selectores.h"
#include "sequences/ventanas.h"
#include "tests/intake/sentencias_enviadas.h"
#include "tests/platform/engine/batch_files.h"
#include "tests/support/carpeta_aplicacion.h"

namespace sequences_test {

using sequences::FrmSecuenciador;

// Makes the embedded database refuse every statement that starts with a given text, as a
// server error, while it lives. Connections opened before it are not affected.
class SentenciaFallida {
 public:
  SentenciaFallida() : original_(sql::internal::FindProvider("SQLOLEDB")) {
    sql::RegisterProvider("SQLOLEDB", [this](const sql::ConnectionProperties& propiedades) {
      return std::make_unique<Sesion>(original_(propiedades), prefijo_);
    });
  }
  ~SentenciaFallida() { sql::RegisterProvider("SQLOLEDB", original_); }
  // "" fails nothing.
  void Fallar(std::string prefijo) { *prefijo_ = std::move(prefijo); }

 private:
  using Prefijo = std::shared_ptr<std::string>;
  class Sesion : public sql::ProviderSession {
   public:
    Sesion(std::unique_ptr<sql::ProviderSession> real, Prefijo prefijo)
        : real_(std::move(real)), prefijo_(std::move(prefijo)) {}
    std::optional<sql::RowSet> Execute(const std::string& texto) override {
      if (!prefijo_->empty() && texto.starts_with(*prefijo_)) {
        throw runtime::VbError(-2147217900, "Microsoft OLE DB Provider for SQL Server", "Falla de prueba");
      }
      return real_->Execute(texto);
    }
    void BeginTrans() override { real_->BeginTrans(); }
    void CommitTrans() override { real_->CommitTrans(); }
    void RollbackTrans() override { real_->RollbackTrans(); }

   private:
    std::unique_ptr<sql::ProviderSession> real_;
    Prefijo prefijo_;
  };
  sql::ProviderFactory original_;
  Prefijo prefijo_ = std::make_shared<std::string>();
};

// The index of the first item whose text starts with `texto`; fails the test when none does.
inline int Indice(const ui::ListControl& lista, const std::string& texto) {
  for (int i = 0; i < lista.ListCount(); ++i) {
    if (lista.List(i).starts_with(texto)) return i;
  }
  ADD_FAILURE() << "no item " << texto << " in " << lista.Name();
  return 0;
}

class SecuenciadorPrueba : public test_support::CarpetaAplicacion {
 protected:
  void SetUp() override {
    CarpetaAplicacion::SetUp();
    CrearCarpetasDeTrabajo();
    falla_ = std::make_unique<SentenciaFallida>();
    enviadas_ = std::make_unique<intake_test::SentenciasEnviadas>();
    AbrirAplicacion();
    const std::filesystem::path setup =
        std::filesystem::path(CONSOLIDA_TEST_DATA_DIR) / "fixtures/engine/setup.sql";
    ASSERT_TRUE(std::filesystem::exists(setup)) << setup;
    for (const std::string& lote : test_support::SplitBatches(setup)) Sql(lote);
    Sql("INSERT INTO SE_ARCHIVOS (Arc_Nombre, Arc_Fecha) VALUES('INDUST_1','05/12/2026')");
    for (const char* formula : {"'Total ventas', 'TOTAL'", "'Margen', 'MARGEN'"}) {
      Sql(std::string("INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Formula, FC_Tipo, FC_Activo) Values(") +
          formula + ", 'VENTAS', 'F', 1)");
    }
    Sql("INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) Values(1, 1)");
    Sql("INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) Values(2, 1)");
    formulas::RegistrarVentanas(App());
    sequences::RegistrarVentanas(App());
    editor_ = &formulas::VentanaRegistrada<FrmSecuenciador>(App(), "FrmSecuenciador");
    Ui().Show(*editor_);
    enviadas_->Olvidar();
  }

  void TearDown() override {
    CarpetaAplicacion::TearDown();
    enviadas_.reset();
    falla_.reset();
  }

  void Sql(const std::string& texto) { App().CnSql.Execute(texto); }

  // The next showing of picker `nombre` chooses the item starting with `item` ("" presses Salir).
  void ElegirEn(const std::string& nombre, const std::string& item) {
    Ui().QueueModal(nombre, [item](ui::Form& form) {
      auto& picker = dynamic_cast<sequences::Selector&>(form);
      if (item.empty()) {
        picker.CmdSalir.UserClick();
        return;
      }
      picker.lstFormularios.UserClick(Indice(picker.lstFormularios, item));
      picker.CmdAceptar.UserClick();
    });
  }

  // The next showing of FrmSecValor: digits and "." on the keypad, or the formula `valor`
  // picked from the list; then "Aceptar".
  void ValorEn(const std::string& valor) {
    Ui().QueueModal("FrmSecValor", [valor](ui::Form& form) {
      auto& dialogo = dynamic_cast<sequences::FrmSecValor&>(form);
      if (dialogo.FmConstante.Visible()) {
        for (char c : valor) {
          if (c == '.') {
            dialogo.CmdComa.UserClick();
          } else {
            dialogo.cmdConstantes[c - '0'].UserClick();
          }
        }
      } else {
        dialogo.LstVariable.UserClick(Indice(dialogo.LstVariable, valor + " ("));
      }
      dialogo.Command1.UserClick();
    });
  }

  // "Crear", the name typed, the form chosen, "Secuencia": the line area open.
  void Crear(const std::string& nombre, const std::string& formulario = "ENCUES_1") {
    editor_->CmdCrear.UserClick();
    editor_->txtSecuencia.UserEdit(nombre);
    ElegirEn("FrmBuForm", formulario);
    editor_->CmdAddForm.UserClick();
    editor_->CmdSecuencia.UserClick();
    ASSERT_TRUE(editor_->LineaAbierta());
  }

  // "Modificar" choosing sequence `nombre`, then "Secuencia".
  void Modificar(const std::string& nombre) {
    ElegirEn("FrmBuModSec", nombre);
    editor_->CmdModificar.UserClick();
    editor_->CmdSecuencia.UserClick();
  }

  // Fills the entry boxes for one line of the line language and presses `boton` (nullptr: the
  // line's own "Acepta").
  void Linea(const std::string& linea, ui::CommandButton* boton = nullptr) {
    FrmSecuenciador& e = *editor_;
    // Each line starts from an empty entry, as after "Acepta".
    e.OptValor.UserClick();
    if (linea.starts_with("F:")) {
      if (linea.size() > 2) {
        ValorEn(linea.substr(2));
        e.Command2[0].UserClick();
      }
      (boton ? boton : &e.Command3)->UserClick();
      return;
    }
    std::istringstream partes(linea);
    std::string palabra, izquierdo, operador, derecho;
    partes >> palabra >> izquierdo >> operador >> derecho;
    e.OptCondicion.UserClick();
    if (palabra != "-") e.CbxCond.UserSelect(Indice(e.CbxCond, palabra));
    if (izquierdo.starts_with("M:")) {
      ElegirEn("FrmBMuestra", izquierdo.substr(2));
      e.CmdMuestra.UserClick();
    } else if (!izquierdo.empty() && izquierdo != "-") {
      ValorEn(izquierdo);
      e.Command2[1].UserClick();
    }
    if (!operador.empty() && operador != "-") {
      for (int i = 0; i < e.CbxOper.ListCount(); ++i) {
        if (e.CbxOper.List(i) == operador) e.CbxOper.UserSelect(i);
      }
    }
    if (!derecho.empty()) {
      ValorEn(derecho);
      (runtime::IsNumeric(derecho) ? e.Command1[2] : e.Command2[2]).UserClick();
    }
    (boton ? boton : &e.Command8)->UserClick();
  }

  void Lineas(const std::vector<std::string>& lineas) {
    for (const std::string& linea : lineas) Linea(linea);
  }

  // The line list, one text per row: its ten cells joined by "|".
  static std::vector<std::string> Celdas(const ui::Grid& grilla) {
    std::vector<std::string> filas;
    for (int f = 0; f < grilla.Rows(); ++f) {
      std::string fila;
      for (int c = 0; c < grilla.Cols(); ++c) fila += (c ? "|" : "") + grilla.TextMatrix(f, c);
      filas.push_back(fila);
    }
    return filas;
  }
  // Number and condition of every row: "1 Si", "2 ", ...
  std::vector<std::string> Estructura() const {
    std::vector<std::string> filas;
    for (int f = 0; f < editor_->FGSecuencia.Rows(); ++f) {
      filas.push_back(editor_->FGSecuencia.TextMatrix(f, 0) + " " + editor_->FGSecuencia.TextMatrix(f, 1));
    }
    return filas;
  }

  // The statements sent since the last Olvidar, from the first that starts with `desde` on.
  std::vector<std::string> EnviadasDesde(const std::string& desde) const {
    const auto& todas = enviadas_->Todas();
    for (size_t i = 0; i < todas.size(); ++i) {
      if (todas[i].starts_with(desde)) return {todas.begin() + static_cast<long>(i), todas.end()};
    }
    return {};
  }

  std::unique_ptr<SentenciaFallida> falla_;
  std::unique_ptr<intake_test::SentenciasEnviadas> enviadas_;
  FrmSecuenciador* editor_ = nullptr;
};

}  // namespace sequences_test
