// The sequence runner on the real engine: four companies of ENCUES_1 with their roll rows for
// 2005 and 2004, the formulas VT (VENTAS * 2), DIF (VENTAS - VENTAS_1) and RATIO (VENTAS /
// EMPLEO) compiled by the generators, sequences stored as the editor stores them. The window
// is worked through its controls; the results are checked against values computed by hand.
#include <gtest/gtest.h>

#include <algorithm>

#include "formulas/procedimientos.h"
#include "formulas/ventanas.h"
#include "platform/runtime/text.h"
#include "runner/frm_proc_secuencia.h"
#include "runner/ventanas.h"
#include "sequences/selectores.h"
#include "sequences/ventanas.h"
#include "tests/formulas/tokens.h"
#include "tests/intake/sentencias_enviadas.h"
#include "tests/support/carpeta_aplicacion.h"

namespace runner {
namespace {

using namespace formulas::prueba;
using Lineas = std::vector<std::string>;

// A stored line: condition word, left kind and operand, operator, right kind and operand, mark.
struct L {
  std::string condic, tipo1, id1, op, tipo2, id2, marca;
};
L Formula(int id, const char* marca = "") { return {"", "F", std::to_string(id), "", "", "Null", marca}; }
L FSi() { return {"FSi", "N", "Null", "", "N", "Null", ""}; }

class Corrida : public test_support::VentanaPrueba {
 protected:
  void SetUp() override {
    VentanaPrueba::SetUp();
    // VENTAS of 2005, 2004, 2003 and EMPLEO of 2005; Muestra of 2005 and 2004.
    Sql("INSERT INTO SE_ARCHIVOS (Arc_Nombre) VALUES('ENCUES_1')\r\n"
        "INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo) Values(1, 'VENTAS', 'Numeric'), "
        "(1, 'EMPLEO', 'Numeric')\r\n"
        "INSERT INTO SE_NOVEDAD (FormSector, Empresa, Periodo, Campo, ValorInt, ValorDbl) Values"
        "('ENCUES', 'E1', 2005, 'VENTAS', 0, 60), ('ENCUES', 'E1', 2004, 'VENTAS', 0, 50), ('ENCUES', 'E1', 2003, 'VENTAS', 0, 40),"
        "('ENCUES', 'E2', 2005, 'VENTAS', 0, 40), ('ENCUES', 'E2', 2004, 'VENTAS', 0, 45), ('ENCUES', 'E2', 2003, 'VENTAS', 0, 30),"
        "('ENCUES', 'E3', 2005, 'VENTAS', 0, 80), ('ENCUES', 'E3', 2004, 'VENTAS', 0, 20), ('ENCUES', 'E3', 2003, 'VENTAS', 0, 10),"
        "('ENCUES', 'E4', 2005, 'VENTAS', 0, 30), ('ENCUES', 'E4', 2004, 'VENTAS', 0, -40), ('ENCUES', 'E1', 2005, 'EMPLEO', 10, 0),"
        "('ENCUES', 'E2', 2005, 'EMPLEO', 0, 0), ('ENCUES', 'E3', 2005, 'EMPLEO', 4, 0), ('ENCUES', 'E4', 2005, 'EMPLEO', 5, 0)\r\n"
        "INSERT INTO SE_MUESTRA_PADRON (Unico, FormSector, Periodo, Muestra) Values('E1', 'ENCUES', 2005, 1), "
        "('E1', 'ENCUES', 2004, 0), ('E2', 'ENCUES', 2005, 1), ('E2', 'ENCUES', 2004, 1), ('E3', 'ENCUES', 2005, 0), "
        "('E3', 'ENCUES', 2004, 1), ('E4', 'ENCUES', 2005, 1), ('E4', 'ENCUES', 2004, 1)\r\n"
        "INSERT INTO SE_CABFORMULA (FC_Nombre, FC_NomVar) Values('VT', 'VT'), ('DIF', 'DIF'), ('RATIO', 'RATIO')");
    const std::vector<formulas::Token> formulas[] = {
        {C("VENTAS"), O('*'), N('2')}, {C("VENTAS"), O('-'), C("VENTAS_1")}, {C("VENTAS"), O('/'), C("EMPLEO")}};
    for (int32_t id = 1; id <= 3; ++id) {
      for (auto generar : {formulas::G_Store_Procedure, formulas::G_Store_Procedure_Emp}) {
        ASSERT_TRUE(generar(App(), formulas[id - 1], id, formulas::Estilo::kPorEmpresa).exito);
      }
    }
    AbrirVentana();
  }

