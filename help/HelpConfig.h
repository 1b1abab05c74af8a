// The help window's fixed addresses: the contact of the messaging service, the
// host that reports whether that contact is online, and the brand's web host.
// Hosts of ours under a name that can never belong to anyone else's service.
#pragma once

#include <windows.h>

#include <cstdint>

namespace help {

inline constexpr uint32_t kContactNumber = 246813579;
inline constexpr const char* kStatusHost = "status.quillo.example";
inline constexpr uint16_t kStatusPort = 80;
inline constexpr const char* kBrandHost = "www.quillo.example";
// Everything the status fetch may take, resolving and connecting included.
inline constexpr DWORD kStatusTimeoutMs = 3000;

}  // namespace help
