// The demo: data written with the DBF and workbook writers, then each step through the command
// functions (imports, run, reports) and the editors' controls (formulas, sequence). The editors'
// dialogs are answered by DemoUi, a script that picks what each step needs.
#include "app/consolida/demo.h"

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <stdexcept>
#include <sstream>

#include "app/consolida/linea_de_comandos.h"
#include "core/aplicacion.h"
#include "core/inicio.h"
#include "formulas/frm_b_formulario.h"
#include "formulas/frm_formulas.h"
#include "formulas/frm_pre_formula.h"
#include "formulas/frm_sub_formula.h"
#include "formulas/ventanas.h"
#include "intake/comandos_importar.h"
#include "intake/frm_muestra.h"
#include "intake/frm_padron.h"
#include "platform/dbf/dbf_writer.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/dates.h"
#include "platform/sheet/xls_writer.h"
#include "platform/sql/client.h"
#include "platform/ui/scripted_ui.h"
#include "reports/comando_reporte.h"
#include "runner/comando_correr.h"
#include "sequences/frm_sec_valor.h"
#include "sequences/frm_secuenciador.h"
#include "sequences/selectores.h"
#include "sequences/ventanas.h"

namespace consolida {

const std::vector<std::string> kCamposDemo = {
    "VENTAS",  "COSTOS",  "EMPLEO",   "SALARIOS", "INSUMOS", "ENERGIA",  "ALQUILER",
    "IMPUESTO", "INVERSION", "EXPORTA", "IMPORTA", "STOCKINI", "STOCKFIN", "HORAS",
    "OBREROS", "ADMINIS", "PUBLICID", "FLETES",   "SEGUROS", "OTROS"};

const std::vector<std::string> kDescripcionesDemo = {
    "Ventas del periodo", "Costo de lo vendido", "Personal ocupado", "Salarios pagados",
    "Compras de insumos", "Gasto en energia", "Alquileres pagados", "Impuestos pagados",
    "Inversion en bienes de uso", "Exportaciones", "Importaciones", "Existencias al inicio",
    "Existencias al cierre", "Horas trabajadas", "Obreros ocupados", "Personal administrativo",
    "Gasto en publicidad", "Fletes pagados", "Seguros pagados", "Otros gastos"};

std::string UnicoDemo(int empresa) { return std::to_string(30500000000L + empresa); }

long ValorDemo(int empresa, int campo, int anio) {
  const long base = 1000L * (campo + 1) + 37L * empresa;
  return anio == 2005 ? base + 11L * (empresa % 9) + campo : base;
}

int EstadoDemo(int empresa) { return empresa % 4; }
int MuesDemo(int empresa) { return 1 + empresa % 3; }

namespace {

using Reloj = std::chrono::steady_clock;

// The scripted Ui of the demo: the dialogs follow the queued scripts, message boxes take their
// default button and are shown on `errores`, the clock is the machine's.
class DemoUi : public ui::ScriptedUi {
 public:
  explicit DemoUi(std::ostream& errores) : errores_(errores) {}
  int MsgBox(const std::string& prompt, int style, const std::string& title) override {
    errores_ << "  [mensaje] " << prompt << "\n";
    return ui::ScriptedUi::MsgBox(prompt, style, title);
  }
  runtime::DateSerial Now() override { return runtime::NowLocal(); }

 private:
  std::ostream& errores_;
};

template <typename Lista>
int Indice(const Lista& lista, const std::string& texto, bool prefijo = false) {
  for (int i = 0; i < lista.ListCount(); ++i) {
    if (prefijo ? lista.List(i).starts_with(texto) : lista.List(i) == texto) return i;
  }
  throw std::runtime_error("no hay \"" + texto + "\" en " + lista.Name());
}

std::string Texto(long numero) { return std::to_string(numero); }

// The formula editor driven as a user does. Actions: "C:X" a field, "M:X" a sample column,
// "+", "-", "*", "/", "A-1" (previous year), "F:Boton:C:X" a function of field X.
class EditorFormulas {
 public:
  EditorFormulas(core::Aplicacion& app, DemoUi& ui)
      : ui_(ui), e_(formulas::VentanaRegistrada<formulas::FrmFormulas>(app, "FrmFormulas")) {
    ui_.Show(e_);
  }
  ~EditorFormulas() { ui_.Unload(e_); }

