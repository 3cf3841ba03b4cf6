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
    // company, VENTAS 2005, 2004, 2003, EMPLEO 2005, Muestra 2005, 2004
    struct Empresa {
      const char* unico;
      int v05, v04, v03, empleo, muestra05, muestra04;
    };
    const Empresa empresas[] = {
        {"E1", 60, 50, 40, 10, 1, 0}, {"E2", 40, 45, 30, 0, 1, 1}, {"E3", 80, 20, 10, 4, 0, 1}, {"E4", 30, -40, 0, 5, 1, 1}};
    Sql("INSERT INTO SE_ARCHIVOS (Arc_Nombre) VALUES('ENCUES_1')");
    for (const char* campo : {"VENTAS", "EMPLEO"}) {
      Sql(std::string("INSERT INTO SE_ESTRUCTURAS (Est_IdArchivo, Est_Campo, Est_Tipo) Values(1, '") + campo +
          "', 'Numeric')");
    }
    for (const Empresa& e : empresas) {
      for (auto [anio, muestra] : {std::pair{2005, e.muestra05}, std::pair{2004, e.muestra04}}) {
        Sql("INSERT INTO SE_MUESTRA_PADRON (Unico, FormSector, Periodo, Muestra) Values('" + std::string(e.unico) +
            "', 'ENCUES', " + std::to_string(anio) + ", " + std::to_string(muestra) + ")");
      }
      for (auto [anio, campo, valor] : {std::tuple{2005, "VENTAS", e.v05}, std::tuple{2004, "VENTAS", e.v04},
                                        std::tuple{2003, "VENTAS", e.v03}, std::tuple{2005, "EMPLEO", e.empleo}}) {
        Sql("INSERT INTO SE_NOVEDAD (FormSector, Empresa, Periodo, Campo, ValorInt, ValorDbl) Values('ENCUES', '" +
            std::string(e.unico) + "', " + std::to_string(anio) + ", '" + campo + "', 0, " + std::to_string(valor) +
            ")");
      }
    }
    const std::vector<std::pair<const char*, std::vector<formulas::Token>>> formulas = {
        {"VT", {C("VENTAS"), O('*'), N('2')}},
        {"DIF", {C("VENTAS"), O('-'), C("VENTAS_1")}},
        {"RATIO", {C("VENTAS"), O('/'), C("EMPLEO")}}};
    for (size_t i = 0; i < formulas.size(); ++i) {
      Sql(std::string("INSERT INTO SE_CABFORMULA (FC_Nombre, FC_NomVar) Values('") + formulas[i].first + "', '" +
          formulas[i].first + "')");
      for (auto generar : {formulas::G_Store_Procedure, formulas::G_Store_Procedure_Emp}) {
        ASSERT_TRUE(generar(App(), formulas[i].second, static_cast<int32_t>(i + 1), formulas::Estilo::kPorEmpresa).exito);
      }
    }
    AbrirVentana();
  }

  // The windows registered on the application in hand and the runner shown, every statement
  // sent from then on recorded.
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
    sql::Recordset rs;
    rs.Open("SELECT * FROM SE_MUESTRA_PADRON", App().CnSql);
    for (int i = 0; i < rs.Fields().Count(); ++i) {
      if (rs.Fields().Item(i).Name() == nombre) return std::to_string(i - 1);
    }
    ADD_FAILURE() << "no column " << nombre;
    return "";
  }

  // Stores sequence `nombre` of ENCUES_1 with `lineas` numbered from 1; returns its id.
  std::string Guardar(const std::string& nombre, const std::vector<L>& lineas) {
    Sql("INSERT INTO SE_CABSECUENCIA (SC_NOMBRE, SC_TIPO, SC_IDARC, SC_ACTIVO) VALUES(" + runtime::SqlText(nombre) +
        ", 'F', 1, 1)");
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

  // The procedure calls and FindIdentRes, in order; and everything else sent.
  Lineas Llamadas() const {
    Lineas llamadas;
    for (const std::string& s : enviadas_->Todas()) {
      if (s.starts_with("EXEC ") || s == "FindIdentRes") llamadas.push_back(s == "FindIdentRes" ? "F" : s.substr(5));
    }
    return llamadas;
  }
  Lineas Sentencias() const {
    Lineas sentencias;
    for (const std::string& s : enviadas_->Todas()) {
      if (!s.starts_with("EXEC ") && s != "FindIdentRes") sentencias.push_back(s);
    }
    return sentencias;
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
      {"2005", "2005", vacia, "E", "1",
       "No se puede correr la Secuencia: el nombre del formulario tiene menos de dos caracteres"},
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
    EXPECT_TRUE(Llamadas().empty());
  }
  EXPECT_TRUE(Filas("SELECT * FROM SE_COMM_PROCESO").empty());
}

