// The Objective-C runtime's basic types beyond the compiler's own id, SEL and Class.
#pragma once
typedef bool BOOL;
#define YES __objc_yes
#define NO __objc_no
typedef void (*IMP)(void);
#ifdef __cplusplus
#define nil nullptr
#else
#define nil ((id)0)
#endif
