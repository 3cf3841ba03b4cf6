// Registration of the formula windows with the application object.
#include "formulas/ventanas.h"

#include <memory>

#include "formulas/frm_b_formula.h"
#include "formulas/frm_b_formulario.h"
#include "formulas/frm_formulas.h"
#include "formulas/frm_m_formula.h"
#include "formulas/frm_pre_formula.h"
#include "formulas/frm_sub_formula.h"

namespace formulas {
namespace {

template <typename T>
void Registrar(core::Aplicacion& app, const char* nombre) {
  app.RegistrarVentana(nombre, [](core::Aplicacion& a) -> std::unique_ptr<ui::Form> {
    return std::make_unique<T>(a);
  });
}

}  // namespace

void RegistrarVentanas(core::Aplicacion& app) {
  Registrar<FrmFormulas>(app, "FrmFormulas");
  Registrar<FrmPreFormula>(app, "FrmPreFormula");
  Registrar<FrmSubFormula>(app, "FrmSubFormula");
  Registrar<FrmBFormulario>(app, "FrmBFormulario");
  Registrar<FrmBFormula>(app, "FrmBFormula");
  Registrar<FrmMFormula>(app, "FrmMFormula");
}

}  // namespace formulas
