// What an intake window's last operation came to, as the window itself counted it while it
// worked: the files it took in, the rows it stored and refused, and whether it told the user of
// an error. Read by the commands that run the windows without a screen; the windows never read it.
#pragma once

namespace intake {

struct ResultadoImportacion {
  // Input files taken in and moved to Procesados.
  int archivos = 0;
  // Rows stored: survey values (one SE_NOVEDAD row each), roll records (each writes its rows of
  // the year and of the year before), sample rows, catalogue columns saved.
  long filas_grabadas = 0;
  // Rows refused: the statement failed or a value could not be read; each has its error-log entry.
  long filas_rechazadas = 0;
  // True when the operation was refused (bad year, missing input), stopped on an error, moved a
  // file to NoProcesados, or failed to write something that is not a row (a catalogue column, a
  // journal row): the user was told with a message or an error label, or the error log has it.
  bool error = false;
};

}  // namespace intake
