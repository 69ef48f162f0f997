// Version numbers for availability checks (the toolkit's headers read them).
#pragma once
#define __MAC_10_15 101500
#define __MAC_11_0 110000
#define __MAC_12_0 120000
#define __MAC_13_0 130000
#define __MAC_14_0 140000
#define __MAC_15_0 150000
#define __MAC_OS_X_VERSION_MIN_REQUIRED __ENVIRONMENT_MAC_OS_X_VERSION_MIN_REQUIRED__
#define __MAC_OS_X_VERSION_MAX_ALLOWED __MAC_15_0

#define API_AVAILABLE_MACOS(v) __attribute__((availability(macos, introduced = v)))
#define API_DEPRECATED_MACOS(from, to) __attribute__((availability(macos, introduced = from, deprecated = to)))