  void Crear(const std::string& nombre, const std::string& variable, bool total,
             const std::vector<std::string>& acciones) {
    e_.cmdCancelar.UserClick();
    e_.CmdCrear.UserClick();
    e_.txtNombre.UserEdit(nombre);
    e_.txtResulVar.UserEdit(variable);
    if (total) e_.OpcTipo[1].UserClick();
    ui_.QueueModal("FrmBFormulario", [](ui::Form& form) {
      auto& picker = dynamic_cast<formulas::FrmBFormulario&>(form);
      const int i = Indice(picker.lstFormularios, "ENCUES_1");
      if (!picker.lstFormularios.Selected(i)) picker.lstFormularios.UserClick(i);
      picker.CmdAceptar.UserClick();
    });
    e_.CmdAddForm.UserClick();
    e_.CmdFormula.UserClick();
    const std::map<std::string, ui::CommandButton*> botones = {
        {"+", &e_.CmdMas}, {"-", &e_.CmdMenos}, {"*", &e_.CmdMult}, {"/", &e_.CmdDiv}, {"A-1", &e_.CmdAAnt}};
    for (const std::string& accion : acciones) {
      const std::string valor = accion.size() > 2 ? accion.substr(2) : "";
      if (accion.starts_with("C:")) {
        e_.LstCampos.UserDblClick(Indice(e_.LstCampos, valor));
      } else if (accion.starts_with("M:")) {
        e_.LstMuestra.UserClick(Indice(e_.LstMuestra, valor));
      } else if (accion.starts_with("F:")) {
        const size_t fin = valor.find(':');
        const std::string campo = valor.substr(fin + 3);
        ui_.QueueModal("FrmPreFormula", [this, campo](ui::Form& form) {
          auto& dialogo = dynamic_cast<formulas::FrmPreFormula&>(form);
          ui_.QueueModal("FrmSubFormula", [campo](ui::Form& f) {
            auto& picker = dynamic_cast<formulas::FrmSubFormula&>(f);
            picker.LstCampos.UserClick(Indice(picker.LstCampos, campo));
            picker.CmdAceptar.UserClick();
          });
          dialogo.CmdFormula.UserClick();
          dialogo.Command1.UserClick();
        });
        auto* boton = dynamic_cast<ui::CommandButton*>(e_.FindControl(valor.substr(0, fin)));
        if (boton == nullptr) throw std::runtime_error("no hay boton " + valor.substr(0, fin));
        boton->UserClick();
      } else {
        botones.at(accion)->UserClick();
      }
    }
    const size_t mensajes = ui_.Messages().size();
    e_.CmdGenerar.UserClick();
    bool grabada = false;
    for (size_t i = mensajes; i < ui_.Messages().size(); ++i) {
      grabada = grabada || ui_.Messages()[i].prompt == "Se ha Grabado con Exito";
    }
    if (!grabada) throw std::runtime_error("el editor no grabo la formula " + variable);
  }

 private:
  DemoUi& ui_;
  formulas::FrmFormulas& e_;
};

// The sequence editor: "F:X" a formula line, "Si X > 0" / "And M:Estado > 0" condition lines
// (a number typed on the keypad, a formula picked, or a roll column), "FSi".
class EditorSecuencias {
 public:
  EditorSecuencias(core::Aplicacion& app, DemoUi& ui)
      : ui_(ui), e_(formulas::VentanaRegistrada<sequences::FrmSecuenciador>(app, "FrmSecuenciador")) {
    ui_.Show(e_);
  }
  ~EditorSecuencias() { ui_.Unload(e_); }

  void Crear(const std::string& nombre, const std::vector<std::string>& lineas) {
    e_.CmdCrear.UserClick();
    e_.txtSecuencia.UserEdit(nombre);
    Elegir("FrmBuForm", "ENCUES_1");
    e_.CmdAddForm.UserClick();
    e_.CmdSecuencia.UserClick();
    for (const std::string& linea : lineas) Linea(linea);
    const size_t mensajes = ui_.Messages().size();
    e_.cmdGenerar.UserClick();
    for (size_t i = mensajes; i < ui_.Messages().size(); ++i) {
      if (ui_.Messages()[i].prompt == "La Secuencia se Generó con Exito") return;
    }
    throw std::runtime_error("el editor no grabo la secuencia " + nombre);
  }

