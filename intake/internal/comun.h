// Helpers the intake windows share: the check of the year typed in TxtPeriodo, the reopening of
// the DBF connection, the lookup of a name with LIKE; and, from core, the write of one value in
// a transaction of its own and the throttle that lets the progress labels repaint without paying
// for a repaint per value. Internal to consolida_intake; never shows a window.
#pragma once

#include <string>

#include "core/grabacion.h"
#include "core/repintado.h"
#include "platform/runtime/valor.h"

namespace core {
class Aplicacion;
}
namespace sql {
class Connection;
class Recordset;
}

namespace intake::internal {

// The message that refuses a year typed as `texto`, or "" when it is accepted: blanks around
// are ignored; anything but exactly four digits gives "Dato Incorrecto", a year before 1990
// "Incorrecto el Periodo".
std::string ValidarPeriodo(const std::string& texto);

// Opens CnDbf again when an earlier import closed it. Throws runtime::VbError when it cannot.
void AbrirCnDbf(core::Aplicacion& app);

// Closes a shared recordset when it is open (each user closes it before reopening it).
void Cerrar(sql::Recordset& rs);

// True when a lookup found a row (the result is not both at EOF and at BOF).
bool Encontrado(const sql::Recordset& rs);


// The write of one value in a transaction of its own, and the repaint throttle, shared with the
// other long operations of the program.
using Grabacion = core::Grabacion;
using Repintado = core::Repintado;

}  // namespace intake::internal
