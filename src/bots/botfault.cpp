#include "bots/botfault.h"

namespace pod::bots {

const char* faultName(Fault fault) {
  switch (fault) {
  case Fault::StartFailed:
    return "could not start";
  case Fault::Crashed:
    return "crashed";
  case Fault::Exited:
    return "exited";
  case Fault::ClosedOutput:
    return "closed output";
  case Fault::ClosedInput:
    return "closed input";
  case Fault::Late:
    return "late";
  case Fault::FieldCount:
    return "wrong field count";
  case Fault::NotANumber:
    return "not a number";
  case Fault::NotFinite:
    return "NaN or infinity";
  case Fault::LineTooLong:
    return "line over 4 KiB";
  case Fault::ExtraLine:
    return "extra line";
  }
  return "?";
}

std::string Problem::describe() const {
  std::string text = "turn " + std::to_string(turn) + ": " + faultName(fault);
  if (!detail.empty())
    text += " (" + detail + ")";
  if (!line.empty())
    text += ": \"" + line + "\"";
  return text;
}

} // namespace pod::bots
