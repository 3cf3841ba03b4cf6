// The sequence windows' fixture: a fresh application with ENCUES_1 catalogued (with its roll)
// and INDUST_1, the formulas TOTAL (1) and MARGEN (2) of ENCUES_1, the windows registered, the
// editor shown and every statement sent from then on recorded. Lines are entered as a user
// does, in a small language: "F:TOTAL", "Si TOTAL > 5", "And M:Estado <> MARGEN", "FSi"
// ("-" leaves a part out).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "formulas/ventanas.h"
#include "platform/runtime/conversions.h"
#include "sequences/frm_sec_valor.h"
#include "sequences/frm_secuenciador.h"
#include "sequences/selectores.h"
#include "sequences/ventanas.h"
#include "tests/intake/sentencias_enviadas.h"
#include "tests/platform/engine/batch_files.h"
#include "tests/support/carpeta_aplicacion.h"

namespace sequences_test {

using sequences::FrmSecuenciador;

// The first item that starts with `texto`.
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
    enviadas_ = std::make_unique<intake_test::SentenciasEnviadas>();
    AbrirAplicacion();
    const auto setup = std::filesystem::path(CONSOLIDA_TEST_DATA_DIR) / "fixtures/engine/setup.sql";
    ASSERT_TRUE(std::filesystem::exists(setup)) << setup;
    for (const std::string& lote : test_support::SplitBatches(setup)) Sql(lote);
    Sql("INSERT INTO SE_ARCHIVOS (Arc_Nombre, Arc_Fecha) VALUES('INDUST_1','05/12/2026')");
    Sql("INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Formula) Values('Total ventas', 'TOTAL', 'VENTAS')");
    Sql("INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Formula) Values('Margen', 'MARGEN', 'VENTAS')");
    Sql("INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) SELECT Id_FormCab, 1 FROM SE_CABFORMULA");
    formulas::RegistrarVentanas(App());
    sequences::RegistrarVentanas(App());
    editor_ = &formulas::VentanaRegistrada<FrmSecuenciador>(App(), "FrmSecuenciador");
    Ui().Show(*editor_);
    enviadas_->Olvidar();
  }
  void TearDown() override {
    CarpetaAplicacion::TearDown();
    enviadas_.reset();
  }

  void Sql(const std::string& texto) { App().CnSql.Execute(texto); }
  const std::vector<std::string>& Enviadas() const { return enviadas_->Todas(); }

  // The next showing of picker `nombre` accepts the item starting with `item` ("": "Salir").
  void ElegirEn(const std::string& nombre, const std::string& item) {
    Ui().QueueModal(nombre, [item](ui::Form& form) {
      auto& picker = dynamic_cast<sequences::Selector&>(form);
      if (!item.empty()) picker.lstFormularios.UserClick(Indice(picker.lstFormularios, item));
      (item.empty() ? picker.CmdSalir : picker.CmdAceptar).UserClick();
    });
  }

  // The next FrmSecValor: `valor` typed on the keypad, or the formula `valor` picked; "Aceptar".
  void ValorEn(const std::string& valor) {
    Ui().QueueModal("FrmSecValor", [valor](ui::Form& form) {
      auto& d = dynamic_cast<sequences::FrmSecValor&>(form);
      for (char c : d.FmConstante.Visible() ? valor : "") (c == '.' ? d.CmdComa : d.cmdConstantes[c - '0']).UserClick();
      if (!d.FmConstante.Visible()) d.LstVariable.UserClick(Indice(d.LstVariable, valor + " ("));
      d.Command1.UserClick();
    });
  }

  // "Crear", name, form, "Secuencia".
  void Crear(const std::string& nombre, const std::string& formulario = "ENCUES_1") {
    editor_->CmdCrear.UserClick();
    editor_->txtSecuencia.UserEdit(nombre);
    ElegirEn("FrmBuForm", formulario);
    editor_->CmdAddForm.UserClick();
    editor_->CmdSecuencia.UserClick();
  }

  // One line of the line language, accepted with `boton` (nullptr: its own "Acepta").
  void Linea(const std::string& linea, ui::CommandButton* boton = nullptr) {
    FrmSecuenciador& e = *editor_;
    e.OptValor.UserClick();
    if (linea.starts_with("F:")) {
      if (linea.size() > 2) ValorEn(linea.substr(2));
      if (linea.size() > 2) e.Command2[0].UserClick();
      (boton ? boton : &e.Command3)->UserClick();
      return;
    }
    std::string palabra, izquierdo, operador, derecho;
    std::istringstream(linea) >> palabra >> izquierdo >> operador >> derecho;
    e.OptCondicion.UserClick();
    if (palabra != "-") e.CbxCond.UserSelect(Indice(e.CbxCond, palabra));
    if (izquierdo.starts_with("M:")) ElegirEn("FrmBMuestra", izquierdo.substr(2));
    if (!izquierdo.starts_with("M:") && !izquierdo.empty() && izquierdo != "-") ValorEn(izquierdo);
    if (!izquierdo.empty() && izquierdo != "-") (izquierdo.starts_with("M:") ? e.CmdMuestra : e.Command2[1]).UserClick();
    for (int i = 0; i < e.CbxOper.ListCount(); ++i) {
      if (e.CbxOper.List(i) == operador) e.CbxOper.UserSelect(i);
    }
    if (!derecho.empty()) ValorEn(derecho);
    if (!derecho.empty()) (runtime::IsNumeric(derecho) ? e.Command1[2] : e.Command2[2]).UserClick();
    (boton ? boton : &e.Command8)->UserClick();
  }
  void Lineas(const std::vector<std::string>& lineas) {
    for (const std::string& linea : lineas) Linea(linea);
  }

  // Each grid row's cells joined by "|".
  static std::vector<std::string> Celdas(const ui::Grid& grilla) {
    std::vector<std::string> filas(grilla.Rows());
    for (int f = 0; f < grilla.Rows(); ++f) {
      for (int c = 0; c < grilla.Cols(); ++c) filas[f] += (c ? "|" : "") + grilla.TextMatrix(f, c);
    }
    return filas;
  }
  // Number and condition of every line: "1 Si", "2 ", ...
  std::vector<std::string> Estructura() const {
    std::vector<std::string> filas;
    for (int f = 0; f < editor_->FGSecuencia.Rows(); ++f) {
      filas.push_back(editor_->FGSecuencia.TextMatrix(f, 0) + " " + editor_->FGSecuencia.TextMatrix(f, 1));
    }
    return filas;
  }

  std::unique_ptr<intake_test::SentenciasEnviadas> enviadas_;
  FrmSecuenciador* editor_ = nullptr;
};

}  // namespace sequences_test
