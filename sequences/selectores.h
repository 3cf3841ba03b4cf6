// The sequence subsystem's list pickers: each lists the rows of one query (the second column as
// the item text, the first as its item data) and hands the chosen item back to the window that
// opened it, which writes its own boxes. FrmBuModSec and FrmBuCoModSec list the sequences,
// FrmBuForm and FrmBuForm1 the survey forms, FrmBuSec the sequences of one survey form and
// FrmBMuestra the columns of the company roll. "Salir" hands back nothing. Part of
// consolida_sequences; modal windows, no Qt.
#pragma once

#include <optional>
#include <string>

#include "platform/ui/form.h"

namespace core {
class Aplicacion;
}

namespace sequences {

// A chosen item: its text and its item data.
struct Eleccion {
  std::string texto;
  long dato = 0;
  bool operator==(const Eleccion&) const = default;
};

class Selector : public ui::Form {
 public:
  ui::ListBox lstFormularios{*this, "lstFormularios"};
  ui::CommandButton CmdAceptar{*this, "CmdAceptar"};
  ui::CommandButton CmdSalir{*this, "CmdSalir"};

  // The item selected when "Aceptar" was pressed at the last showing; nullopt after "Salir", a
  // close, or "Aceptar" without a selection.
  const std::optional<Eleccion>& Elegido() const { return elegido_; }

  static constexpr int kAncho = 4200;
  static constexpr int kAlto = 4860;

 protected:
  // REQUIRES: `app` outlives the window.
  Selector(core::Aplicacion& app, std::string nombre, std::string caption);
  // Fills the list; throws runtime::VbError when the query fails.
  void Form_Load() override;
  void Form_Resize() override;
  // The query whose rows are listed; "" lists nothing.
  virtual std::string Consulta() const = 0;
  // Lists the rows of Consulta(); FrmBMuestra lists columns instead.
  virtual void Llenar();

  core::Aplicacion& app_;

 private:
  void CmdAceptar_Click();
  void CmdSalir_Click();

  std::optional<Eleccion> elegido_;
};

// "Secuencias": the sequence to modify in the editor.
class FrmBuModSec : public Selector {
 public:
  explicit FrmBuModSec(core::Aplicacion& app) : Selector(app, "FrmBuModSec", "Secuencias") {}

 protected:
  std::string Consulta() const override { return "SELECT * FROM SE_CABSECUENCIA"; }
};

// "Formularios": the survey form of the sequence in the editor.
class FrmBuForm : public Selector {
 public:
  explicit FrmBuForm(core::Aplicacion& app) : Selector(app, "FrmBuForm", "Formularios") {}

 protected:
  std::string Consulta() const override { return "Select * FROM SE_ARCHIVOS"; }
};

// "Form1": the survey form of a run.
class FrmBuForm1 : public Selector {
 public:
  explicit FrmBuForm1(core::Aplicacion& app) : Selector(app, "FrmBuForm1", "Form1") {}

 protected:
  std::string Consulta() const override { return "Select * FROM SE_ARCHIVOS"; }
};

// "Secuencias": the sequence of the sequence listing.
class FrmBuCoModSec : public Selector {
 public:
  explicit FrmBuCoModSec(core::Aplicacion& app) : Selector(app, "FrmBuCoModSec", "Secuencias") {}

 protected:
  std::string Consulta() const override { return "SELECT * FROM SE_CABSECUENCIA"; }
};

// "Secuencias": the sequences of the survey form a run has chosen.
class FrmBuSec : public Selector {
 public:
  explicit FrmBuSec(core::Aplicacion& app) : Selector(app, "FrmBuSec", "Secuencias") {}

  // Loads the window for survey form `id_formulario` (the run's TxtIdFormulario). Without a
  // form the list stays empty and nothing is asked of the database. Throws runtime::VbError
  // when the list cannot be read.
  void Preparar(const std::string& id_formulario);

 protected:
  std::string Consulta() const override;

 private:
  std::string id_formulario_;
};

// "Muestra": a column of SE_MUESTRA_PADRON as the left operand of a condition; the item data
// is the column's stored number (its position from 0, minus one).
class FrmBMuestra : public Selector {
 public:
  explicit FrmBMuestra(core::Aplicacion& app) : Selector(app, "FrmBMuestra", "Muestra") {}

 protected:
  std::string Consulta() const override { return "SELECT * FROM SE_MUESTRA_PADRON"; }
  // Lists the column names, trimmed, only when the table has a row.
  void Llenar() override;
};

}  // namespace sequences
