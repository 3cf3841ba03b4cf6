// "consolida demo": writes a small application folder (a survey form for two years, the company
// roll and the sample sheet) with the program's own writers, then takes it through every
// subsystem as the windows do: the imports, descriptions for the catalogued columns, four formulas made in the formula editor, a
// sequence made in the sequence editor, the run, the results report and both listings. Each
// step is printed with its time. The dialogs the editors open are answered by a script.
// Part of the consolida program; no Qt.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace consolida {

struct OpcionesDemo {
  // The application folder; empty: a new folder under the system's temporary folder.
  std::string carpeta;
  int empresas = 200;
};

// The data the demo writes, so that a reader can work a result out by hand. Companies are
// numbered 1..N; their code is Unico(i). Fields are numbered 0..19 in kCamposDemo order, each
// with the description the demo gives it in the catalogue (kDescripcionesDemo, same order).
extern const std::vector<std::string> kCamposDemo;
extern const std::vector<std::string> kDescripcionesDemo;
std::string UnicoDemo(int empresa);
// The value of field `campo` for company `empresa` in year 2004 or 2005.
long ValorDemo(int empresa, int campo, int anio);
// The roll's Estado (2005) and the sample's Mues of company `empresa`.
int EstadoDemo(int empresa);
int MuesDemo(int empresa);

// The demo's input files, written into the folder `datos` with the program's own writers:
// ENCUES_1.dbf for year `anio` (2004 or 2005), Padron.dbf (the roll of 2005) and Muestras.xls
// (the sample of 2005), each for companies 1..`empresas`. Throw when a file cannot be written.
void EscribirEncuestaDemo(const std::filesystem::path& datos, int empresas, int anio);
void EscribirPadronDemo(const std::filesystem::path& datos, int empresas);
void EscribirMuestrasDemo(const std::filesystem::path& datos, int empresas);

// Runs the demo to its end. Steps and counts go to `salida`; the windows' messages and any
// failure to `errores`. Returns 0 when every step succeeded, 1 at the first step that failed.
int EjecutarDemo(const OpcionesDemo& opciones, std::ostream& salida, std::ostream& errores);

}  // namespace consolida
