// Registration of the sequence windows with the application object.
#include "sequences/ventanas.h"

#include <memory>

#include "core/aplicacion.h"
#include "sequences/frm_sec_valor.h"
#include "sequences/frm_secuenciador.h"
#include "sequences/selectores.h"

namespace sequences {
namespace {

template <typename T>
void Registrar(core::Aplicacion& app, const char* nombre) {
  app.RegistrarVentana(nombre, [](core::Aplicacion& a) -> std::unique_ptr<ui::Form> {
    return std::make_unique<T>(a);
  });
}

}  // namespace

void RegistrarVentanas(core::Aplicacion& app) {
  Registrar<FrmSecuenciador>(app, "FrmSecuenciador");
  Registrar<FrmSecValor>(app, "FrmSecValor");
  Registrar<FrmBuModSec>(app, "FrmBuModSec");
  Registrar<FrmBuForm>(app, "FrmBuForm");
  Registrar<FrmBuSec>(app, "FrmBuSec");
  Registrar<FrmBuForm1>(app, "FrmBuForm1");
  Registrar<FrmBuCoModSec>(app, "FrmBuCoModSec");
  Registrar<FrmBMuestra>(app, "FrmBMuestra");
}

}  // namespace sequences
