// The command line, read with CLI11. Its help and its errors are given in Spanish: the labels
// of the help are translated and each kind of parse error gets a sentence of its own.
#include "app/consolida/linea_de_comandos.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <memory>
#include <sstream>

#include "app/consolida/demo.h"
#include "core/configuracion.h"
#include "core/inicio.h"
#include "formulas/comando_generar.h"
#include "intake/comandos_importar.h"
#include "reports/comando_reporte.h"
#include "runner/comando_correr.h"
#include "platform/dbf/data_source.h"
#include "platform/sql/client.h"
#include "platform/ui/console_ui.h"
#include "schema/schema.h"

namespace consolida {
namespace {

// At most two progress lines a second on the console.
constexpr std::chrono::milliseconds kPasoProgreso{500};

// The sentence that says what is wrong with the line; CLI11's own text follows it.
// (CLI11 names some errors after the command, so the kind is told by the type.)
std::string ErrorEnCastellano(const CLI::ParseError& error) {
  std::string frase = "La linea de ordenes no es valida";
  if (dynamic_cast<const CLI::ExtrasError*>(&error)) frase = "Hay argumentos que no corresponden";
  if (dynamic_cast<const CLI::RequiredError*>(&error)) {
    frase = std::string(error.what()).find("subcommand") != std::string::npos
                ? "Falta la orden, o no es una de las que se conocen"
                : "Falta un dato obligatorio";
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) frase = "Falta el valor de una opcion";
  return frase + " (" + error.what() + ")";
}

// A formula id: a whole number from 1 on, written in decimal.
std::optional<int32_t> LeerId(const std::string& texto) {
  int32_t id = 0;
  const auto [fin, error] = std::from_chars(texto.data(), texto.data() + texto.size(), id);
  if (error != std::errc() || fin != texto.data() + texto.size() || id < 1) return std::nullopt;
  return id;
}

// How a command is typed: its path, then its arguments and options ("[...]" when optional).
std::string Uso(const CLI::App& orden) {
  std::string uso = orden.get_parent()->get_name() + " " + orden.get_name();
  for (const CLI::Option* opcion : orden.get_options()) {
    if (opcion == orden.get_help_ptr()) continue;
    std::string parte = opcion->get_positional() ? "<" + opcion->get_name() + ">" : opcion->get_name();
    if (!opcion->get_positional() && !opcion->get_type_name().empty()) {
      parte += " " + opcion->get_type_name();
    }
    uso += " " + (opcion->get_required() ? parte : "[" + parte + "]");
  }
  return uso;
}

// The list of every command, one line each, shown at the end of the program's help (CLI11 would
// list only the first word of each).
std::string ListaDeOrdenes(const CLI::App& cli) {
  std::vector<std::pair<std::string, std::string>> lineas;
  size_t ancho = 0;
  for (const CLI::App* grupo : cli.get_subcommands({})) {
    if (grupo->get_subcommands({}).empty()) {
      // A command of one word ("demo"): its line without the program's name.
      lineas.emplace_back(Uso(*grupo).substr(cli.get_name().size() + 1), grupo->get_description());
      ancho = std::max(ancho, lineas.back().first.size());
    }
    for (const CLI::App* orden : grupo->get_subcommands({})) {
      lineas.emplace_back(Uso(*orden), orden->get_description());
      ancho = std::max(ancho, lineas.back().first.size());
    }
  }
  std::string lista = "Ordenes:\n";
  for (const auto& [uso, descripcion] : lineas) {
    lista += "  " + uso + std::string(ancho + 2 - uso.size(), ' ') + descripcion + "\n";
  }
  return lista;
}

// A group of commands under one word ("formula", "importar"): listed by ListaDeOrdenes instead.
CLI::App* Grupo(CLI::App& cli, const std::string& nombre, const std::string& descripcion) {
  CLI::App* grupo = cli.add_subcommand(nombre, descripcion);
  grupo->group("");
  grupo->require_subcommand(1);
  grupo->fallthrough();
  grupo->set_help_flag("-h,--help", "Muestra esta ayuda y termina")->group("Opciones");
  return grupo;
}

CLI::App* Subcomando(CLI::App& grupo, const std::string& nombre, const std::string& descripcion) {
  CLI::App* orden = grupo.add_subcommand(nombre, descripcion);
  orden->group("Ordenes");
  orden->fallthrough();
  orden->set_help_flag("-h,--help", "Muestra esta ayuda y termina")->group("Opciones");
  return orden;
}

void Castellano(CLI::App& cli) {
  auto formato = std::make_shared<CLI::Formatter>();
  formato->label("Usage", "Uso");
  formato->label("OPTIONS", "OPCIONES");
  formato->label("SUBCOMMAND", "ORDEN");
  formato->label("SUBCOMMANDS", "ORDENES");
  formato->label("Positionals", "Argumentos");
  formato->label("REQUIRED", "OBLIGATORIO");
  formato->label("TEXT", "TEXTO");
  formato->label("INT", "NUMERO");
  formato->column_width(28);
  cli.formatter(formato);
}

}  // namespace

Orden LeerOrden(const std::vector<std::string>& argumentos,
                const std::function<std::optional<std::string>(const char*)>& entorno,
                const std::string& carpeta_programa) {
  CLI::App cli("Consolida: de las encuestas a los indicadores. Sin orden abre el programa de "
               "escritorio.",
               "consolida");
  Castellano(cli);
  cli.option_defaults()->group("Opciones");
  cli.set_help_flag("-h,--help", "Muestra esta ayuda y termina")->group("Opciones");
  cli.fallthrough();

  std::string carpeta;
  std::string host;
  CLI::Option* opcion_carpeta =
      cli.add_option("--app-folder", carpeta,
                     "Carpeta de la aplicacion (Log, Datos, Procesados, NoProcesados, Reporte); si "
                     "no, " + std::string(core::kVariableCarpeta) + ", si no, la carpeta del programa")
          ->type_name("<carpeta>")
          ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  CLI::Option* opcion_host =
      cli.add_option("--host", host,
                     "Data Source de la conexion SQL; si no, " + std::string(core::kVariableHost) +
                         ", si no, la base incorporada Consolida.db en la carpeta de la aplicacion")
          ->type_name("<servidor>")
          ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  std::string pausa;
  CLI::Option* opcion_pausa =
      cli.add_option("--pausa-ms", pausa,
                     "Milisegundos de cada pausa fija del programa (entre los pasos de una secuencia, "
                     "entre las filas del reporte), 0 sin pausas; si no, " +
                         std::string(core::kVariablePausa) + ", si no, las de cada proceso (2000 y 50)")
          ->type_name("<ms>")
          ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

  Orden orden;
  orden.accion = Accion::kEscritorio;
  CLI::App* formula = Grupo(cli, "formula", "Formulas sin ventana");
  CLI::App* generar = Subcomando(
      *formula, "generar",
      "Genera los procedimientos de una formula guardada, como al grabarla en el editor");
  std::string id;
  generar->add_option("id", id, "Id_FormCab de la formula")->required()->type_name("")->group("Argumentos");
  generar->add_flag("--texto", orden.texto,
                    "No crea nada: escribe las ordenes que enviaria, cada una seguida de GO");
  generar->callback([&orden] { orden.accion = Accion::kFormulaGenerar; });

  CLI::App* importar = Grupo(cli, "importar", "Importaciones sin ventana");
  CLI::App* estructuras = Subcomando(
      *importar, "estructuras",
      "Da descripciones a los campos del catalogo, como Carga de Novedades; cada linea del archivo: "
      "archivo, campo y descripcion separados por tabuladores");
  estructuras->add_option("--descripciones", orden.descripciones, "Archivo de texto con las descripciones")
      ->required()
      ->type_name("<archivo>");
  estructuras->callback([&orden] { orden.accion = Accion::kImportarEstructuras; });
  CLI::App* novedades = Subcomando(*importar, "novedades",
                              "Importa los archivos de encuesta (*.dbf) de Datos para el periodo, "
                              "como Procesar Novedades");
  novedades->add_option("--periodo", orden.periodo, "Periodo de los datos (cuatro cifras, desde 1990)")
      ->required()
      ->type_name("<P>");
  novedades->callback([&orden] { orden.accion = Accion::kImportarNovedades; });
  CLI::App* padron = Subcomando(*importar, "padron",
                           "Importa Datos/Padron.dbf para el año y el anterior, como Procesa Padron");
  padron->add_option("--anio", orden.periodo, "Año del padron (cuatro cifras, desde 1990)")
      ->required()
      ->type_name("<A>");
  padron->callback([&orden] { orden.accion = Accion::kImportarPadron; });
  CLI::App* muestra = Subcomando(*importar, "muestra",
                            "Importa Datos/Muestras.xls, como Procesa Muestra (cada fila lleva su "
                            "periodo)");
  muestra->callback([&orden] { orden.accion = Accion::kImportarMuestra; });

  CLI::App* secuencia = Grupo(cli, "secuencia", "Secuencias sin ventana");
  CLI::App* correr = Subcomando(*secuencia, "correr",
                                "Corre una secuencia guardada para un formulario, un periodo y un año, "
                                "como \"Procesar\" en Correr Secuencia");
  correr->add_option("--formulario", orden.formulario, "Arc_Nombre del formulario (ENCUES_1)")
      ->required()->type_name("<nombre>");
  correr->add_option("--secuencia", orden.secuencia, "SC_NOMBRE de una secuencia del formulario")
      ->required()->type_name("<nombre>");
  correr->add_option("--periodo", orden.periodo, "Periodo (cuatro cifras)")->required()->type_name("<P>");
  correr->add_option("--anio", orden.anio, "Año: el periodo o el anterior")->required()->type_name("<A>");
  correr->callback([&orden] { orden.accion = Accion::kSecuenciaCorrer; });

  CLI::App* reporte = Grupo(cli, "reporte", "Reportes sin ventana: la planilla en Reporte");
  std::vector<std::string> campos;
  CLI::App* resultados = Subcomando(
      *reporte, "resultados", "Reporte de resultados de un formulario y un periodo, como \"Generar\" en Reporte / Estimacion");
  resultados->add_option("--formulario", orden.formulario, "Arc_Nombre del formulario (ENCUES_1)")
      ->required()->type_name("<F>");
  resultados->add_option("--periodo", orden.periodo, "Periodo (cuatro cifras)")->required()->type_name("<P>");
  resultados->add_option("--titulo", orden.titulo, "Titulo de la planilla")->required()->type_name("<T>");
  resultados->add_flag("--anio-anterior", orden.anio_anterior, "Agrega los resultados del año anterior (X_1)");
  CLI::Option* opcion_campos =
      resultados->add_option("--campos", campos, "Columnas a mostrar, en orden; si no, todas")
          ->delimiter(',')
          ->type_name("<A,B,...>");
  resultados->callback([&orden] { orden.accion = Accion::kReporteResultados; });
  CLI::App* formulas = Subcomando(
      *reporte, "formulas", "Planilla de las formulas de un formulario, como \"Imprimir\" en Reporte / Formulas");
  formulas->add_option("--formulario", orden.formulario, "Codigo del formulario (seis caracteres: ENCUES)")
      ->required()->type_name("<codigo>");
  formulas->callback([&orden] { orden.accion = Accion::kReporteFormulas; });
  CLI::App* listado = Subcomando(
      *reporte, "secuencia", "Planilla de las lineas de una secuencia, como \"Imprimir\" en Reporte / Secuencia");
  listado->add_option("--secuencia", orden.secuencia, "SC_NOMBRE de la secuencia")->required()->type_name("<S>");
  listado->callback([&orden] { orden.accion = Accion::kReporteSecuencia; });

  CLI::App* demo = cli.add_subcommand(
      "demo", "Escribe una carpeta de ejemplo y la lleva por todo el sistema: importaciones, formulas, "
              "secuencia, corrida y reportes, sin pausas");
  demo->group("");
  demo->fallthrough();
  demo->set_help_flag("-h,--help", "Muestra esta ayuda y termina")->group("Opciones");
  demo->add_option("--carpeta", orden.carpeta_demo,
                   "Carpeta de la aplicacion de ejemplo; si no, una nueva en la carpeta temporal")
      ->type_name("<carpeta>");
  std::string empresas;
  demo->add_option("--empresas", empresas, "Cantidad de empresas (200 si no se indica)")->type_name("<N>");
  demo->callback([&orden] { orden.accion = Accion::kDemo; });

  // Set last: a command copies its parent's footer when it is made.
  cli.footer(ListaDeOrdenes(cli));

  std::vector<std::string> invertidos(argumentos.rbegin(), argumentos.rend());
  try {
    cli.parse(invertidos);
  } catch (const CLI::ParseError& error) {
    Orden fin;
    // The help shows the command the line names, with its whole path.
    if (error.get_exit_code() == 0) {
      fin.mensaje = cli.help();
      return fin;
    }
    fin.mensaje = ErrorEnCastellano(error) + "\n\n" + cli.help();
    fin.codigo_salida = 2;
    return fin;
  }

  if (orden.accion == Accion::kFormulaGenerar) {
    const std::optional<int32_t> numero = LeerId(id);
    if (!numero) {
      Orden fin;
      fin.mensaje = "El id de la formula debe ser un numero entero mayor que 0: " + id + "\n\n" + cli.help();
      fin.codigo_salida = 2;
      return fin;
    }
    orden.formula = *numero;
  }
  // The window's boxes hold four characters: a longer value would be cut, not refused.
  if (orden.accion == Accion::kReporteResultados) {
    if (opcion_campos->count()) orden.campos = campos;
    if (orden.periodo.size() > 4) {
      Orden fin;
      fin.mensaje = "El periodo tiene a lo sumo cuatro caracteres: " + orden.periodo + "\n\n" + cli.help();
      fin.codigo_salida = 2;
      return fin;
    }
  }
  if (orden.accion == Accion::kDemo && !empresas.empty()) {
    const std::optional<int32_t> numero = LeerId(empresas);
    if (!numero) {
      Orden fin;
      fin.mensaje = "La cantidad de empresas debe ser un numero entero mayor que 0: " + empresas + "\n\n" + cli.help();
      fin.codigo_salida = 2;
      return fin;
    }
    orden.empresas = *numero;
  }
  if (orden.accion == Accion::kSecuenciaCorrer && (orden.periodo.size() > 4 || orden.anio.size() > 4)) {
    Orden fin;
    fin.mensaje = "El periodo y el año tienen a lo sumo cuatro caracteres: " +
                  (orden.periodo.size() > 4 ? orden.periodo : orden.anio) + "\n\n" + cli.help();
    fin.codigo_salida = 2;
    return fin;
  }

  const core::LecturaOpciones lectura = core::ResolverConfiguracion(
      opcion_carpeta->count() ? std::optional<std::string>(carpeta) : std::nullopt,
      opcion_host->count() ? std::optional<std::string>(host) : std::nullopt, entorno,
      carpeta_programa, opcion_pausa->count() ? std::optional<std::string>(pausa) : std::nullopt);
  if (!lectura.configuracion) {
    Orden fin;
    fin.mensaje = lectura.mensaje + "\n" + cli.help();
    fin.codigo_salida = lectura.codigo_salida;
    return fin;
  }
  orden.configuracion = *lectura.configuracion;
  return orden;
}

void PrepararMaquina(const core::Aplicacion& app) {
  sql::ConfigureEmbedded({app.Ruta("Consolida.db"), schema::CreationBatches()});
  dbf::RegisterProvider();
  dbf::DefineDataSource("DBFFOXNOV", app.Ruta("Datos"));
}

int EjecutarSinVentana(const Orden& orden, std::ostream& salida, std::ostream& errores) {
  if (orden.accion == Accion::kDemo) return EjecutarDemo({orden.carpeta_demo, orden.empresas}, salida, errores);
  ui::ConsoleUi consola(&errores);
  consola.EchoProgress(kPasoProgreso);
  core::Aplicacion app(orden.configuracion, consola);
  PrepararMaquina(app);
  if (!core::IniciarSinVentana(app)) {
    errores << "No se pudo iniciar en " << app.Carpeta();
    if (app.NroArchivoErr != 0) errores << ": vea el registro de errores " << app.ArchivoErr;
    errores << "\n";
    if (app.NroArchivoErr != 0) core::TerminarSinVentana(app);
    return 1;
  }
  int codigo = 1;
  switch (orden.accion) {
    case Accion::kFormulaGenerar:
      codigo = formulas::FormulaGenerar(app, orden.formula, orden.texto, salida, errores);
      break;
    case Accion::kImportarEstructuras:
      codigo = intake::ImportarEstructuras(app, orden.descripciones, salida, errores);
      break;
    case Accion::kImportarNovedades:
      codigo = intake::ImportarNovedades(app, orden.periodo, salida);
      break;
    case Accion::kImportarPadron:
      codigo = intake::ImportarPadron(app, orden.periodo, salida);
      break;
    case Accion::kImportarMuestra:
      codigo = intake::ImportarMuestra(app, salida);
      break;
    case Accion::kSecuenciaCorrer:
      codigo = runner::SecuenciaCorrer(app, orden.formulario, orden.secuencia, orden.periodo, orden.anio,
                                       salida, errores);
      break;
    case Accion::kReporteResultados:
      codigo = reports::ReporteResultados(
          app, {orden.formulario, orden.periodo, orden.titulo, orden.anio_anterior, orden.campos}, salida, errores);
      break;
    case Accion::kReporteFormulas:
      codigo = reports::ReporteFormulas(app, orden.formulario, salida, errores);
      break;
    case Accion::kReporteSecuencia:
      codigo = reports::ReporteSecuencia(app, orden.secuencia, salida, errores);
      break;
    case Accion::kEscritorio:
    case Accion::kTerminar:
    case Accion::kDemo:
      break;
  }
  core::TerminarSinVentana(app);
  return codigo;
}

}  // namespace consolida
