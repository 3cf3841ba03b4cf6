// The console Ui's echo of progress labels: none unless asked, which labels a line shows, the
// pace on a clock the test moves, lines not repeated, the last state written on unloading.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ui/console_ui.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"

namespace {

using std::chrono::milliseconds;

class Avance : public ui::Form {
 public:
  Avance() : Form("Avance") {
    SetCaption("Procesa Algo");
    lblPeriodo.SetCaption("Periodo");
    lblEmpresa.SetCaption("Unico");
  }
  ui::Label lblPeriodo{*this, "lblPeriodo"};
  ui::TextBox TxtPeriodo{*this, "TxtPeriodo"};
  ui::Label LblMsg{*this, "LblMsg"};
  ui::Label lblEmpresa{*this, "lblEmpresa"};
  ui::Label lblEmpresa_1{*this, "lblEmpresa_1"};
};

TEST(ConsoleUiProgressTest, LinesOfChangedLabelsAtThePaceOfTheClock) {
  std::ostringstream out;
  ui::ConsoleUi consola(&out);
  Avance callado;
  consola.Show(callado);
  callado.LblMsg.SetCaption("Procesando ...");
  consola.DoEvents();
  EXPECT_TRUE(consola.Unload(callado));
  EXPECT_EQ(out.str(), "") << "silent unless asked";

  std::chrono::steady_clock::time_point ahora{};
  consola.EchoProgress(milliseconds(500), [&ahora] { return ahora; });
  Avance form;
  consola.Show(form);

  // The clock at DoEvents; LblMsg and lblEmpresa_1 set before it ("=" keeps them); what it writes.
  const struct {
    int ms;
    std::string mensaje, empresa, linea;
  } pasos[] = {
      // The first request writes at once; unchanged static labels and empty ones are left out.
      {0, "Procesando ...", "=", "Procesa Algo: Procesando ...\n"},
      {100, "=", "301", ""},
      {499, "=", "302", ""},
      {500, "=", "303", "Procesa Algo: Procesando ... | 303\n"},
      // Nothing changed: no line, and the next change is written at the next request.
      {1200, "=", "=", ""},
      {1300, "Insert - Nuevo Dato", "=", "Procesa Algo: Insert - Nuevo Dato | 303\n"},
      {1400, "Fin Proceso", "=", ""},
      // A label that changed stays in the line even when set back to its first caption.
      {1900, "", "=", "Procesa Algo: 303\n"},
  };
  for (const auto& paso : pasos) {
    SCOPED_TRACE(paso.ms);
    if (paso.mensaje != "=") form.LblMsg.SetCaption(paso.mensaje);
    if (paso.empresa != "=") form.lblEmpresa_1.SetCaption(paso.empresa);
    ahora = std::chrono::steady_clock::time_point(milliseconds(paso.ms));
    out.str("");
    consola.DoEvents();
    EXPECT_EQ(out.str(), paso.linea);
  }

  form.lblPeriodo.SetCaption("Anio");
  form.lblEmpresa_1.SetCaption("304");
  out.str("");
  EXPECT_TRUE(consola.Unload(form));
  EXPECT_FALSE(form.Loaded());
  EXPECT_EQ(out.str(), "Procesa Algo: Anio | 304\n") << "the last state, whatever the clock";
  consola.DoEvents();
  EXPECT_EQ(out.str(), "Procesa Algo: Anio | 304\n") << "an unloaded window is not watched";
}

}  // namespace
