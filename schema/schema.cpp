// Batch splitting of GO-separated scripts and the list of the embedded creation batches.
// The script texts themselves come from the generated embedded_scripts.cpp (see CMakeLists.txt).

#include "schema/schema.h"

#include <cstddef>
#include <utility>

#include "platform/runtime/text.h"
#include "schema/embedded_scripts.h"

namespace schema {
namespace {

using runtime::IsBlank;

bool IsGoLine(std::string_view line) {
  size_t begin = 0;
  size_t end = line.size();
  while (begin < end && IsBlank(line[begin])) ++begin;
  while (end > begin && IsBlank(line[end - 1])) --end;
  if (end - begin != 2) return false;
  return (line[begin] == 'G' || line[begin] == 'g') &&
         (line[begin + 1] == 'O' || line[begin + 1] == 'o');
}

bool IsAllBlank(std::string_view text) {
  for (char c : text) {
    if (!IsBlank(c)) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> SplitBatches(std::string_view script) {
  std::vector<std::string> batches;
  std::string current;
  size_t pos = 0;
  while (pos < script.size()) {
    size_t newline = script.find('\n', pos);
    size_t next = newline == std::string_view::npos ? script.size() : newline + 1;
    std::string_view line = script.substr(pos, next - pos);
    if (IsGoLine(line)) {
      if (!IsAllBlank(current)) batches.push_back(current);
      current.clear();
    } else {
      current.append(line);
    }
    pos = next;
  }
  if (!IsAllBlank(current)) batches.push_back(current);
  return batches;
}

std::vector<std::string> CreationBatches() {
  std::vector<std::string> batches;
  for (const EmbeddedScript& script : EmbeddedScripts()) {
    for (std::string& batch : SplitBatches(script.text)) batches.push_back(std::move(batch));
  }
  return batches;
}

}  // namespace schema