 private:
  void Elegir(const std::string& dialogo, const std::string& item) {
    ui_.QueueModal(dialogo, [item](ui::Form& form) {
      auto& picker = dynamic_cast<sequences::Selector&>(form);
      picker.lstFormularios.UserClick(Indice(picker.lstFormularios, item, true));
      picker.CmdAceptar.UserClick();
    });
  }

  void Operando(const std::string& v, int ranura) {
    const bool muestra = v.starts_with("M:");
    const bool numero = !muestra && (std::isdigit(static_cast<unsigned char>(v[0])) || v[0] == '.');
    if (muestra) {
      Elegir("FrmBMuestra", v.substr(2));
    } else {
      ui_.QueueModal("FrmSecValor", [v](ui::Form& form) {
        auto& d = dynamic_cast<sequences::FrmSecValor&>(form);
        if (d.FmConstante.Visible()) {
          for (char c : v) (c == '.' ? d.CmdComa : d.cmdConstantes[c - '0']).UserClick();
        } else {
          d.LstVariable.UserClick(Indice(d.LstVariable, v + " (", true));
        }
        d.Command1.UserClick();
      });
    }
    (muestra ? e_.CmdMuestra : (numero ? e_.Command1 : e_.Command2)[ranura]).UserClick();
  }

  void Linea(const std::string& linea) {
    e_.OptValor.UserClick();
    if (linea.starts_with("F:")) {
      Operando(linea.substr(2), 0);
      e_.Command3.UserClick();
      return;
    }
    std::string palabra, izquierdo, operador, derecho;
    std::istringstream(linea) >> palabra >> izquierdo >> operador >> derecho;
    e_.OptCondicion.UserClick();
    e_.CbxCond.UserSelect(Indice(e_.CbxCond, palabra, true));
    if (!izquierdo.empty()) Operando(izquierdo, 1);
    if (!operador.empty()) e_.CbxOper.UserSelect(Indice(e_.CbxOper, operador));
    if (!derecho.empty()) Operando(derecho, 2);
    e_.Command8.UserClick();
  }