  // The windows registered on the application in hand and the runner shown; CnSql reopened so
  // that what it sends is recorded.
  void AbrirVentana() {
    formulas::RegistrarVentanas(App());
    sequences::RegistrarVentanas(App());
    RegistrarVentanas(App());
    ventana_ = &formulas::VentanaRegistrada<FrmProcSecuencia>(App(), "FrmProcSecuencia");
    Ui().Show(*ventana_);
    enviadas_.reset();
    enviadas_ = std::make_unique<intake_test::SentenciasEnviadas>();
    App().CnSql.Close();
    App().CnSql.Open(App().CadenaSql());
  }

  void Sql(const std::string& texto) { App().CnSql.Execute(texto); }

  // The stored column number of roll column `nombre`: its position from 0, minus one.
  std::string Columna(const std::string& nombre) {
    sql::Recordset rs = App().CnSql.Execute("SELECT * FROM SE_MUESTRA_PADRON");
    int i = 0;
    while (i < rs.Fields().Count() && rs.Fields().Item(i).Name() != nombre) ++i;
    return std::to_string(i - 1);
  }

  // Stores sequence `nombre` of ENCUES_1 with `lineas` numbered from 1; returns its id.
  std::string Guardar(const std::string& nombre, const std::vector<L>& lineas) {
    Sql("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_IDARC) VALUES(" + runtime::SqlText(nombre) + ", 1)");
    const std::string id = Filas("SELECT MAX(SC_IdSecCab) FROM SE_CABSECUENCIA")[0];
    for (size_t i = 0; i < lineas.size(); ++i) {
      const L& l = lineas[i];
      Sql("INSERT INTO SE_SECUENCIA (S_IDSECCAB, S_ORDEN, S_CONDIC, S_IDFORMCAB1, S_IDFORMCAB2, S_OPERADOR, "
          "S_TIPVAR1, S_TIPVAR2, S_MARCA) VALUES(" + id + ", " + std::to_string(i + 1) + ", '" + l.condic + "', " +
          l.id1 + ", " + l.id2 + ", '" + l.op + "', '" + l.tipo1 + "', '" + l.tipo2 + "', '" + l.marca + "')");
    }
    return id;
  }

  // Fills the boxes as the pickers and the user would and presses "Procesar"; what was sent
  // before is forgotten.
  void Procesar(const std::string& periodo, const std::string& anio, const std::string& id_secuencia,
                const std::string& formulario = "ENCUES_1", const std::string& id_formulario = "1") {
    ventana_->TxtPeriodo.SetText(periodo);
    ventana_->TxtAnio.SetText(anio);
    ventana_->LblFormulario.SetCaption(formulario);
    ventana_->TxtIdFormulario.SetText(id_formulario);
    ventana_->lblSec.SetCaption("Principal d'ENCUES");
    ventana_->TxtIdSecuencia.SetText(id_secuencia);
    enviadas_->Olvidar();
    ASSERT_TRUE(ventana_->CmdProcesar2.UserClick());
  }

  // What was sent: the procedure calls (by name; "F" for FindIdentRes), or everything else.
  Lineas Enviadas(bool llamadas) const {
    Lineas elegidas;
    for (const std::string& s : enviadas_->Todas()) {
      const bool llamada = s.starts_with("EXEC ") || s == "FindIdentRes";
      if (llamada == llamadas) elegidas.push_back(!llamada ? s : s[0] == 'F' ? "F" : s.substr(5));
    }
    return elegidas;
  }

  Lineas Resultados() {
    return Filas("SELECT Id_FA, RE_Anio, RE_Empresa, RE_Valor FROM SE_RESULTADO ORDER BY Id_FA, RE_Anio, RE_Empresa");
  }

