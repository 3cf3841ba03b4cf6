// The headless reports: names looked up, the window's boxes filled, its button pressed, the
// workbook's path printed.
#include "reports/comando_reporte.h"

#include <optional>
#include <vector>

#include "core/aplicacion.h"
#include "core/nombrados.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"
#include "platform/runtime/vb_error.h"
#include "reports/frm_cons_form.h"
#include "reports/frm_cons_sec.h"
#include "reports/frm_reporte.h"
#include "reports/ventanas.h"

namespace reports {
namespace {

// Nothing is opened for viewing on a machine without a user.
class SinVisor : public Visor {
 public:
  void Abrir(const std::string&) override {}
};

// The rows (id, name) of `consulta`; nullopt after telling `errores` that it failed.
std::optional<std::vector<core::Nombrado>> Filas(core::Aplicacion& app, const std::string& consulta, std::ostream& errores) {
  try {
    return core::LeerNombrados(app, consulta);
  } catch (const runtime::VbError& error) {
    app.RegistrarError(error, "reporte (busqueda)\r\n" + consulta);
    errores << "No se pudo buscar: (" << error.Number() << ") " << error.Description() << "\n";
    return std::nullopt;
  }
}

// The one row named `nombre`; nullopt after telling `errores` that there is none or several.
std::optional<core::Nombrado> Unica(core::Aplicacion& app, const std::string& consulta, const std::string& que,
                          const std::string& nombre, std::ostream& errores) {
  const std::optional<std::vector<core::Nombrado>> filas = Filas(app, consulta, errores);
  if (!filas) return std::nullopt;
  if (filas->empty()) {
    errores << "No existe " << que << " " << nombre << "\n";
    return std::nullopt;
  }
  if (filas->size() > 1) {
    errores << "Hay " << filas->size() << " con el nombre " << nombre << " (" << que << ")\n";
    return std::nullopt;
  }
  return filas->front();
}

int Resultado(const std::optional<std::string>& planilla, std::ostream& salida) {
  if (!planilla) return 1;
  salida << *planilla << "\n";
  return 0;
}

}  // namespace

int ReporteResultados(core::Aplicacion& app, const PedidoResultados& dado, std::ostream& salida,
                      std::ostream& errores) {
  // Names are looked up as a box would hold them: bytes that are not UTF-8 as U+FFFD.
  PedidoResultados pedido = dado;
  pedido.formulario = runtime::ValidUtf8(pedido.formulario);
  const std::optional<core::Nombrado> archivo =
      Unica(app, "SELECT Arc_Id, Arc_Nombre FROM SE_ARCHIVOS WHERE Arc_Nombre = " + runtime::SqlText(pedido.formulario),
            "el formulario", pedido.formulario, errores);
  if (!archivo) return 1;
  // The field dialog is found by name, as the window finds it.
  if (!app.ConoceVentana("FrmReporteA")) RegistrarVentanas(app);
  SinVisor visor;
  FrmReporte ventana(app);
  ventana.Load();
  ventana.UsarVisor(visor);
  ventana.TxtPeriodo.SetText(pedido.periodo);
  ventana.TxtTitulo.SetText(pedido.titulo);
  ventana.TxtFormulario.SetText(runtime::Trim(archivo->nombre));
  ventana.TxtIdFormulario.SetText(archivo->id);
  ventana.ChkAnterior.SetValue(pedido.anio_anterior ? ui::CheckBox::kChecked : ui::CheckBox::kUnchecked);
  bool campos_conocidos = true;
  ventana.UsarEleccionDeCampos([&](FrmReporteA& dialogo) {
    if (!pedido.campos) {
      dialogo.CmdSTodos.UserClick();
    } else {
      for (const std::string& campo : *pedido.campos) {
        int encontrado = -1;
        for (int i = 0; i < dialogo.LstCampo.ListCount() && encontrado < 0; ++i) {
          if (runtime::UCase(dialogo.LstCampo.List(i)) == runtime::UCase(runtime::Trim(campo))) encontrado = i;
        }
        if (encontrado < 0) {
          errores << "El reporte no tiene la columna " << campo << "\n";
          campos_conocidos = false;
          dialogo.CmdCancela.UserClick();
          return;
        }
        dialogo.LstCampo.UserClick(encontrado);
        dialogo.CmdSUno.UserClick();
      }
    }
    dialogo.CmdAcepta.UserClick();
  });
  ventana.CmdGenerar.UserClick();
  if (!ventana.Planilla() && campos_conocidos && !ventana.LblMsg.Caption().empty()) {
    errores << ventana.LblMsg.Caption() << "\n";
  }
  return Resultado(ventana.Planilla(), salida);
}

int ReporteFormulas(core::Aplicacion& app, const std::string& codigo, std::ostream& salida, std::ostream& errores) {
  SinVisor visor;
  FrmConsForm ventana(app);
  try {
    ventana.Load();
  } catch (const runtime::VbError& error) {
    app.RegistrarError(error, "reporte formulas (formularios)");
    errores << "No se pudo leer los formularios: (" << error.Number() << ") " << error.Description() << "\n";
    return 1;
  }
  ventana.UsarVisor(visor);
  int elegido = -1;
  for (int i = 0; i < ventana.cbxFormulario.ListCount() && elegido < 0; ++i) {
    if (runtime::UCase(runtime::RTrim(ventana.cbxFormulario.List(i))) == runtime::UCase(runtime::RTrim(codigo))) {
      elegido = i;
    }
  }
  if (elegido < 0) {
    errores << "No existe el formulario " << codigo << "\n";
    return 1;
  }
  ventana.cbxFormulario.UserSelect(elegido);
  ventana.CmdImprimir.UserClick();
  return Resultado(ventana.Planilla(), salida);
}

int ReporteSecuencia(core::Aplicacion& app, const std::string& secuencia_dada, std::ostream& salida,
                     std::ostream& errores) {
  const std::string secuencia = runtime::ValidUtf8(secuencia_dada);  // as ReporteResultados does
  const std::optional<core::Nombrado> fila =
      Unica(app, "SELECT SC_IdSecCab, SC_NOMBRE FROM SE_CABSECUENCIA WHERE SC_NOMBRE = " + runtime::SqlText(secuencia),
            "la secuencia", secuencia, errores);
  if (!fila) return 1;
  SinVisor visor;
  FrmConsSec ventana(app);
  ventana.Load();
  ventana.UsarVisor(visor);
  ventana.txtSecuencia.SetText(fila->nombre);
  ventana.TxtIdSecuencia.SetText(fila->id);
  ventana.CmdConsulta.UserClick();
  if (!ventana.ConsultaCorrecta()) return 1;
  ventana.CmdImprimir.UserClick();
  return Resultado(ventana.Planilla(), salida);
}

}  // namespace reports
