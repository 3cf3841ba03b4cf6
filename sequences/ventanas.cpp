// Registration of the sequence windows with the application object.
#include "sequences/ventanas.h"

#include "core/aplicacion.h"
#include "sequences/frm_sec_valor.h"
#include "sequences/frm_secuenciador.h"
#include "sequences/selectores.h"

namespace sequences {

void RegistrarVentanas(core::Aplicacion& app) {
  app.RegistrarVentana<FrmSecuenciador>("FrmSecuenciador");
  app.RegistrarVentana<FrmSecValor>("FrmSecValor");
  app.RegistrarVentana<FrmBuModSec>("FrmBuModSec");
  app.RegistrarVentana<FrmBuForm>("FrmBuForm");
  app.RegistrarVentana<FrmBuSec>("FrmBuSec");
  app.RegistrarVentana<FrmBuForm1>("FrmBuForm1");
  app.RegistrarVentana<FrmBuCoModSec>("FrmBuCoModSec");
  app.RegistrarVentana<FrmBMuestra>("FrmBMuestra");
}

}  // namespace sequences
