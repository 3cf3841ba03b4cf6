// Repintado: lets the screen repaint (Ui::DoEvents) at most once per interval while a long
// operation sets its progress labels on every step. Part of core; the imports and the sequence
// runner share it. Never draws anything itself.
#pragma once

#include <chrono>
#include <functional>

namespace ui {
class Ui;
}

namespace core {

// The labels are set before Pedir is called, so whatever is painted shows the step in hand.
class Repintado {
 public:
  using Reloj = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::milliseconds kIntervalo{100};

  // REQUIRES: `ui` outlives the object.
  explicit Repintado(ui::Ui& ui);
  // Replaces the clock (tests and benchmarks); the default is the steady clock.
  void UsarReloj(Reloj reloj) { reloj_ = std::move(reloj); }
  // Starts an operation: the next Pedir paints.
  void Comenzar() { pintado_ = false; }
  // Paints when nothing was painted since Comenzar or the interval has passed since the last paint.
  void Pedir();
  // Paints now (the end of an operation).
  void Forzar();

 private:
  ui::Ui& ui_;
  Reloj reloj_;
  bool pintado_ = false;
  std::chrono::steady_clock::time_point ultimo_{};
};

}  // namespace core
