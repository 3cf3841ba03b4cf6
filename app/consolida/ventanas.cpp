// Registers the task windows of every subsystem built into the program.
#include "app/consolida/ventanas.h"

#include "core/aplicacion.h"
#include "formulas/ventanas.h"
#include "intake/ventanas.h"
#include "reports/ventanas.h"
#include "runner/ventanas.h"
#include "sequences/ventanas.h"

void RegistrarVentanas(core::Aplicacion& app) {
  intake::RegistrarVentanas(app);
  formulas::RegistrarVentanas(app);
  sequences::RegistrarVentanas(app);
  runner::RegistrarVentanas(app);
  reports::RegistrarVentanas(app);
}
