// The headless run of a stored sequence: the names looked up, the window's boxes filled, its
// button pressed, its progress labels echoed a few times a second.
#include "runner/comando_correr.h"

#include <utility>
#include <vector>

#include "core/aplicacion.h"
#include "core/nombrados.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"
#include "platform/runtime/vb_error.h"
#include "runner/frm_proc_secuencia.h"

namespace runner {
namespace {

// Writes the two progress labels as one line when they change, at most once per interval.
class Eco {
 public:
  Eco(FrmProcSecuencia& ventana, std::ostream& salida) : ventana_(ventana), salida_(salida) {
    for (ui::Label* etiqueta : {&ventana_.LblMsg, &ventana_.lblmsg1}) {
      observados_.emplace_back(etiqueta, etiqueta->Observe([this](const ui::ControlChange& cambio) {
        if (cambio.what == ui::ControlChange::kText) Cambio();
      }));
    }
  }
  ~Eco() {
    for (auto& [etiqueta, id] : observados_) etiqueta->Forget(id);
  }
  Eco(const Eco&) = delete;
  Eco& operator=(const Eco&) = delete;
  // The last state, when it was not written yet.
  void Terminar() {
    if (Linea() != escrita_) Escribir();
  }

 private:
  std::string Linea() const {
    const std::string& empresa = ventana_.lblmsg1.Caption();
    return ventana_.LblMsg.Caption() + (empresa.empty() ? "" : " | " + empresa);
  }
  void Cambio() {
    if (escrito_ && std::chrono::steady_clock::now() - ultimo_ < kIntervaloProgreso) return;
    Escribir();
  }
  void Escribir() {
    escrita_ = Linea();
    if (escrita_.empty()) return;
    salida_ << escrita_ << '\n';
    salida_.flush();
    escrito_ = true;
    ultimo_ = std::chrono::steady_clock::now();
  }

  FrmProcSecuencia& ventana_;
  std::ostream& salida_;
  std::vector<std::pair<ui::Label*, int>> observados_;
  bool escrito_ = false;
  std::string escrita_;
  std::chrono::steady_clock::time_point ultimo_{};
};

}  // namespace

int SecuenciaCorrer(core::Aplicacion& app, const std::string& formulario_dado, const std::string& secuencia_dada,
                    const std::string& periodo, const std::string& anio, std::ostream& salida,
                    std::ostream& errores) {
  // The names are looked up as a box would hold them: bytes that are not UTF-8 as U+FFFD.
  const std::string formulario = runtime::ValidUtf8(formulario_dado);
  const std::string secuencia = runtime::ValidUtf8(secuencia_dada);
  std::vector<core::Nombrado> formularios;
  std::vector<core::Nombrado> secuencias;
  try {
    formularios = core::LeerNombrados(app, "SELECT Arc_Id, Arc_Nombre FROM SE_ARCHIVOS WHERE Arc_Nombre = " +
                                 runtime::SqlText(formulario));
    if (formularios.size() == 1) {
      secuencias = core::LeerNombrados(app, "SELECT SC_IdSecCab, SC_NOMBRE FROM SE_CABSECUENCIA WHERE SC_IDARC = " +
                                  formularios[0].id + " AND SC_NOMBRE = " + runtime::SqlText(secuencia));
    }
  } catch (const runtime::VbError& error) {
    app.RegistrarError(error, "secuencia correr (busqueda)");
    errores << "No se pudo buscar la secuencia: (" << error.Number() << ") " << error.Description() << "\n";
    return 1;
  }
  if (formularios.empty()) {
    errores << "No existe el formulario " << formulario << "\n";
    return 1;
  }
  if (formularios.size() > 1) {
    errores << "Hay " << formularios.size() << " formularios llamados " << formulario << "\n";
    return 1;
  }
  if (secuencias.empty()) {
    errores << "No existe la secuencia " << secuencia << " del formulario " << formularios[0].nombre << "\n";
    return 1;
  }
  if (secuencias.size() > 1) {
    errores << "Hay " << secuencias.size() << " secuencias llamadas " << secuencia << " en el formulario "
            << formularios[0].nombre << "\n";
    return 1;
  }

  FrmProcSecuencia ventana(app);
  ventana.Load();
  ventana.TxtPeriodo.SetText(periodo);
  ventana.TxtAnio.SetText(anio);
  ventana.LblFormulario.SetCaption(formularios[0].nombre);
  ventana.TxtIdFormulario.SetText(formularios[0].id);
  ventana.lblSec.SetCaption(secuencias[0].nombre);
  ventana.TxtIdSecuencia.SetText(secuencias[0].id);
  Eco eco(ventana, errores);
  ventana.CmdProcesar2.UserClick();
  eco.Terminar();
  if (ventana.UltimoResultado() != Resultado::kCorrecta) return 1;
  salida << "Se ha corrido la Secuencia " << secuencias[0].nombre << " del formulario " << formularios[0].nombre
         << " para el Periodo " << periodo << " y el Año " << anio << "\n";
  return 0;
}

}  // namespace runner
