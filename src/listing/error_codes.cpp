#include "listing/error_codes.h"

namespace zorm {

namespace {
const char* const MESSAGES[ERROR_CODE_COUNT] = {
    "",
    "Syntax error",
    "Invalid format",
    "Expecting label or opcode",
    "Illegal character",
    "Stack overflow",
    "No label allowed",
    "Invalid mnemonic",
    "Label must be present",
    "Include file nesting limit reached",
    "No memory",
    "File not found",
    "Division by zero",
    "Operator not allowed",
    "Value not within allowed range",
    "Undefined label",
    "Label unreachable by relative jump",
    "Redefinition of label",
    "Phase error between passes",
    "Invalid origin statement",
    "Else or endif without if",
    "Opcode may not be used as label",
    "Only data statements can be used in the bss segment",
    "If without endif",
    "Overwriting previously used memory location",
    "Location counter outside memory space",
    "Error in macro definition",
    "Endm, exitm or local used outside macro",
    "Invalid line in S-records or intel-hex include file",
};
}  // namespace

const char* error_message(int code) {
  if (code < 0 || code >= ERROR_CODE_COUNT) return "";
  return MESSAGES[code];
}

}  // namespace zorm