TEST_F(Corrida, UnaCorridaCalculaLoQueSeCalculaAMano) {
  const std::string id = Guardar("Principal d'ENCUES", {Formula(1),
                                                        {"Si", "F", "1", ">", "F", "2", ""},
                                                        {"And", "M", Columna("Muestra"), "=", "N", "1", ""},
                                                        Formula(2),
                                                        Formula(3),
                                                        FSi(),
                                                        Formula(2, "*")});
  ventana_->UsarReloj([t = std::chrono::steady_clock::time_point{}]() mutable { return t += std::chrono::seconds(1); });
  Lineas vistas;
  Ui().SetDoEventsHook([&] {
    vistas.push_back(ventana_->LblMsg.Caption() + "|" + ventana_->lblmsg1.Caption());
    EXPECT_FALSE(ventana_->CmdProcesar2.UserClick()) << "a second run inside the first";
  });
  Procesar("2005", "2005", id);
  const Lineas enviadas = Sentencias();
  const Lineas hechas = Llamadas();

  // VT for all; the block's conditions VT > DIF and Muestra (2005) = 1 hold for E1 and E2 only:
  // E3 has Muestra 0 in 2005 (1 in 2004), E4's VT 60 is below its DIF 70. Their DIF is still
  // computed, by the condition. RATIO fails for E2 (EMPLEO 0), after its procedure stored a
  // Null as the server does when a division by zero ends the statement. The marked DIF is for 2004.
  EXPECT_EQ(Resultados(), (Lineas{"1|2005|E1|120", "1|2005|E2|80", "1|2005|E3|160", "1|2005|E4|60",
                                  "2|2004|E1|10", "2|2004|E2|15", "2|2004|E3|10", "2|2004|E4|-40",
                                  "2|2005|E1|10", "2|2005|E2|-5", "2|2005|E3|60", "2|2005|E4|70",
                                  "3|2005|E1|6", "3|2005|E2|NULL"}));
  const Lineas pasa = {"P1_emp", "F", "P2_emp", "F", "P2_emp", "P3_emp"};
  const Lineas no_pasa = {"P1_emp", "F", "P2_emp", "F"};
  Lineas llamadas = {"P1"};
  for (const Lineas* empresa : {&pasa, &pasa, &no_pasa, &no_pasa}) llamadas.insert(llamadas.end(), empresa->begin(), empresa->end());
  llamadas.push_back("P2");
  EXPECT_EQ(hechas, llamadas);
  Lineas sentencias = {
      "SELECT s_idSec, S_Orden, FC_NomVar, S_Condic, S_IdformCab1, S_IdformCab2, S_Operador, S_TipVar1, S_TipVar2, "
      "S_Marca FROM SE_SECUENCIA left join SE_CABFORMULA on S_IdFormCab1 = Id_formCab Where s_IdSecCab = " + id +
          " Order by S_Orden",
      "Select * From SE_MUESTRA_PADRON",
      "SELECT Unico as Empresa FROM SE_MUESTRA_PADRON WHERE FormSector = 'ENCUES' and Periodo = 2005"};
  for (const char* e : {"E1", "E2", "E3", "E4"}) {
    sentencias.push_back(std::string("Select Muestra from SE_MUESTRA_PADRON where Unico = '") + e + "' and Periodo = 2005");
  }
  sentencias.insert(sentencias.end(),
                    {"BeginTrans",
                     "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) Values(1, "
                     "'ENCUES_1', 2005, getdate(), 'Secuencia', 'Principal d''ENCUES')",
                     "CommitTrans"});
  EXPECT_EQ(enviadas, sentencias);

  ASSERT_EQ(Ui().Messages().size(), 1u);
  EXPECT_EQ(Ui().Messages()[0].prompt, "Error Ejecutando Secuencia");
  EXPECT_EQ(Ui().Messages()[0].style, ui::vbCritical);
  EXPECT_EQ(Ui().Messages()[0].title, "ERROR SECUENCIA");
  const Lineas entradas = EntradasLog();
  ASSERT_EQ(entradas.size(), 1u);
  EXPECT_TRUE(test_support::FormaDeEntrada(entradas[0])) << entradas[0];
  EXPECT_TRUE(entradas[0].ends_with("\r\nFrmProcSecuencia (ExecSec)\r\nP3_emp ENCUES,2005,2005")) << entradas[0];
  EXPECT_EQ(Filas("SELECT Id_FC, Formulario, Periodo, Tipo, Contenido FROM SE_COMM_PROCESO"),
            (Lineas{"1|ENCUES_1|2005|Secuencia|Principal d'ENCUES"}));

  for (const char* vista : {"Procesando ... VT|", "Procesando ... VT|Empresa -> E1", "Procesando ... RATIO|Empresa -> E2",
                            "Procesando ... DIF|"}) {
    EXPECT_NE(std::find(vistas.begin(), vistas.end(), vista), vistas.end()) << vista;
  }
  EXPECT_EQ(ventana_->LblMsg.Caption(), "Proceso Finalizado");
  EXPECT_EQ(ventana_->lblmsg1.Caption(), "");
  EXPECT_EQ(ventana_->UltimoResultado(), Resultado::kConErrores);
  EXPECT_TRUE(ventana_->CmdProcesar2.Enabled());
  // A pause before each of the 3 lines of the main walk and each of the 14 calls.
  EXPECT_EQ(Ui().SleptMilliseconds(), (3 + 14) * 2000);

  // Run again in a program started with no pauses: the same results, replaced, not added.
  pausa_ms_ = 0;
  AbrirAplicacion();
  AbrirVentana();
  const Lineas antes = Resultados();
  Procesar("2005", "2005", id);
  EXPECT_EQ(Resultados(), antes);
  EXPECT_EQ(Ui().SleptMilliseconds(), 0);
  EXPECT_EQ(Filas("SELECT COUNT(*) FROM SE_COMM_PROCESO"), (Lineas{"2"}));
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
  EXPECT_EQ(ventana_->UltimoResultado(), Resultado::kConErrores);
}

