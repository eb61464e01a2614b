#pragma once

// The program's messages to the user, exactly as shown.
namespace calvetra::messages {

inline constexpr const char* kValveAbove100 = "La apertura de la válvula no puede ser mayor del 100%";
inline constexpr const char* kCheckParameters =
    "El Volumen, el Caudal, la apertura de la válvula y la Temperatura inicial deben ser mayores que cero";
inline constexpr const char* kOverflowPrefix = "Desbordamniento a t = ";  // then the time, then " (s)"
inline constexpr const char* kOverflowSuffix = " (s)";
inline constexpr const char* kNegativeTime = "El tiempo debe ser mayor que 0";

}  // namespace calvetra::messages