  FrmProcSecuencia* ventana_ = nullptr;
  std::unique_ptr<intake_test::SentenciasEnviadas> enviadas_;
};

TEST_F(Corrida, LasComprobacionesDeEntradaEnSuOrden) {
  const std::string vacia = Guardar("Vacia", {});
  struct Caso {
    std::string periodo, anio, id_secuencia, formulario, id_formulario, mensaje;
  };
  const std::vector<Caso> casos = {
      {"", "2005", vacia, "ENCUES_1", "1", "Deberá Ingresar el Periodo"},
      {"2005", "", vacia, "ENCUES_1", "1", "Deberá Ingresar el Año"},
      {"2005", "2006", vacia, "ENCUES_1", "1", "El Año no puede ser Mayor al Periodo"},
      {"2005", "999", vacia, "ENCUES_1", "1", "El Año no puede ser Mayor al Periodo"},
      {"2005", "2003", vacia, "ENCUES_1", "1", "El Año no pertenece al par de Años para el Periodo"},
      {"1989", "1989", vacia, "", "", "Deberá ingresar un formulario"},
      {"1989", "1989", "", "ENCUES_1", "1", "Deberá Ingresar una secuencia"},
      {"1989", "1989", vacia, "ENCUES_1", "1", " Periodo Incorrecto"},
      // Past the seven checks: numbers written otherwise than in four digits, a short form name.
      {"2e03", "1999", vacia, "ENCUES_1", "1", "El Periodo debe tener cuatro digitos"},
      {"2005", "1e99", vacia, "ENCUES_1", "1", "El Año debe tener cuatro digitos"},
      {"2005", "2005", vacia, "E", "1", "No se puede correr la Secuencia: el nombre del formulario tiene menos de dos caracteres"},
      {"2005", "2005", vacia, "ENCUES_1", "1", ""},
      {"2005", "2004", vacia, "ENCUES_1", "1", ""},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.periodo + "/" + caso.anio + " " + caso.formulario);
    Ui().ClearMessages();
    ventana_->LblMsg.SetCaption("");
    Procesar(caso.periodo, caso.anio, caso.id_secuencia, caso.formulario, caso.id_formulario);
    EXPECT_EQ(Ui().Prompts(), caso.mensaje.empty() ? Lineas{} : Lineas{caso.mensaje});
    // An empty sequence calls nothing and writes no journal row, but says it finished.
    EXPECT_EQ(ventana_->LblMsg.Caption(), caso.mensaje.empty() ? "Proceso Finalizado" : "");
    EXPECT_TRUE(Enviadas(true).empty());
  }
  EXPECT_TRUE(Filas("SELECT * FROM SE_COMM_PROCESO").empty());
}

TEST_F(Corrida, UnaCorridaCalculaLoQueSeCalculaAMano) {
  const std::string id = Guardar("Principal d'ENCUES", {Formula(1), {"Si", "F", "1", ">", "F", "2", ""},
                                                        {"And", "M", Columna("Muestra"), "=", "N", "1", ""}, Formula(2),
                                                        Formula(3), FSi(), Formula(2, "*")});
  ventana_->UsarReloj([t = std::chrono::steady_clock::time_point{}]() mutable { return t += std::chrono::seconds(1); });
  Lineas vistas;
  Ui().SetDoEventsHook([&] {
    vistas.push_back(ventana_->LblMsg.Caption() + "|" + ventana_->lblmsg1.Caption());
    EXPECT_FALSE(ventana_->CmdProcesar2.UserClick()) << "a second run inside the first";
  });
  Procesar("2005", "2005", id);
  const Lineas sentencias = Enviadas(false);
  const Lineas llamadas = Enviadas(true);

  // VT for all; the block's conditions VT > DIF and Muestra (2005) = 1 hold for E1 and E2 only:
  // E3 has Muestra 0 in 2005 (1 in 2004), E4's VT 60 is below its DIF 70. Their DIF is still
  // computed, by the condition. RATIO fails for E2 (EMPLEO 0), after its procedure stored a
  // Null as the server does when a division by zero ends the statement. The marked DIF is for 2004.
  EXPECT_EQ(Resultados(), (Lineas{"1|2005|E1|120", "1|2005|E2|80", "1|2005|E3|160", "1|2005|E4|60", "2|2004|E1|10",
                                  "2|2004|E2|15", "2|2004|E3|10", "2|2004|E4|-40", "2|2005|E1|10", "2|2005|E2|-5",
                                  "2|2005|E3|60", "2|2005|E4|70", "3|2005|E1|6", "3|2005|E2|NULL"}));
  const Lineas pasa = {"P1_emp", "F", "P2_emp", "F", "P2_emp", "P3_emp"}, no_pasa = {"P1_emp", "F", "P2_emp", "F"};
  Lineas esperadas = {"P1"};
  for (const Lineas* e : {&pasa, &pasa, &no_pasa, &no_pasa}) esperadas.insert(esperadas.end(), e->begin(), e->end());
  esperadas.push_back("P2");
  EXPECT_EQ(llamadas, esperadas);
  Lineas textos = {"SELECT s_idSec, S_Orden, FC_NomVar, S_Condic, S_IdformCab1, S_IdformCab2, S_Operador, S_TipVar1, "
                   "S_TipVar2, S_Marca FROM SE_SECUENCIA left join SE_CABFORMULA on S_IdFormCab1 = Id_formCab Where "
                   "s_IdSecCab = " + id + " Order by S_Orden",
                   "Select * From SE_MUESTRA_PADRON",
                   "SELECT Unico as Empresa FROM SE_MUESTRA_PADRON WHERE FormSector = 'ENCUES' and Periodo = 2005"};
  for (std::string e : {"E1", "E2", "E3", "E4"}) {
    textos.push_back("Select Muestra from SE_MUESTRA_PADRON where Unico = '" + e + "' and Periodo = 2005");
  }
  const std::string journal = "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) Values(1, "
                              "'ENCUES_1', 2005, getdate(), 'Secuencia', 'Principal d''ENCUES')";
  textos.insert(textos.end(), {"BeginTrans", journal, "CommitTrans"});
  EXPECT_EQ(sentencias, textos);

  ASSERT_EQ(Ui().Messages().size(), 1u);
  EXPECT_EQ(Ui().Prompts()[0] + "|" + Titulos()[0] + "|" + std::to_string(Ui().Messages()[0].style),
            "Error Ejecutando Secuencia|ERROR SECUENCIA|" + std::to_string(ui::vbCritical));
  const Lineas entradas = EntradasLog();
  ASSERT_EQ(entradas.size(), 1u);
  EXPECT_TRUE(test_support::FormaDeEntrada(entradas[0])) << entradas[0];
  EXPECT_TRUE(entradas[0].ends_with("\r\nFrmProcSecuencia (ExecSec)\r\nP3_emp ENCUES,2005,2005")) << entradas[0];
  EXPECT_EQ(Filas("SELECT Id_FC, Formulario, Periodo, Tipo, Contenido FROM SE_COMM_PROCESO"),
            Lineas{"1|ENCUES_1|2005|Secuencia|Principal d'ENCUES"});
  EXPECT_NE(std::find(vistas.begin(), vistas.end(), "Procesando ... RATIO|Empresa -> E2"), vistas.end());
  EXPECT_EQ(ventana_->LblMsg.Caption() + "|" + ventana_->lblmsg1.Caption(), "Proceso Finalizado|");
  EXPECT_EQ(ventana_->UltimoResultado(), Resultado::kConErrores);
  // A pause before each of the 3 lines of the main walk and each of the 14 calls.
  EXPECT_EQ(Ui().SleptMilliseconds(), (3 + 14) * 2000);

  // Run again in a program started with no pauses.
  pausa_ms_ = 0;
  AbrirAplicacion();
  AbrirVentana();
  Procesar("2005", "2005", id);
  EXPECT_EQ(Ui().SleptMilliseconds(), 0);

  // A journal row that cannot be written is only logged; a roll that cannot be read stops the
  // run (P1 fails first and the run goes on), logged and told, with no journal row.
  Ui().ClearMessages();
  Sql("DROP TABLE SE_COMM_PROCESO");
  Procesar("2005", "2005", id);
  EXPECT_TRUE(EntradasLog().back().ends_with("\r\n" + journal + "\r\nNo se ha registrado en el panel de comando"));
  EXPECT_EQ(Ui().Prompts(), Lineas{"Error Ejecutando Secuencia"});
  Sql("DROP TABLE SE_MUESTRA_PADRON");
  Procesar("2005", "2005", id);
  EXPECT_TRUE(EntradasLog().back().ends_with("\r\nFrmProcSecuencia (CmdProcesar2_Click)")) << EntradasLog().back();
  EXPECT_EQ(Ui().Prompts().size(), 2u);
  EXPECT_EQ(ventana_->UltimoResultado(), Resultado::kInterrumpida);
}

TEST_F(Corrida, UnNuloCuentaComoCeroSalvoParaIgualYUnaLlamadaFallidaNoDaValor) {
  Sql("UPDATE SE_MUESTRA_PADRON SET auto = 5 WHERE Unico = 'E1'");
  const std::string columna = Columna("auto");
  // auto is Null but for E1: "= 0" holds for nobody, "< 1" for E2, E3, E4. RATIO's call fails
  // for E2, so "RATIO > -1000" has no value for it, whatever the failed call left stored.
  Procesar("2005", "2005",
           Guardar("Nulos", {{"Si", "M", columna, "=", "N", "0", ""}, Formula(1), FSi(),
                             {"Si", "M", columna, "<", "N", "1", ""}, Formula(2), FSi(),
                             {"Si", "F", "3", ">", "N", "-1000", ""}, Formula(1), FSi()}));
  EXPECT_EQ(Filas("SELECT Id_FA, RE_Empresa FROM SE_RESULTADO WHERE Id_FA < 3 ORDER BY Id_FA, RE_Empresa"),
            (Lineas{"1|E1", "1|E3", "1|E4", "2|E2", "2|E3", "2|E4"}));
  EXPECT_EQ(Ui().Prompts(), Lineas{"Error Ejecutando Secuencia"});
}

TEST_F(Corrida, UnaSecuenciaQueNoSePuedeCorrerSeRechazaAntes) {
  const L si = {"Si", "F", "1", ">", "N", "5", ""};
  const std::vector<std::pair<std::vector<L>, std::string>> casos = {
      {{Formula(1), si, Formula(2)}, "la condicion no se cierra con FSi\r\nRevisar por el Nº de Orden 2"},
      {{si, {"And", "F", "2", "<", "N", "1", ""}, FSi(), Formula(1)}, "la condicion no tiene formulas\r\nRevisar por el Nº de Orden 1"},
      {{si, {"And", "N", "3", ">", "N", "1", ""}, Formula(1), FSi()},
       "la condicion debe comparar una formula (F) o una columna de la muestra (M)\r\nRevisar por el Nº de Orden 2"},
      {{{"Si", "M", Columna("Muestra"), "=>", "N", "1", ""}, Formula(1), FSi()},
       "el operador '=>' no es uno de =, <>, <, >, <=, >=\r\nRevisar por el Nº de Orden 1"},
      {{{"Si", "M", "500", "=", "N", "1", ""}, Formula(1), FSi()}, "el operando izquierdo no es valido\r\nRevisar por el Nº de Orden 1"},
      {{{"Si", "F", "1", "=", "N", "Null", ""}, Formula(1), FSi()}, "el operando derecho no es valido\r\nRevisar por el Nº de Orden 1"},
      {{Formula(1), {"", "F", "Null", "", "", "Null", ""}}, "falta la formula\r\nRevisar por el Nº de Orden 2"},
  };
  for (const auto& [lineas, mensaje] : casos) {
    SCOPED_TRACE(mensaje);
    Ui().ClearMessages();
    Procesar("2005", "2005", Guardar("Mal", lineas));
    EXPECT_EQ(Ui().Prompts(), Lineas{"No se puede correr la Secuencia: " + mensaje});
    EXPECT_EQ(ventana_->UltimoResultado(), Resultado::kRechazada);
    EXPECT_TRUE(Enviadas(true).empty());
  }
  EXPECT_TRUE(Filas("SELECT * FROM SE_COMM_PROCESO").empty());
}

TEST_F(Corrida, LosSelectoresLlenanElFormularioYLaSecuencia) {
  Guardar("Principal", {});
  ventana_->CmdSec.UserClick();
  EXPECT_EQ(Ui().Prompts(), Lineas{"Debera primero ingresar el formulario"});
  for (ui::CommandButton* boton : {&ventana_->Command1, &ventana_->CmdSec}) {
    Ui().QueueModal(boton == &ventana_->CmdSec ? "FrmBuSec" : "FrmBuForm1", [](ui::Form& form) {
      auto& picker = dynamic_cast<sequences::Selector&>(form);
      picker.lstFormularios.UserClick(0);
      picker.CmdAceptar.UserClick();
    });
    boton->UserClick();
  }
  EXPECT_EQ(ventana_->LblFormulario.Caption() + "|" + ventana_->TxtIdFormulario.Text() + "|" + ventana_->lblSec.Caption() +
                "|" + ventana_->TxtIdSecuencia.Text(),
            "ENCUES_1|1|Principal|1");
}

}  // namespace
}  // namespace runner
