// What the benchmarks share: the clock and the batched load of their rows.
#pragma once

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/sql/client.h"

namespace bench {

inline double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Sends `statements` in transactions of 500: a benchmark's data is set-up, not what it measures.
inline void Batches(sql::Connection& cn, const std::vector<std::string>& statements) {
  for (size_t i = 0; i < statements.size(); i += 500) {
    std::string batch = "BEGIN TRANSACTION\n";
    for (size_t k = i; k < std::min(statements.size(), i + 500); ++k) batch += statements[k] + "\n";
    cn.Execute(batch + "COMMIT\n");
  }
}

}  // namespace bench
