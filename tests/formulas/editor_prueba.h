// The formula windows' test fixture: ENCUES_1 catalogued and a second form INDUST_1, the formula
// windows registered, the editor shown, the statements recorded from then on. Helpers drive the
// editor's buttons and dialogs as a user does.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "formulas/frm_b_formula.h"
#include "formulas/frm_b_formulario.h"
#include "formulas/frm_formulas.h"
#include "formulas/frm_pre_formula.h"
#include "formulas/frm_sub_formula.h"
#include "formulas/ventanas.h"
#include "tests/support/encuesta_catalogada.h"

namespace formulas_test {

using formulas::FrmFormulas;
using Textos = std::vector<std::string>;
using test_support::Indice;

class EditorPrueba : public test_support::EncuestaCatalogada {
 protected:
  void SetUp() override {
    EncuestaCatalogada::SetUp();
    Sql("INSERT INTO SE_ARCHIVOS (Arc_Nombre, Arc_Fecha) VALUES('INDUST_1','05/12/2026')\r\n"
        "INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo) Values(2,'PERSONAL','Integer'), "
        "(2,'RAZON','Character')");
    formulas::RegistrarVentanas(App());
    editor_ = &formulas::VentanaRegistrada<FrmFormulas>(App(), "FrmFormulas");
    Ui().Show(*editor_);
    enviadas_->Olvidar();
  }

  // A stored formula, as if saved earlier: header, one file link, its tokens (SQL value lists).
  void FormulaExistente(const std::string& nombre, const std::string& variable, int arc_id,
                        const Textos& tokens_sql = {}) {
    Sql("INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Formula, FC_Form_Completa, FC_Tipo, FC_Activo, "
        "FC_FCreacion, FC_CdorVResul) Values('" + nombre + "', '" + variable + "', 'VENTAS', 'VENTAS', 'F', 1, GetDate(), 0)");
    const std::string id = Filas("Select max(Id_FormCab) From SE_CABFORMULA")[0];
    Sql("INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) Values(" + id + ", " + std::to_string(arc_id) + ")");
    for (const std::string& token : tokens_sql) {
      Sql("INSERT INTO SE_FORMULA(Id_FormCab, FM_Dato, FM_Tipo, FM_FCreacion, FM_FtTipo, FM_FtDato) Values (" + id +
          ", " + token + ")");
    }
  }

  // "..." choosing the forms `nombres` (kept selected if they are) and "Aceptar".
  void ElegirFormularios(const Textos& nombres) {
    Ui().QueueModal("FrmBFormulario", [nombres](ui::Form& form) {
      auto& lista = dynamic_cast<formulas::FrmBFormulario&>(form).lstFormularios;
      for (const std::string& nombre : nombres) {
        if (!lista.Selected(Indice(lista, nombre))) lista.UserClick(Indice(lista, nombre));
      }
      dynamic_cast<formulas::FrmBFormulario&>(form).CmdAceptar.UserClick();
    });
    ASSERT_TRUE(editor_->CmdAddForm.UserClick());
  }

  // "Modificar" choosing the formula listed as `item`.
  void Modificar(const std::string& item) {
    Ui().QueueModal("FrmBFormula", [item](ui::Form& form) {
      auto& picker = dynamic_cast<formulas::FrmBFormula&>(form);
      picker.lstFormula.UserClick(Indice(picker.lstFormula, item));
      picker.Command1.UserClick();
    });
    editor_->CmdModif.UserClick();
  }

  // "Crear", the header typed, the forms chosen, "Formula": the token area open.
  void Abrir(const std::string& nombre, const std::string& variable, const Textos& formularios = {"ENCUES_1"},
             bool total = false) {
    editor_->cmdCancelar.UserClick();
    editor_->CmdCrear.UserClick();
    editor_->txtNombre.UserEdit(nombre);
    editor_->txtResulVar.UserEdit(variable);
    if (total) editor_->OpcTipo[1].UserClick();
    ElegirFormularios(formularios);
    editor_->CmdFormula.UserClick();
    ASSERT_TRUE(editor_->Expandido());
  }

