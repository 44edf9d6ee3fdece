#pragma once
// The program's names on the session bus.

namespace quelp::dbus {

// The automation server.
inline constexpr const char* kServiceName = "org.quelp.QuelpX";
inline constexpr const char* kObjectPath = "/QuelpX";
inline constexpr const char* kInterface = "org.quelp.IQuelpX";
inline constexpr const char* kErrorName = "org.quelp.QuelpX.Error";
inline constexpr const char* kCommandExSignal = "OnCommandEx";

// The registered messages, broadcast to every program on the bus.
inline constexpr const char* kMessagesPath = "/org/quelp/Messages";
inline constexpr const char* kMessagesInterface = "org.quelp.Messages";
inline constexpr const char* kKeyMessage = "VAD_CW";
inline constexpr const char* kLogMessage = "Tolvan_Message";

}  // namespace quelp::dbus
