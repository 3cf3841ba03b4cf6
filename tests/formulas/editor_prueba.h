// The formula windows' test fixture: a fresh application with the survey ENCUES_1 catalogued
// (VENTAS, EMPLEO, COSTOS, with values and a company roll for 2005 and 2004) and a second form
// INDUST_1, the formula windows registered, the editor shown, and every statement sent from
// then on recorded. Helpers drive the editor the way a user does: a small action language for
// the token buttons ("C:VENTAS", "7", "+", "F:SUM(C:VENTAS)" ...) and the dialogs behind them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "formulas/frm_b_formulario.h"
#include "formulas/frm_formulas.h"
#include "formulas/frm_pre_formula.h"
#include "formulas/frm_sub_formula.h"
#include "formulas/ventanas.h"
#include "tests/intake/sentencias_enviadas.h"
#include "tests/platform/engine/batch_files.h"
#include "tests/support/carpeta_aplicacion.h"

namespace formulas_test {

using formulas::FrmFormulas;

// The index of the item with text `texto`; fails the test when there is none.
inline int Indice(const ui::ListControl& lista, const std::string& texto) {
  for (int i = 0; i < lista.ListCount(); ++i) {
    if (lista.List(i) == texto) return i;
  }
  ADD_FAILURE() << "no item " << texto << " in " << lista.Name();
  return -1;
}

class EditorPrueba : public test_support::CarpetaAplicacion {
 protected:
  void SetUp() override {
    CarpetaAplicacion::SetUp();
    CrearCarpetasDeTrabajo();
    enviadas_ = std::make_unique<intake_test::SentenciasEnviadas>();
    AbrirAplicacion();
    const std::filesystem::path setup =
        std::filesystem::path(CONSOLIDA_TEST_DATA_DIR) / "fixtures/engine/setup.sql";
    ASSERT_TRUE(std::filesystem::exists(setup)) << setup;
    for (const std::string& lote : test_support::SplitBatches(setup)) App().CnSql.Execute(lote);
    Sql("INSERT INTO SE_ARCHIVOS (Arc_Nombre, Arc_Fecha) VALUES('INDUST_1','05/12/2026')");
    Sql("INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo) Values(2,'PERSONAL','Integer')");
    Sql("INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo) Values(2,'RAZON','Character')");
    formulas::RegistrarVentanas(App());
    editor_ = &formulas::VentanaRegistrada<FrmFormulas>(App(), "FrmFormulas");
    Ui().Show(*editor_);
    enviadas_->Olvidar();
  }

  void TearDown() override {
    CarpetaAplicacion::TearDown();
    enviadas_.reset();
  }

  void Sql(const std::string& texto) { App().CnSql.Execute(texto); }

  // A stored formula, as if saved earlier: header, one file link, its tokens.
  void FormulaExistente(const std::string& nombre, const std::string& variable, int arc_id,
                        const std::vector<std::string>& tokens_sql = {}) {
    Sql("INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Formula, FC_Form_Completa, FC_Tipo, FC_Activo, "
        "FC_FCreacion, FC_CdorVResul) Values('" + nombre + "', '" + variable + "', 'VENTAS', 'VENTAS', 'F', 1, GetDate(), 0)");
    const std::string id = Filas("Select max(Id_FormCab) From SE_CABFORMULA")[0];
    Sql("INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) Values(" + id + ", " + std::to_string(arc_id) + ")");
    for (const std::string& token : tokens_sql) {
      Sql("INSERT INTO SE_FORMULA(Id_FormCab, FM_Dato, FM_Tipo, FM_FCreacion, FM_FtTipo, FM_FtDato) Values (" + id +
          ", " + token + ")");
    }
  }

  // "..." choosing the forms `nombres` and "Aceptar".
  void ElegirFormularios(const std::vector<std::string>& nombres) {
    Ui().QueueModal("FrmBFormulario", [nombres](ui::Form& form) {
      auto& picker = dynamic_cast<formulas::FrmBFormulario&>(form);
      for (const std::string& nombre : nombres) {
        if (!picker.lstFormularios.Selected(Indice(picker.lstFormularios, nombre))) {
          picker.lstFormularios.UserClick(Indice(picker.lstFormularios, nombre));
        }
      }
      picker.CmdAceptar.UserClick();
    });
    ASSERT_TRUE(editor_->CmdAddForm.UserClick());
  }

  // "Crear", the header typed, the forms chosen, "Formula": the token area open.
  void Abrir(const std::string& nombre, const std::string& variable,
             const std::vector<std::string>& formularios = {"ENCUES_1"}, bool total = false) {
    editor_->CmdCrear.UserClick();
    editor_->txtNombre.UserEdit(nombre);
    editor_->txtResulVar.UserEdit(variable);
    if (total) editor_->OpcTipo[1].UserClick();
    ElegirFormularios(formularios);
    editor_->CmdFormula.UserClick();
    ASSERT_TRUE(editor_->Expandido());
  }

