// Internal to the schema module: the creation scripts as compiled-in text, one entry per
// schema/*.sql file in file-name order. Generated at configure time; never edited by hand.
#pragma once

#include <string_view>
#include <vector>

namespace schema {

struct EmbeddedScript {
  std::string_view file_name;
  std::string_view text;
};

const std::vector<EmbeddedScript>& EmbeddedScripts();

}  // namespace schema
