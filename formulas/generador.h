// The texts of the stored procedures a formula compiles into, exactly as they are sent: the
// company loop P<id> with P<id>_T (G_Store_Procedure) and the single company P<id>_Emp with
// P<id>Emp_T (G_Store_Procedure_Emp). Part of consolida_formulas; pure: the catalogue lookups
// are made by the caller (procedimientos.h) and handed in, nothing is sent from here.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "formulas/formula.h"

namespace formulas {

// Which pair of procedures.
enum class Procedimiento {
  kCompanias,  // P<id> loops over the form's company roll; P<id>_T drops the work table
  kEmpresa,    // P<id>_Emp computes one company; P<id>Emp_T drops the work table
};

// One operand column of the work table TEMP_NOVEDADES, in token order.
struct Columna {
  std::string nombre;     // the column (a field, result variable or sample column; "_1" kept)
  std::string tipo;       // "C", "V", "M", "Ca" or "Va"
  bool anio_anterior;     // the name ends in "_1": read for the year before
  std::string base;       // the name looked up: without "_1", trimmed
};

// The operand columns of `tokens` (slot 0 included or not: an empty token has no column).
std::vector<Columna> ColumnasDeOperandos(const std::vector<Token>& tokens);

// The base names of the field columns ("C" and "Ca"), each once, in token order: the names the
// generator looks up in SE_ESTRUCTURAS before it builds the texts.
std::vector<std::string> CamposAConsultar(const std::vector<Token>& tokens);

// The lookup of one field's type: "Select Est_Tipo From SE_ESTRUCTURAS where Est_Campo = '<base>'".
std::string ConsultaTipoCampo(const std::string& base);

// The procedure name: "P" and the decimal id ("P12").
std::string NombreProcedimiento(int32_t id);
// The four procedures of formula `id`, in the order they are dropped: P, P_Emp, P_T, PEmp_T.
std::vector<std::string> ProcedimientosDeFormula(int32_t id);
// The command that drops procedure `nombre` when it exists (the text the generators and the
// formula deletion send).
std::string EliminarProcedimiento(const std::string& nombre);

// What one generator builds.
struct Textos {
  // The commands in the order they are sent: the two drops, the creation of the auxiliary
  // procedure, the drop of the work table, the creation of the main procedure. Empty when
  // refused.
  std::vector<std::string> comandos;
  // Why nothing can be generated (a second median or quartile call, an operand name that is
  // not a regular identifier, a token that is not what its kind allows); "" when generated.
  std::string rechazo;
  // The formula calls a median or quartile (the main procedure fills TEMP_FUNCION).
  bool mediana = false;
};

// Builds the commands of procedure pair `cual` for formula `id` over `tokens` (slot 0 may be
// included). `catalogados` holds the base names whose lookup (ConsultaTipoCampo) found a row:
// only those field columns are declared in the work table. Every line ends CR LF.
Textos GenerarTextos(Procedimiento cual, const std::vector<Token>& tokens, int32_t id,
                     Estilo estilo, const std::set<std::string>& catalogados);

}  // namespace formulas
