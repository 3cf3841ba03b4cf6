// Registration of the formula windows with the application object.
#include "formulas/ventanas.h"

#include "formulas/frm_b_formula.h"
#include "formulas/frm_b_formulario.h"
#include "formulas/frm_formulas.h"
#include "formulas/frm_m_formula.h"
#include "formulas/frm_pre_formula.h"
#include "formulas/frm_sub_formula.h"

namespace formulas {

void RegistrarVentanas(core::Aplicacion& app) {
  app.RegistrarVentana<FrmFormulas>("FrmFormulas");
  app.RegistrarVentana<FrmPreFormula>("FrmPreFormula");
  app.RegistrarVentana<FrmSubFormula>("FrmSubFormula");
  app.RegistrarVentana<FrmBFormulario>("FrmBFormulario");
  app.RegistrarVentana<FrmBFormula>("FrmBFormula");
  app.RegistrarVentana<FrmMFormula>("FrmMFormula");
}

}  // namespace formulas
