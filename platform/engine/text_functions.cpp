// Text functions with T-SQL semantics, as SQLite functions: LIKE with [] sets and ESCAPE over
// case-folded code points, LEFT and RIGHT (536 for a negative length) and LEN without trailing
// blanks, all counting UTF-8 characters rather than bytes. Registered by RegisterFunctions
// (sqlite_functions.cpp); they read no table and keep no state.
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/internal/function_support.h"
#include "platform/engine/internal/values.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"

namespace engine {
namespace {

// One element of a LIKE pattern: % (any run of characters), or one character that is a given
// one, any one (_), or one of a [set] (a range a-z counts as a span; [^...] negates).
struct LikeElement {
  enum Kind { kRun, kAny, kChar, kSet } kind = kChar;
  char32_t c = 0;
  size_t set_begin = 0, set_end = 0;  // the set's members within the pattern, after any ^
  bool negate = false;
};

// Splits the T-SQL LIKE pattern language (code points, case-folded) into elements. An escape
// character makes the next one literal unless it ends the pattern; a [ without a closing ] is
// the character [; a run of % is one element.
std::vector<LikeElement> LikeElements(const std::u32string& p, char32_t escape) {
  std::vector<LikeElement> out;
  for (size_t pi = 0; pi < p.size();) {
    LikeElement e;
    const char32_t pc = p[pi];
    if (escape != 0 && pc == escape && pi + 1 < p.size()) {
      e.c = p[pi + 1];
      pi += 2;
    } else if (pc == U'%') {
      e.kind = LikeElement::kRun;
      while (pi < p.size() && p[pi] == U'%') ++pi;
    } else if (pc == U'_') {
      e.kind = LikeElement::kAny;
      ++pi;
    } else if (size_t close = pc == U'[' ? p.find(U']', pi + 1) : std::u32string::npos;
               close != std::u32string::npos) {
      e.kind = LikeElement::kSet;
      e.set_begin = pi + 1;
      e.negate = e.set_begin < close && p[e.set_begin] == U'^';
      if (e.negate) ++e.set_begin;
      e.set_end = close;
      pi = close + 1;
    } else {
      e.c = pc;
      ++pi;
    }
    out.push_back(e);
  }
  return out;
}

bool ElementTakes(const LikeElement& e, const std::u32string& p, char32_t c) {
  switch (e.kind) {
    case LikeElement::kAny: return true;
    case LikeElement::kChar: return c == e.c;
    case LikeElement::kSet: {
      bool hit = false;
      for (size_t k = e.set_begin; k < e.set_end; ++k) {
        if (k + 2 < e.set_end && p[k + 1] == U'-') {
          if (c >= p[k] && c <= p[k + 2]) hit = true;
          k += 2;
        } else if (c == p[k]) {
          hit = true;
        }
      }
      return hit != e.negate;
    }
    case LikeElement::kRun: break;
  }
  return false;
}

// Every element but % takes exactly one character, so a mismatch only ever needs the latest %
// to take one character more: time grows with the product of the two lengths, never
// exponentially with the number of %.
bool LikeMatch(const std::u32string& s, const std::u32string& p, char32_t escape) {
  const std::vector<LikeElement> elements = LikeElements(p, escape);
  size_t si = 0, ei = 0;
  size_t run = std::string::npos, run_si = 0;  // the latest % and where its text ends so far
  while (si < s.size()) {
    if (ei < elements.size() && elements[ei].kind == LikeElement::kRun) {
      run = ei++;
      run_si = si;
    } else if (ei < elements.size() && ElementTakes(elements[ei], p, s[si])) {
      ++ei;
      ++si;
    } else if (run != std::string::npos) {
      ei = run + 1;
      si = ++run_si;
    } else {
      return false;
    }
  }
  while (ei < elements.size() && elements[ei].kind == LikeElement::kRun) ++ei;
  return ei == elements.size();
}

std::u32string Folded(std::string_view text) {
  std::u32string out;
  for (char32_t cp : runtime::CodePoints(text)) out.push_back(runtime::LowerCase(cp));
  return out;
}

std::string ValueAsText(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_FLOAT) return FormatFloat(sqlite3_value_double(v));
  return std::string(TextOf(v));
}

void Like(sqlite3_context* c, int argc, sqlite3_value** argv) {
  for (int k = 0; k < argc; ++k) {
    if (sqlite3_value_type(argv[k]) == SQLITE_NULL) {
      sqlite3_result_null(c);
      return;
    }
  }
  std::u32string value = Folded(ValueAsText(argv[0]));
  std::u32string pattern = Folded(ValueAsText(argv[1]));
  char32_t escape = 0;
  if (argc == 3) {
    std::u32string e = Folded(TextOf(argv[2]));
    escape = e.empty() ? 0 : e[0];
  }
  bool hit = LikeMatch(value, pattern, escape);
  if (!hit) {
    // Trailing blanks of the tested value do not count; those of the pattern do.
    while (!value.empty() && value.back() == U' ') value.pop_back();
    hit = LikeMatch(value, pattern, escape);
  }
  sqlite3_result_int(c, hit ? 1 : 0);
}

void LeftOrRight(sqlite3_context* c, sqlite3_value** argv, bool left) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  int64_t n = sqlite3_value_int64(argv[1]);
  if (n < 0) {
    Raise(c, 536, std::string("Invalid length parameter passed to the ") + (left ? "left" : "right") +
                      " function.");
    return;
  }
  std::string text = ValueAsText(argv[0]);
  ResultText(c, left ? runtime::Left(text, n) : runtime::Right(text, n));
}

void Left(sqlite3_context* c, int, sqlite3_value** argv) { LeftOrRight(c, argv, true); }
void Right(sqlite3_context* c, int, sqlite3_value** argv) { LeftOrRight(c, argv, false); }

void Len(sqlite3_context* c, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(c);
    return;
  }
  std::string text = ValueAsText(argv[0]);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  sqlite3_result_int64(c, runtime::Len(text));
}

}  // namespace

bool RegisterTextFunctions(sqlite3* db, FunctionContext* ctx) {
  const ScalarFunction kScalars[] = {
      {"tsql_like", 2, Like, true},   {"tsql_like", 3, Like, true},
      {"tsql_left", 2, Left, true},   {"tsql_right", 2, Right, true},
      {"tsql_len", 1, Len, true},
  };
  return RegisterScalars(db, ctx, kScalars, std::size(kScalars));
}

}  // namespace engine
