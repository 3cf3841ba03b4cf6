// "consolida formula generar <id> [--texto]": compiles a stored formula into its procedures
// without a window, as saving it in the editor does, or prints what would be sent. Part of
// consolida_formulas; the program's command line (app/) calls it on a started application.
#pragma once

#include <cstdint>
#include <ostream>

namespace core {
class Aplicacion;
}

namespace formulas {

// Reads formula `id` (header and tokens) on CnSql and runs both generators, the company loop
// first and the single company second only when the first succeeded; the style is the stored
// FC_Tipo. With `solo_texto` nothing is created: the commands both generators would send
// (after their catalogue lookups, which are reads and are not printed) go to `salida`, each
// followed by a line "GO", every line ending CR LF. On success without `solo_texto` one line
// names the procedures created. Errors go to `errores` in Spanish.
// Returns 0 on success, 1 when the formula does not exist, a generator refuses it or the
// server fails (the procedures that were there stay). REQUIRES: CnSql is open.
int FormulaGenerar(core::Aplicacion& app, int32_t id, bool solo_texto, std::ostream& salida,
                   std::ostream& errores);

}  // namespace formulas