  // One pick in FrmSubFormula: "C:FIELD", "V:VARIABLE" or "N:3.7", then "Aceptar".
  static void Elegir(formulas::FrmSubFormula& picker, const std::string& eleccion) {
    const std::string valor = eleccion.substr(2);
    if (eleccion[0] == 'C') {
      picker.LstCampos.UserClick(Indice(picker.LstCampos, valor));
    } else if (eleccion[0] == 'V') {
      picker.OptVariable.UserClick();
      picker.LstVariable.UserClick(Indice(picker.LstVariable, valor));
    } else {
      for (char c : valor) {
        if (c == '.') {
          picker.CmdComa.UserClick();
        } else {
          picker.cmdConstantes[c - '0'].UserClick();
        }
      }
    }
    picker.CmdAceptar.UserClick();
  }

  // A function button with its argument dialog: each pick through the picker, then "Acepta".
  void Funcion(const std::string& boton, const std::vector<std::string>& elecciones) {
    Ui().QueueModal("FrmPreFormula", [this, elecciones](ui::Form& form) {
      auto& dialogo = dynamic_cast<formulas::FrmPreFormula&>(form);
      for (const std::string& eleccion : elecciones) {
        Ui().QueueModal("FrmSubFormula", [eleccion](ui::Form& picker) {
          Elegir(dynamic_cast<formulas::FrmSubFormula&>(picker), eleccion);
        });
        dialogo.CmdFormula.UserClick();
      }
      dialogo.Command1.UserClick();
    });
    auto* control = dynamic_cast<ui::CommandButton*>(editor_->FindControl(boton));
    ASSERT_NE(control, nullptr) << boton;
    control->UserClick();
  }

  // One user action on the token area:
  //   "C:X" / "V:X" double click on a field / variable, "M:X" click on a sample column,
  //   "0".."9", ".", "+", "-", "*", "/", "(", ")", "A-1", "<" (Retroceder),
  //   "F:CmdSum:C:VENTAS" a function button and its picks ("F:CmdPower:C:VENTAS,N:2").
  void Accion(const std::string& accion) {
    FrmFormulas& e = *editor_;
    if (accion.size() > 2 && accion[1] == ':') {
      const std::string valor = accion.substr(2);
      if (accion[0] == 'C') e.LstCampos.UserDblClick(Indice(e.LstCampos, valor));
      if (accion[0] == 'V') e.LstVariable.UserDblClick(Indice(e.LstVariable, valor));
      if (accion[0] == 'M') e.LstMuestra.UserClick(Indice(e.LstMuestra, valor));
      if (accion[0] == 'F') {
        const size_t fin_boton = valor.find(':');
        std::vector<std::string> elecciones;
        for (size_t desde = fin_boton + 1; desde <= valor.size();) {
          size_t coma = valor.find(',', desde);
          if (coma == std::string::npos) coma = valor.size();
          elecciones.push_back(valor.substr(desde, coma - desde));
          desde = coma + 1;
        }
        Funcion(valor.substr(0, fin_boton), elecciones);
      }
      return;
    }
    if (accion.size() == 1 && accion[0] >= '0' && accion[0] <= '9') {
      e.cmdConstantes[accion[0] - '0'].UserClick();
    } else if (accion == ".") {
      e.CmdComa.UserClick();
    } else if (accion == "+") {
      e.CmdMas.UserClick();
    } else if (accion == "-") {
      e.CmdMenos.UserClick();
    } else if (accion == "*") {
      e.CmdMult.UserClick();
    } else if (accion == "/") {
      e.CmdDiv.UserClick();
    } else if (accion == "(") {
      e.CmdAPar.UserClick();
    } else if (accion == ")") {
      e.CmdCPar.UserClick();
    } else if (accion == "A-1") {
      e.CmdAAnt.UserClick();
    } else if (accion == "<") {
      e.CmdRetro.UserClick();
    } else {
      ADD_FAILURE() << "unknown action " << accion;
    }
  }

  void Pulsar(const std::vector<std::string>& acciones) {
    for (const std::string& accion : acciones) Accion(accion);
  }

  // The working tokens as one text: "VENTAS~C| / ~O|SUM(X)~F~Ca~X", blanks kept.
  std::string Tokens() const {
    std::string texto;
    const auto& formula = editor_->Trabajo();
    for (int i = 1; i <= formula.CantidadTokens(); ++i) {
      const formulas::Token& t = formula[i];
      texto += (i > 1 ? "|" : "") + t.FM_Dato + "~" + t.FM_Tipo;
      if (!t.FM_FtTipo.empty() || !t.FM_FtDato.empty()) texto += "~" + t.FM_FtTipo + "~" + t.FM_FtDato;
    }
    return texto;
  }

  // The statements sent since the last Olvidar, from the first that starts with `desde` on.
  std::vector<std::string> EnviadasDesde(const std::string& desde) const {
    const auto& todas = enviadas_->Todas();
    for (size_t i = 0; i < todas.size(); ++i) {
      if (todas[i].starts_with(desde)) return {todas.begin() + static_cast<long>(i), todas.end()};
    }
    return {};
  }

  std::unique_ptr<intake_test::SentenciasEnviadas> enviadas_;
  FrmFormulas* editor_ = nullptr;
};

}  // namespace formulas_test
