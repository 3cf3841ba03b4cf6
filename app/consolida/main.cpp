// The desktop program: reads its command line; a command runs without a window (and without Qt);
// otherwise it sets up the embedded database and the DBF data source the way the machine would,
// then runs Main with a factory that puts the main window on the screen. Holds no logic of its own.
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>

#include "app/consolida/escritorio.h"
#include "app/consolida/linea_de_comandos.h"
#include "app/consolida/ventanas.h"
#include "core/aplicacion.h"
#include "gui/form_view.h"
#include "gui/qt_ui.h"
#include "platform/runtime/files.h"

namespace {

std::optional<std::string> Variable(const char* nombre) {
  const char* valor = std::getenv(nombre);
  if (valor == nullptr) return std::nullopt;
  return std::string(valor);
}

// Qt's own options start with a single "-" (-platform, -style ...); ours with "--".
bool HayOpcionesDeQt(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string argumento = argv[i];
    if (argumento.size() > 1 && argumento[0] == '-' && argumento[1] != '-') return true;
  }
  return false;
}

consolida::Orden Leer(int argc, char** argv) {
  std::vector<std::string> argumentos;
  for (int i = 1; i < argc; ++i) argumentos.emplace_back(argv[i]);
  return consolida::LeerOrden(argumentos, Variable, runtime::ProgramFolder());
}

int Terminar(const consolida::Orden& orden) {
  (orden.codigo_salida == 0 ? std::cout : std::cerr) << orden.mensaje;
  return orden.codigo_salida;
}

}  // namespace

int main(int argc, char** argv) {
  // Read before Qt starts, so the help and the commands work without a display; a line that
  // also carries Qt's own options (-platform ...) is read again once Qt has taken them out.
  consolida::Orden orden = Leer(argc, argv);
  if (orden.accion == consolida::Accion::kTerminar &&
      (orden.codigo_salida == 0 || !HayOpcionesDeQt(argc, argv))) {
    return Terminar(orden);
  }
  if (orden.accion != consolida::Accion::kEscritorio && orden.accion != consolida::Accion::kTerminar) {
    return consolida::EjecutarSinVentana(orden, std::cout, std::cerr);
  }
  QApplication programa(argc, argv);
  if (orden.accion == consolida::Accion::kTerminar) orden = Leer(argc, argv);
  if (orden.accion == consolida::Accion::kTerminar) return Terminar(orden);
  if (orden.accion != consolida::Accion::kEscritorio) {
    return consolida::EjecutarSinVentana(orden, std::cout, std::cerr);
  }

  if (!gui::FormFontIsTheDesignedOne()) {
    std::cerr << "Las ventanas se dibujan con " << gui::FormFont().family().toStdString()
              << ": Liberation Sans no esta instalada (scripts/setup la instala) y algunos textos pueden no entrar\n";
  }
  gui::QtUi ui;
  core::Aplicacion app(orden.configuracion, ui);
  consolida::PrepararMaquina(app);
  RegistrarVentanas(app);

  return consolida::EjecutarEscritorio(app, ui);
}
