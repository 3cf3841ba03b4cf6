// The thirteen functions of the editor's function buttons: button, captions, signature,
// parameter names, what the argument may be, whether an argument already in the formula is
// refused, the two-line description and how the token text closes. Part of consolida_formulas;
// data only, the editor and its argument dialogs read it.
#pragma once

#include <string>
#include <vector>

namespace formulas {

struct Funcion {
  const char* boton;          // the button's name (CmdSum ...)
  const char* caption;        // the button's caption ("1er CUARTIL")
  const char* nombre;         // the dialog's caption and the name the token text starts with
  const char* firma;          // the signature label
  std::vector<const char*> parametros;  // the names of the parameters to supply, in order
  bool IsN;                   // constants allowed
  bool IsC;                   // fields allowed
  bool IsV;                   // result variables allowed
  bool verifica_duplicado;    // an argument already in the formula is refused
  const char* linea1;         // the description, first line
  const char* linea2;         // the description, second line
  const char* cierre;         // what follows the argument in the token text: ")" or ",0)"

  // The description label: the two lines joined by CR LF.
  std::string Mensaje() const;
  // The token text for the collected argument text `t`: nombre + "(" + t + cierre.
  std::string Texto(const std::string& t) const;
};

// The thirteen, in the order of their buttons.
const std::vector<Funcion>& Funciones();

// True when function token text `dato` calls one of the aggregates SUM, AVG, COUNT, STDEV or
// VAR, which sum up every company and so give no value per company.
bool EsAgregado(const std::string& dato);

}  // namespace formulas
