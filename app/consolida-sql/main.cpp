// Entry of the consolida-sql executable: hands the arguments and the standard streams to the
// console library, which holds all the logic.
#include <iostream>

#include "app/consolida-sql/console.h"

int main(int argc, char** argv) {
  return sql_console::RunConsole({argv + 1, argv + argc}, std::cin, std::cout, std::cerr);
}
