// The import commands: each drives its window's controls on the application's Ui and turns the
// window's own count of the outcome into the end line and the exit status.
#include "intake/comandos_importar.h"

#include <fstream>
#include <memory>
#include <vector>

#include "core/aplicacion.h"
#include "intake/frm_muestra.h"
#include "intake/frm_padron.h"
#include "intake/proc_carga_nov.h"
#include "intake/proc_novedades.h"
#include "platform/runtime/text.h"
#include "platform/ui/ui.h"

namespace intake {
namespace {

std::string Contar(long cantidad, const std::string& singular, const std::string& plural) {
  return std::to_string(cantidad) + " " + (cantidad == 1 ? singular : plural);
}

// Opens `form` as the menu does, runs `trabajo` on it and closes it; the end line follows.
template <typename Ventana, typename Trabajo>
int Correr(core::Aplicacion& app, std::ostream& salida, Trabajo trabajo) {
  auto ventana = std::make_unique<Ventana>(app);
  app.Ui().Show(*ventana);
  ResultadoImportacion resultado = trabajo(*ventana);
  app.Ui().Unload(*ventana);
  salida << LineaFinal(resultado) << '\n';
  salida.flush();
  return CodigoSalida(resultado);
}

// The index of the item of `lista` named `nombre` (letter case aside), -1 when there is none.
template <typename Lista>
int Buscar(const Lista& lista, int cantidad, int desde, const std::string& nombre) {
  const std::string buscado = runtime::LCase(nombre);
  for (int i = desde; i < cantidad; ++i) {
    if (runtime::LCase(lista(i)) == buscado) return i;
  }
  return -1;
}

}  // namespace

std::string LineaFinal(const ResultadoImportacion& r) {
  return std::string(CodigoSalida(r) == 0 ? "Fin de la importacion: "
                                          : "Fin de la importacion con errores: ") +
         Contar(r.archivos, "archivo", "archivos") + ", " +
         Contar(r.filas_grabadas, "fila grabada", "filas grabadas") + ", " +
         Contar(r.filas_rechazadas, "fila rechazada", "filas rechazadas");
}

int CodigoSalida(const ResultadoImportacion& r) {
  return r.error || r.filas_rechazadas > 0 ? 1 : 0;
}

int ImportarNovedades(core::Aplicacion& app, const std::string& periodo, std::ostream& salida) {
  return Correr<Proc_Novedades>(app, salida, [&periodo](Proc_Novedades& v) {
    v.TxtPeriodo.UserEdit(periodo);
    v.Proceso.UserClick();
    return v.Resultado();
  });
}

int ImportarPadron(core::Aplicacion& app, const std::string& anio, std::ostream& salida) {
  return Correr<FrmPadron>(app, salida, [&anio](FrmPadron& v) {
    v.TxtPeriodo.UserEdit(anio);
    v.Command1.UserClick();
    return v.Resultado();
  });
}

int ImportarMuestra(core::Aplicacion& app, std::ostream& salida) {
  return Correr<FrmMuestra>(app, salida, [](FrmMuestra& v) {
    v.Command1.UserClick();
    return v.Resultado();
  });
}

int ImportarEstructuras(core::Aplicacion& app, const std::string& descripciones,
                        std::ostream& salida, std::ostream& errores) {
  std::ifstream archivo(descripciones, std::ios::binary);
  if (!archivo) {
    errores << "No se pudo leer el archivo de descripciones " << descripciones << "\n";
    ResultadoImportacion resultado;
    resultado.error = true;
    salida << LineaFinal(resultado) << '\n';
    return CodigoSalida(resultado);
  }
  return Correr<Proc_CargaNov>(app, salida, [&](Proc_CargaNov& v) {
    long rechazadas = 0;
    auto rechazar = [&](int numero, const std::string& motivo) {
      ++rechazadas;
      errores << "Linea " << numero << " de " << descripciones << ": " << motivo << "\n";
    };
    std::string linea;
    int numero = 0;
    while (std::getline(archivo, linea)) {
      ++numero;
      if (numero == 1 && linea.rfind("\xEF\xBB\xBF", 0) == 0) linea.erase(0, 3);
      if (!linea.empty() && linea.back() == '\r') linea.pop_back();
      if (runtime::Trim(linea).empty()) continue;
      const size_t tab1 = linea.find('\t');
      const size_t tab2 = tab1 == std::string::npos ? tab1 : linea.find('\t', tab1 + 1);
      if (tab2 == std::string::npos) {
        rechazar(numero, "se esperaba archivo, campo y descripcion separados por tabuladores");
        continue;
      }
      const std::string nombre = linea.substr(0, tab1);
      const std::string campo = linea.substr(tab1 + 1, tab2 - tab1 - 1);
      const std::string descripcion = linea.substr(tab2 + 1);

      const int item = Buscar([&v](int i) { return v.LstForm.List(i); }, v.LstForm.ListCount(), 0,
                              nombre);
      if (item < 0) {
        rechazar(numero, "el archivo " + nombre + " no esta en el catalogo");
        continue;
      }
      if (v.LstForm.ListIndex() != item || v.TxtIdArc.Text().empty()) v.LstForm.UserDblClick(item);
      const int fila = Buscar([&v](int i) { return v.MFGField.TextMatrix(i, 0); },
                              v.MFGField.Rows(), v.MFGField.FixedRows(), campo);
      if (fila < 0) {
        rechazar(numero, "el archivo " + nombre + " no tiene el campo " + campo + " en el catalogo");
        continue;
      }
      v.MFGField.UserClick(fila, 0);
      v.Command1.UserClick();
      v.txtDesc.UserEdit(descripcion);
      v.cmdActualiza.UserClick();
    }
    ResultadoImportacion resultado = v.Resultado();
    resultado.archivos = 1;
    resultado.filas_rechazadas += rechazadas;
    return resultado;
  });
}

}  // namespace intake
