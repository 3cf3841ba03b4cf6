// Registers the task windows of every subsystem built into the program.
#include "app/consolida/ventanas.h"

#include "core/aplicacion.h"

void RegistrarVentanas(core::Aplicacion& app) {
  (void)app;
}
