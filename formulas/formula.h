// The formula as the editor holds it: the token vocabulary (kinds, function argument kinds, the
// style), the editor's working set with its display text, the previous-year marker "_1" and the
// rules that every token list must keep. Part of consolida_formulas; a plain value type with no
// database and no window: the editor owns one, the generators read its tokens.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace formulas {

// Token kinds (FM_Tipo).
inline constexpr const char* kCampo = "C";         // field of a chosen form
inline constexpr const char* kVariable = "V";      // result of another formula
inline constexpr const char* kMuestra = "M";       // sample column
inline constexpr const char* kOperador = "O";      // " + ", " - ", " * ", " / "
inline constexpr const char* kAbreParentesis = "PA";
inline constexpr const char* kCierraParentesis = "PC";
inline constexpr const char* kNumero = "N";        // one character of a constant
inline constexpr const char* kFuncion = "F";

// Function argument kinds (FM_FtTipo).
inline constexpr const char* kArgCampo = "Ca";
inline constexpr const char* kArgVariable = "Va";
inline constexpr const char* kArgConstante = "Co";

// One row of SE_FORMULA without its keys and dates.
struct Token {
  std::string FM_Dato;    // token text
  std::string FM_Tipo;    // kind
  std::string FM_FtTipo;  // function argument kind, "" for other tokens
  std::string FM_FtDato;  // function argument (POWER: the base), "" for other tokens
  bool operator==(const Token&) const = default;
};

// FC_Tipo: "F" computes one value per company, "T" one total for all companies.
enum class Estilo { kPorEmpresa, kTotal };
// "F" or "T".
const char* CodigoEstilo(Estilo estilo);
// "F" is "Por Empresa"; anything else "Total", as the editor reads a stored header.
Estilo EstiloDeCodigo(std::string_view codigo);

// True when `nombre` marks the previous year: it ends in "_1".
bool EsAnioAnterior(std::string_view nombre);
// The name an operand is looked up by: without a final "_1" and trimmed; else just trimmed.
std::string NombreBase(std::string_view nombre);

// True when the text of function token `dato` names a median or quartile (MEDIANA, PCUARTIL,
// TCUARTIL), which the generated procedures call as server functions over a work table.
bool EsMedianaOCuartil(std::string_view dato);

// The refusal of a token list with more than one median or quartile call
// ("Solamente puede cargar por formula uno de los cuartiles"), or "" when it has at most one.
// The generated procedures can feed only one such call; the editor asks before it stores.
std::string VerificarCuartiles(const std::vector<Token>& tokens);

// Values a function button and its argument dialogs share while one call is being built.
struct LlamadaPendiente {
  uint8_t cantidad_argumentos = 0;
  std::vector<std::string> nombres_parametros;  // index 0 to the count
  bool IsN = false;  // constants allowed
  bool IsC = false;  // fields allowed
  bool IsV = false;  // result variables allowed
  std::string tipo_argumento;  // "Ca", "Va" or "Co"
  std::string argumento;
};

// The editor's working set. Slot 0 of the token list exists and is empty; tokens sit at 1 to
// CantidadTokens(). The display text is built piece by piece as tokens come in.
class Formula {
 public:
  Formula();

  int16_t CantidadTokens() const { return static_cast<int16_t>(tokens_.size() - 1); }
  // Slot 0 (empty) and the tokens, in order.
  const std::vector<Token>& Tokens() const { return tokens_; }
  // The tokens without slot 0.
  std::vector<Token> Lista() const;
  // REQUIRES: 0 <= i <= CantidadTokens().
  const Token& operator[](int i) const { return tokens_[static_cast<size_t>(i)]; }
  // The kind of the last token added; empty when the list is empty.
  const std::string& UltimoTipo() const { return ultimo_tipo_; }
  // The display text (txtDisplay).
  const std::string& Display() const { return display_; }
  void SetDisplay(std::string display) { display_ = std::move(display); }
  // +1 per "(" and -1 per ")" taken or removed.
  int16_t ParentesisAbiertos() const { return parentesis_; }

  // Appends `token` and its display piece: the token text, except an opening parenthesis that
  // starts the formula, shown as "(" (its text stays " ("). The kind becomes the last kind and
  // a parenthesis moves the open count. Admission is the editor's business.
  void Agregar(const Token& token);

  // "A-1" on the last token: a field, result variable or sample column gets "_1" unless it has
  // it; a function over a field or result variable gets it on its argument, inside the call
  // (SUM(VENTAS) -> SUM(VENTAS_1), ROUND(VENTAS,0) -> ROUND(VENTAS_1,0), POWER(VENTAS,2) ->
  // POWER(VENTAS_1,2)). POWER rebuilds the display from the token texts, the others replace the
  // call at the end of the display. Returns false when nothing changed.
  bool MarcarAnioAnterior();

  // "Retroceder": drops the last token, moves the open count back for a parenthesis, rebuilds
  // the display from the token texts. Returns the token removed; nothing happens (and an empty
  // token comes back) when the list is empty.
  Token Retroceder();

  // Back to the single empty slot: no tokens, no last kind, empty display, no open
  // parenthesis, no POWER pair.
  void Vaciar();

  // Replaces the tokens with `tokens` (the rows of SE_FORMULA in order, as "Modificar" loads
  // them): the last kind is the last token's, the open count follows the parentheses. The
  // display is left as it is (the stored FC_Formula is loaded into it separately).
  void Cargar(const std::vector<Token>& tokens);

  // DuplDato: true when `texto` equals a token text or a function argument, slot 0 included
  // (exact comparison).
  bool DuplDato(const std::string& texto) const;

  // The concatenation of the token texts, slot 0 included (what "Retroceder" shows).
  std::string TextoDeTokens() const;

  // The two arguments of the last POWER call (base, exponent).
  std::pair<std::string, std::string> par_power;
  // "A" while creating, "M" while modifying.
  char modo_edicion = 'A';
  // FC_CdorVResul: result-variable references taken into the formula.
  int16_t cdor_v_resul = 0;
  LlamadaPendiente llamada;

 private:
  std::vector<Token> tokens_;
  std::string ultimo_tipo_;
  std::string display_;
  int16_t parentesis_ = 0;
};

}  // namespace formulas
