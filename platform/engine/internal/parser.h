// Recursive-descent parser for the T-SQL subset: builds the statement and expression tree of a
// whole batch (or of a procedure or function definition) from its tokens. Syntax only: names
// are resolved later by the binder, so a batch that parses may still fail to bind.
#pragma once

#include "platform/engine/internal/ast.h"
#include "platform/engine/internal/tokenizer.h"

namespace engine {

// Nesting deeper than this (parentheses, subqueries, IF bodies) is refused with error 191.
inline constexpr int kMaxNesting = 200;
// Expression trees deeper than this, counting operator chains, are refused the same way.
inline constexpr int kMaxTreeDepth = 900;  // SQLite allows 1000 levels

// Parses every statement of `batch`. Returns false and fills `error` (102, 156, 191 ... with
// the line of the offending token) when the batch is not valid; then nothing of it may run.
bool ParseBatch(const TokenizedBatch& batch, ParsedBatch* out, Error* error);

}  // namespace engine
