// Text functions with T-SQL semantics, as SQLite functions: LIKE with [] sets and ESCAPE over
// case-folded code points, LEFT and RIGHT (536 for a negative length) and LEN without trailing
// blanks, all counting UTF-8 characters rather than bytes. Registered by RegisterFunctions
// (sqlite_functions.cpp); they read no table and keep no state.
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/engine/internal/function_support.h"
#include "platform/engine/internal/values.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"

namespace engine {
namespace {

// The T-SQL LIKE pattern language over code points, case-folded.
bool LikeMatch(const std::u32string& s, size_t si, const std::u32string& p, size_t pi, char32_t escape) {
  while (pi < p.size()) {
    char32_t pc = p[pi];
    if (escape != 0 && pc == escape && pi + 1 < p.size()) {
      if (si >= s.size() || s[si] != p[pi + 1]) return false;
      ++si;
      pi += 2;
      continue;
    }
    if (pc == U'%') {
      while (pi < p.size() && p[pi] == U'%') ++pi;
      if (pi == p.size()) return true;
      for (size_t k = si; k <= s.size(); ++k) {
        if (LikeMatch(s, k, p, pi, escape)) return true;
      }
      return false;
    }
    if (si >= s.size()) return false;
    if (pc == U'_') {
      ++si;
      ++pi;
      continue;
    }
    if (pc == U'[') {
      size_t close = p.find(U']', pi + 1);
      if (close != std::u32string::npos) {
        size_t k = pi + 1;
        bool negate = k < close && p[k] == U'^';
        if (negate) ++k;
        bool hit = false;
        for (; k < close; ++k) {
          if (k + 2 < close && p[k + 1] == U'-') {
            if (s[si] >= p[k] && s[si] <= p[k + 2]) hit = true;
            k += 2;
          } else if (s[si] == p[k]) {
            hit = true;
          }
        }
        if (hit == negate) return false;
        ++si;
        pi = close + 1;
        continue;
      }
    }
    if (s[si] != pc) return false;
    ++si;
    ++pi;
  }
  return si == s.size();
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
  bool hit = LikeMatch(value, 0, pattern, 0, escape);
  if (!hit) {
    // Trailing blanks of the tested value do not count; those of the pattern do.
    while (!value.empty() && value.back() == U' ') value.pop_back();
    hit = LikeMatch(value, 0, pattern, 0, escape);
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