  DemoUi& ui_;
  sequences::FrmSecuenciador& e_;
};

std::filesystem::path CarpetaNueva() {
  std::string plantilla = (std::filesystem::temp_directory_path() / "consolida-demo-XXXXXX").string();
  if (mkdtemp(plantilla.data()) == nullptr) throw std::runtime_error("no se pudo crear una carpeta temporal");
  return plantilla;
}

std::vector<std::string> Filas(core::Aplicacion& app, const std::string& consulta) {
  sql::Recordset rs;
  rs.Open(consulta, app.CnSql);
  std::vector<std::string> filas;
  for (; !rs.Eof(); rs.MoveNext()) {
    std::string fila;
    for (int i = 0; i < rs.Fields().Count(); ++i) {
      const runtime::Valor valor = rs(i).Value();
      fila += (i ? " | " : "") + (valor.IsNull() ? std::string("Null") : runtime::CStr(valor));
    }
    filas.push_back(fila);
  }
  rs.Close();
  return filas;
}

}  // namespace

void EscribirEncuestaDemo(const std::filesystem::path& datos, int empresas, int anio) {
  dbf::DbfTable tabla;
  tabla.fields.push_back({"UNICO", 'C', 11});
  for (const std::string& campo : kCamposDemo) tabla.fields.push_back({campo, 'N', 12, 2});
  for (int i = 1; i <= empresas; ++i) {
    dbf::DbfRecord registro;
    registro.values.push_back(UnicoDemo(i));
    for (size_t c = 0; c < kCamposDemo.size(); ++c) registro.values.push_back(Texto(ValorDemo(i, static_cast<int>(c), anio)));
    tabla.records.push_back(std::move(registro));
  }
  dbf::WriteDbf((datos / "ENCUES_1.dbf").string(), tabla);
}

void EscribirPadronDemo(const std::filesystem::path& datos, int empresas) {
  dbf::DbfTable tabla;
  tabla.fields = intake::CamposPadron();
  for (int i = 1; i <= empresas; ++i) {
    tabla.records.push_back({{UnicoDemo(i), UnicoDemo(i), "Empresa " + Texto(i), "ENCU", "ES", "Activa",
                              "Activa", Texto(EstadoDemo(i)), "1", "", "", Texto(1 + i % 50), Texto(1 + i % 50), "ES",
                              "1", "", "", "1.00", "", "", "N", "", "1.00", "20051231", ""}});
  }
  dbf::WriteDbf((datos / "Padron.dbf").string(), tabla);
}

void EscribirMuestrasDemo(const std::filesystem::path& datos, int empresas) {
  sheet::Workbook libro;
  for (size_t c = 0; c < intake::kColumnasMuestra.size(); ++c) libro.SetText(1, c + 1, intake::kColumnasMuestra[c]);
  for (int i = 1; i <= empresas; ++i) {
    const double cuit = static_cast<double>(30500000000L + i);
    const std::vector<double> numeros = {2005, 1, 1, 1, static_cast<double>(MuesDemo(i)), 0, 0, 1};
    libro.SetNumber(i + 1, 1, cuit);
    libro.SetText(i + 1, 2, UnicoDemo(i));
    libro.SetText(i + 1, 3, "ENCUES");
    for (size_t c = 0; c < numeros.size(); ++c) libro.SetNumber(i + 1, static_cast<int>(c) + 4, numeros[c]);
  }
  libro.Save((datos / "Muestras.xls").string());
}

int EjecutarDemo(const OpcionesDemo& opciones, std::ostream& salida, std::ostream& errores) {
  std::filesystem::path carpeta;
  try {
    carpeta = opciones.carpeta.empty() ? CarpetaNueva() : std::filesystem::path(opciones.carpeta);
    std::filesystem::create_directories(carpeta);
  } catch (const std::exception& error) {
    errores << "No se pudo crear la carpeta de la demo: " << error.what() << "\n";
    return 1;
  }
  const int n = opciones.empresas;
  salida << "Demo de Consolida en " << carpeta.string() << " con " << n << " empresas\n";
  DemoUi consola(errores);
  core::Configuracion configuracion;
  configuracion.carpeta_aplicacion = carpeta.string();
  configuracion.pausa_ms = 0;
  core::Aplicacion app(configuracion, consola);
  PrepararMaquina(app);
  if (!core::IniciarSinVentana(app)) {
    errores << "No se pudo iniciar en " << carpeta.string() << "\n";
    if (app.NroArchivoErr != 0) core::TerminarSinVentana(app);
    return 1;
  }
  const std::filesystem::path datos = carpeta / "Datos";
  const Reloj::time_point inicio_demo = Reloj::now();
  int codigo = 0;
  auto paso = [&](const std::string& nombre, const std::function<int()>& trabajo) {
    if (codigo != 0) return;
    salida << "== " << nombre << "\n";
    salida.flush();
    const Reloj::time_point inicio = Reloj::now();
    try {
      codigo = trabajo();
    } catch (const std::exception& error) {
      errores << "Fallo: " << error.what() << "\n";
      codigo = 1;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Reloj::now() - inicio).count();
    salida << "   " << (codigo == 0 ? "hecho" : "FALLO") << " en " << ms << " ms\n";
  };
  auto contar = [&](const std::string& tabla) {
    const std::vector<std::string> filas = Filas(app, "SELECT COUNT(*) FROM " + tabla);
    salida << "   " << tabla << ": " << (filas.empty() ? "0" : filas[0]) << " filas\n";
  };

  // The survey import takes every DBF file in Datos: the roll is written after it.
  paso("Datos: ENCUES_1.dbf (2004)", [&] {
    EscribirEncuestaDemo(datos, n, 2004);
    salida << "   " << n << " empresas x " << kCamposDemo.size() << " campos\n";
    return 0;
  });
  paso("importar novedades --periodo 2004", [&] { return intake::ImportarNovedades(app, "2004", salida); });
  paso("Datos: ENCUES_1.dbf (2005)", [&] {
    EscribirEncuestaDemo(datos, n, 2005);
    return 0;
  });
  paso("importar novedades --periodo 2005", [&] {
    const int c = intake::ImportarNovedades(app, "2005", salida);
    contar("SE_ARCHIVOS");
    contar("SE_ESTRUCTURAS");
    contar("SE_NOVEDAD");
    return c;
  });
  paso("importar estructuras --descripciones descripciones.txt", [&] {
    const std::filesystem::path archivo = carpeta / "descripciones.txt";
    {
      std::ofstream texto(archivo, std::ios::binary);
      for (size_t c = 0; c < kCamposDemo.size(); ++c) {
        texto << "ENCUES_1\t" << kCamposDemo[c] << "\t" << kDescripcionesDemo[c] << "\n";
      }
    }
    return intake::ImportarEstructuras(app, archivo.string(), salida, errores);
  });
  paso("Datos: Padron.dbf, Muestras.xls", [&] {
    EscribirPadronDemo(datos, n);
    EscribirMuestrasDemo(datos, n);
    return 0;
  });
  paso("importar padron --anio 2005", [&] { return intake::ImportarPadron(app, "2005", salida); });
  paso("importar muestra", [&] {
    const int c = intake::ImportarMuestra(app, salida);
    contar("SE_MUESTRA_PADRON");
    return c;
  });
  formulas::RegistrarVentanas(app);
  sequences::RegistrarVentanas(app);
  paso("Formulas: DIFCV, TOTVEN, MEDCOS, VENMUES", [&] {
    EditorFormulas editor(app, consola);
    editor.Crear("Costos sobre ventas anteriores", "DIFCV", false, {"C:COSTOS", "-", "C:VENTAS", "A-1"});
    editor.Crear("Total de ventas", "TOTVEN", true, {"F:CmdSum:C:VENTAS"});
    editor.Crear("Mediana de costos", "MEDCOS", true, {"F:CmdMediana:C:COSTOS"});
    editor.Crear("Ventas por muestra", "VENMUES", false, {"C:VENTAS", "*", "M:Mues"});
    for (const std::string& fila : Filas(app, "SELECT Id_FormCab, FC_NomVar, FC_Formula FROM SE_CABFORMULA ORDER BY Id_FormCab")) {
      salida << "   " << fila << "\n";
    }
    return 0;
  });
  paso("Secuencia DEMO", [&] {
    EditorSecuencias editor(app, consola);
    editor.Crear("DEMO", {"F:DIFCV", "F:TOTVEN", "F:MEDCOS", "Si DIFCV > 1001", "And M:Estado > 0", "F:VENMUES", "FSi"});
    contar("SE_SECUENCIA");
    return 0;
  });
  paso("secuencia correr --formulario ENCUES_1 --secuencia DEMO --periodo 2005 --anio 2005", [&] {
    const int c = runner::SecuenciaCorrer(app, "ENCUES_1", "DEMO", "2005", "2005", salida, errores);
    contar("SE_RESULTADO");
    return c;
  });
  paso("reporte resultados --formulario ENCUES_1 --periodo 2005", [&] {
    return reports::ReporteResultados(app, {"ENCUES_1", "2005", "Demo", false, std::nullopt}, salida, errores);
  });
  paso("reporte formulas --formulario ENCUES", [&] { return reports::ReporteFormulas(app, "ENCUES", salida, errores); });
  paso("reporte secuencia --secuencia DEMO", [&] { return reports::ReporteSecuencia(app, "DEMO", salida, errores); });
  if (codigo == 0) {
    salida << "== Registro de procesos (SE_COMM_PROCESO)\n";
    for (const std::string& fila : Filas(app, "SELECT * FROM SE_COMM_PROCESO")) salida << "   " << fila << "\n";
  }
  const auto total = std::chrono::duration_cast<std::chrono::milliseconds>(Reloj::now() - inicio_demo).count();
  salida << (codigo == 0 ? "Demo terminada" : "Demo interrumpida") << " en " << total << " ms; carpeta "
         << carpeta.string() << "\n";
  core::TerminarSinVentana(app);
  return codigo;
}

}  // namespace consolida