TEST_F(Corrida, UnaSecuenciaQueNoSePuedeCorrerSeRechazaAntes) {
  const std::string muestra = Columna("Muestra");
  const L si = {"Si", "F", "1", ">", "N", "5", ""};
  struct Caso {
    std::vector<L> lineas;
    std::string mensaje;
  };
  const std::vector<Caso> casos = {
      {{Formula(1), si, Formula(2)}, "la condicion no se cierra con FSi\r\nRevisar por el Nº de Orden 2"},
      {{si, {"And", "F", "2", "<", "N", "1", ""}, FSi(), Formula(1)}, "la condicion no tiene formulas\r\nRevisar por el Nº de Orden 1"},
      {{si, {"And", "N", "3", ">", "N", "1", ""}, Formula(1), FSi()},
       "la condicion debe comparar una formula (F) o una columna de la muestra (M)\r\nRevisar por el Nº de Orden 2"},
      {{{"Si", "M", muestra, "=>", "N", "1", ""}, Formula(1), FSi()},
       "el operador '=>' no es uno de =, <>, <, >, <=, >=\r\nRevisar por el Nº de Orden 1"},
      {{{"Si", "M", "500", "=", "N", "1", ""}, Formula(1), FSi()}, "el operando izquierdo no es valido\r\nRevisar por el Nº de Orden 1"},
      {{{"Si", "F", "1", "=", "N", "Null", ""}, Formula(1), FSi()}, "el operando derecho no es valido\r\nRevisar por el Nº de Orden 1"},
      {{Formula(1), {"", "F", "Null", "", "", "Null", ""}}, "falta la formula\r\nRevisar por el Nº de Orden 2"},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.mensaje);
    Ui().ClearMessages();
    Procesar("2005", "2005", Guardar("Mal", caso.lineas));
    EXPECT_EQ(Ui().Prompts(), Lineas{"No se puede correr la Secuencia: " + caso.mensaje});
    EXPECT_EQ(ventana_->UltimoResultado(), Resultado::kRechazada);
    EXPECT_TRUE(Llamadas().empty());
  }
  EXPECT_TRUE(Resultados().empty());
  EXPECT_TRUE(Filas("SELECT * FROM SE_COMM_PROCESO").empty());
}

