// The sequence windows' fixture: ENCUES_1 and INDUST_1 catalogued, the formulas TOTAL (1) and
// MARGEN (2) of ENCUES_1, the editor shown, the statements recorded from then on. Lines are
// entered as a user does, in a small language: "F:TOTAL", "Si TOTAL > 5", "And M:Estado <> MARGEN",
// "FSi" ("-" leaves a part out).
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

#include "formulas/ventanas.h"
#include "sequences/frm_sec_valor.h"
#include "sequences/frm_secuenciador.h"
#include "sequences/selectores.h"
#include "sequences/ventanas.h"
#include "tests/support/encuesta_catalogada.h"

namespace sequences_test {

using sequences::FrmSecuenciador;
using Textos = std::vector<std::string>;
using test_support::Indice;

class SecuenciadorPrueba : public test_support::EncuestaCatalogada {
 protected:
  void SetUp() override {
    EncuestaCatalogada::SetUp();
    Sql("INSERT INTO SE_ARCHIVOS (Arc_Nombre) VALUES('INDUST_1')\r\n"
        "INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Formula) Values('Total ventas', 'TOTAL', 'VENTAS')\r\n"
        "INSERT INTO SE_CABFORMULA(FC_Nombre, FC_NomVar, FC_Formula) Values('Margen', 'MARGEN', 'VENTAS')\r\n"
        "INSERT INTO SE_FORMULA_ARCHIVO(Id_FormCab, Id_Arc) SELECT Id_FormCab, 1 FROM SE_CABFORMULA");
    formulas::RegistrarVentanas(App());
    sequences::RegistrarVentanas(App());
    editor_ = &formulas::VentanaRegistrada<FrmSecuenciador>(App(), "FrmSecuenciador");
    Ui().Show(*editor_);
    enviadas_->Olvidar();
  }

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

  // One line of the line language, accepted with `boton` (nullptr: its own "Acepta"). An
  // operand is nothing ("" or "-"), a roll column ("M:Estado"), a number typed on the keypad
  // (it starts with a digit or a point) or a formula picked from the list.
  void Linea(const std::string& linea, ui::CommandButton* boton = nullptr) {
    FrmSecuenciador& e = *editor_;
    auto operando = [&](const std::string& v, int ranura) {
      if (v.empty() || v == "-") return;
      if (v.starts_with("M:")) ElegirEn("FrmBMuestra", v.substr(2));
      if (!v.starts_with("M:")) ValorEn(v);
      const bool numero = std::isdigit(static_cast<unsigned char>(v[0])) || v[0] == '.';
      (v.starts_with("M:") ? e.CmdMuestra : (numero ? e.Command1 : e.Command2)[ranura]).UserClick();
    };
    e.OptValor.UserClick();
    if (linea.starts_with("F:")) {
      operando(linea.substr(2), 0);
      (boton ? boton : &e.Command3)->UserClick();
      return;
    }
    std::string palabra, izquierdo, operador, derecho;
    std::istringstream(linea) >> palabra >> izquierdo >> operador >> derecho;
    e.OptCondicion.UserClick();
    if (palabra != "-") e.CbxCond.UserSelect(Indice(e.CbxCond, palabra));
    operando(izquierdo, 1);
    for (int i = 0; i < e.CbxOper.ListCount(); ++i) {
      if (e.CbxOper.List(i) == operador) e.CbxOper.UserSelect(i);
    }
    operando(derecho, 2);
    (boton ? boton : &e.Command8)->UserClick();
  }
  void Lineas(const Textos& lineas) {
    for (const std::string& linea : lineas) Linea(linea);
  }

  // Each grid row's cells joined by "|".
  static Textos Celdas(const ui::Grid& grilla) {
    Textos filas(grilla.Rows());
    for (int f = 0; f < grilla.Rows(); ++f) {
      for (int c = 0; c < grilla.Cols(); ++c) filas[f] += (c ? "|" : "") + grilla.TextMatrix(f, c);
    }
    return filas;
  }
  // Number and condition of every line: "1 Si,2 ,3 FSi"; the empty list is " ".
  std::string Estructura() const {
    std::string filas;
    for (int f = 0; f < editor_->FGSecuencia.Rows(); ++f) {
      filas += (f ? "," : "") + editor_->FGSecuencia.TextMatrix(f, 0) + " " + editor_->FGSecuencia.TextMatrix(f, 1);
    }
    return filas;
  }

  FrmSecuenciador* editor_ = nullptr;
};

}  // namespace sequences_test
