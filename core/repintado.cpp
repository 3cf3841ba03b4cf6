// The repaint throttle of long operations.
#include "core/repintado.h"

#include "platform/ui/ui.h"

namespace core {

Repintado::Repintado(ui::Ui& ui) : ui_(ui), reloj_([] { return std::chrono::steady_clock::now(); }) {}

void Repintado::Pedir() {
  const auto ahora = reloj_();
  if (pintado_ && ahora - ultimo_ < kIntervalo) return;
  pintado_ = true;
  ultimo_ = ahora;
  ui_.DoEvents();
}

void Repintado::Forzar() {
  pintado_ = true;
  ultimo_ = reloj_();
  ui_.DoEvents();
}

}  // namespace core