  // One pick in FrmSubFormula, "C:FIELD", "V:VARIABLE" or "N:3.7", then "Aceptar".
  static void Elegir(formulas::FrmSubFormula& picker, const std::string& eleccion) {
    const std::string valor = eleccion.substr(2);
    if (eleccion[0] == 'C') picker.LstCampos.UserClick(Indice(picker.LstCampos, valor));
    if (eleccion[0] == 'V') {
      picker.OptVariable.UserClick();
      picker.LstVariable.UserClick(Indice(picker.LstVariable, valor));
    }
    for (char c : eleccion[0] == 'N' ? valor : "") {
      (c == '.' ? picker.CmdComa : picker.cmdConstantes[c - '0']).UserClick();
    }
    picker.CmdAceptar.UserClick();
  }

  // One user action on the token area:
  //   "C:X" / "V:X" double click on a field / variable, "M:X" click on a sample column,
  //   "0".."9", ".", "+", "-", "*", "/", "(", ")", "A-1", "<" (Retroceder),
  //   "F:CmdPower:C:VENTAS,N:2" a function button, each pick, then "Acepta".
  void Accion(const std::string& accion) {
    FrmFormulas& e = *editor_;
    const std::string valor = accion.size() > 2 && accion[1] == ':' ? accion.substr(2) : "";
    const std::map<std::string, ui::CommandButton*> botones = {
        {".", &e.CmdComa}, {"+", &e.CmdMas},  {"-", &e.CmdMenos},   {"*", &e.CmdMult}, {"/", &e.CmdDiv},
        {"(", &e.CmdAPar}, {")", &e.CmdCPar}, {"A-1", &e.CmdAAnt}, {"<", &e.CmdRetro}};
    if (accion.starts_with("C:")) {
      e.LstCampos.UserDblClick(Indice(e.LstCampos, valor));
    } else if (accion.starts_with("V:")) {
      e.LstVariable.UserDblClick(Indice(e.LstVariable, valor));
    } else if (accion.starts_with("M:")) {
      e.LstMuestra.UserClick(Indice(e.LstMuestra, valor));
    } else if (accion.starts_with("F:")) {
      const size_t fin = valor.find(':');
      Ui().QueueModal("FrmPreFormula", [this, elecciones = valor.substr(fin + 1)](ui::Form& form) {
        auto& dialogo = dynamic_cast<formulas::FrmPreFormula&>(form);
        for (size_t desde = 0; desde <= elecciones.size();) {
          const size_t coma = std::min(elecciones.find(',', desde), elecciones.size());
          Ui().QueueModal("FrmSubFormula", [eleccion = elecciones.substr(desde, coma - desde)](ui::Form& picker) {
            Elegir(dynamic_cast<formulas::FrmSubFormula&>(picker), eleccion);
          });
          dialogo.CmdFormula.UserClick();
          desde = coma + 1;
        }
        dialogo.Command1.UserClick();
      });
      auto* boton = dynamic_cast<ui::CommandButton*>(e.FindControl(valor.substr(0, fin)));
      ASSERT_NE(boton, nullptr) << accion;
      boton->UserClick();
    } else if (accion.size() == 1 && accion[0] >= '0' && accion[0] <= '9') {
      e.cmdConstantes[accion[0] - '0'].UserClick();
    } else if (botones.contains(accion)) {
      botones.at(accion)->UserClick();
    } else {
      ADD_FAILURE() << "unknown action " << accion;
    }
  }

  void Pulsar(const Textos& acciones) {
    for (const std::string& accion : acciones) Accion(accion);
  }

  // The working tokens as one text: "VENTAS~C| / ~O|SUM(X)~F~Ca~X", blanks kept.
  std::string Tokens() const {
    std::string texto;
    for (int i = 1; i <= editor_->Trabajo().CantidadTokens(); ++i) {
      const formulas::Token& t = editor_->Trabajo()[i];
      texto += (i > 1 ? "|" : "") + t.FM_Dato + "~" + t.FM_Tipo;
      if (!t.FM_FtTipo.empty() || !t.FM_FtDato.empty()) texto += "~" + t.FM_FtTipo + "~" + t.FM_FtDato;
    }
    return texto;
  }

  FrmFormulas* editor_ = nullptr;
};

}  // namespace formulas_test