TEST_F(Corrida, UnFalloDeLecturaDetieneLaCorridaYUnoDelPanelSoloSeRegistra) {
  const std::string id = Guardar("Corta", {Formula(1), {"Si", "F", "1", ">", "N", "0", ""}, Formula(2), FSi()});
  const std::string insert = "Insert into SE_COMM_PROCESO (Id_FC, Formulario, Periodo, Fecha, Tipo, Contenido) Values(1, "
                             "'ENCUES_1', 2005, getdate(), 'Secuencia', 'Principal d''ENCUES')";
  struct Caso {
    std::string rotura, contexto;
    Lineas mensajes;
    Resultado resultado;
  };
  // Without the roll P1 fails first (and the run goes on), then the block cannot read its companies.
  const std::vector<Caso> casos = {
      {"DROP TABLE SE_COMM_PROCESO", insert + "\r\nNo se ha registrado en el panel de comando", {}, Resultado::kConErrores},
      {"DROP TABLE SE_MUESTRA_PADRON", "FrmProcSecuencia (S1)",
       {"Error Ejecutando Secuencia", "Error Ejecutando Secuencia"}, Resultado::kInterrumpida},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.rotura);
    Ui().ClearMessages();
    Sql(caso.rotura);
    const size_t antes = EntradasLog().size();
    Procesar("2005", "2005", id);
    EXPECT_EQ(Ui().Prompts(), caso.mensajes);
    const Lineas entradas = EntradasLog();
    ASSERT_EQ(entradas.size(), antes + caso.mensajes.size() + (caso.mensajes.empty() ? 1 : 0));
    EXPECT_TRUE(entradas.back().ends_with("\r\n" + caso.contexto)) << entradas.back();
    EXPECT_EQ(ventana_->UltimoResultado(), caso.resultado);
    EXPECT_EQ(ventana_->LblMsg.Caption(), caso.mensajes.empty() ? "Proceso Finalizado" : "Procesando ... VT");
  }
}

TEST_F(Corrida, LosSelectoresLlenanElFormularioYLaSecuencia) {
  Guardar("Principal", {});
  const auto elegir = [this](const char* nombre, int item) {
    Ui().QueueModal(nombre, [item](ui::Form& form) {
      auto& picker = dynamic_cast<sequences::Selector&>(form);
      if (item >= 0) picker.lstFormularios.UserClick(item);
      (item >= 0 ? picker.CmdAceptar : picker.CmdSalir).UserClick();
    });
  };
  ventana_->CmdSec.UserClick();
  EXPECT_EQ(Ui().Prompts(), Lineas{"Debera primero ingresar el formulario"});
  elegir("FrmBuForm1", 0);
  ventana_->Command1.UserClick();
  elegir("FrmBuSec", 0);
  ventana_->CmdSec.UserClick();
  elegir("FrmBuForm1", -1);
  ventana_->Command1.UserClick();
  elegir("FrmBuSec", -1);
  ventana_->CmdSec.UserClick();
  EXPECT_EQ(ventana_->LblFormulario.Caption() + "|" + ventana_->TxtIdFormulario.Text() + "|" +
                ventana_->lblSec.Caption() + "|" + ventana_->TxtIdSecuencia.Text(),
            "ENCUES_1|1|Principal|1");
  EXPECT_EQ(ventana_->Width(), FrmProcSecuencia::kAncho);
  EXPECT_EQ(ventana_->Height(), FrmProcSecuencia::kAlto);
}

}  // namespace
}  // namespace runner
