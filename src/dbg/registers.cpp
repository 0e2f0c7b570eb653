#include "dbg/registers.h"

#include <cctype>

namespace zorm::dbg {

const std::vector<RegisterName>& register_names() {
  static const std::vector<RegisterName> names{
      {"af", Register::af, 16},      {"bc", Register::bc, 16},      {"de", Register::de, 16},
      {"hl", Register::hl, 16},      {"af'", Register::af_alt, 16}, {"bc'", Register::bc_alt, 16},
      {"de'", Register::de_alt, 16}, {"hl'", Register::hl_alt, 16}, {"ix", Register::ix, 16},
      {"iy", Register::iy, 16},      {"sp", Register::sp, 16},      {"pc", Register::pc, 16},
      {"a", Register::a, 8},         {"f", Register::f, 8},         {"b", Register::b, 8},
      {"c", Register::c, 8},         {"d", Register::d, 8},         {"e", Register::e, 8},
      {"h", Register::h, 8},         {"l", Register::l, 8},         {"ixh", Register::ixh, 8},
      {"ixl", Register::ixl, 8},     {"iyh", Register::iyh, 8},     {"iyl", Register::iyl, 8},
      {"i", Register::i, 8},         {"r", Register::r, 8},         {"im", Register::im, 2},
      {"iff1", Register::iff1, 1},   {"iff2", Register::iff2, 1},
  };
  return names;
}

std::optional<RegisterName> find_register(std::string_view name) {
  for (const RegisterName& entry : register_names()) {
    if (entry.name.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i) {
      same = std::tolower(static_cast<unsigned char>(name[i])) == entry.name[i];
    }
    if (same) return entry;
  }
  return std::nullopt;
}

const std::vector<FlagName>& flag_names() {
  static const std::vector<FlagName> names{{"S", 7}, {"Z", 6}, {"H", 4}, {"P/V", 2}, {"N", 1}, {"C", 0}};
  return names;
}

}  // namespace zorm::dbg
