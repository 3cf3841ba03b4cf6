// One entry point per fuzzed reader: takes raw bytes, hands them to the reader exactly as the
// program does (files on disk, batches as text) and says how the reader answered. The libFuzzer
// harnesses in this folder call these, and the ordinary tests replay the saved findings through
// them, so a regression input runs the same code in both builds.
//
// A reader may read the input or refuse it with its module's usual error; anything else that
// escapes (another exception, a sheet count on which the two .xls paths disagree) is a fault and
// is thrown on as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz_inputs {

struct Outcome {
  bool read = false;  // the reader accepted the input (for SQL: compiled, or ran without error)
  std::string error;  // when refused: the module's error, as text
};

// DBF table plus memo. Layout of the input: byte 0 holds flags (bit 0: the memo is a .dbt, else
// a .fpt; bit 1: include deleted records; bit 2: force code page 850), bytes 1-4 the length of
// the table part (little-endian; clamped to what is there), then the table, then the memo file
// (none when empty). Shorter inputs are a table alone.
Outcome ReadDbf(const uint8_t* data, size_t size);

// .xls workbook, through the reader the program uses (FreeXL, or the workbook's records when
// FreeXL refuses it) and through the record reader alone. An input that is not a compound file
// is taken as a Workbook stream and wrapped in one.
Outcome ReadXls(const uint8_t* data, size_t size);

// T-SQL batch through tokenizer, parser, binder and translator against a small fixed catalog;
// nothing runs.
Outcome CompileSql(const uint8_t* data, size_t size);

// T-SQL batch run on a fresh in-memory database. Work is bounded: past `budget_ms` of run time
// every SQLite statement is interrupted (so a WHILE that never ends fails its condition), and
// text values are capped at 1 MB.
Outcome RunSql(const uint8_t* data, size_t size, int budget_ms = 2000);

}  // namespace fuzz_inputs
