// Core Foundation: the reference-counted base types, strings, numbers,
// booleans, arrays, dictionaries and UUIDs the port reads and creates.
#pragma once
#include <MacTypes.h>
#include <sys/types.h>

#if defined(__OBJC__)
#define CVN_CF_BRIDGED(T) __attribute__((objc_bridge(T)))
#define CVN_CF_BRIDGED_MUTABLE(T) __attribute__((objc_bridge_mutable(T)))
#else
#define CVN_CF_BRIDGED(T)
#define CVN_CF_BRIDGED_MUTABLE(T)
#endif
#define CF_RETURNS_RETAINED __attribute__((cf_returns_retained))

#ifdef __cplusplus
extern "C" {
#endif

typedef const void* CFTypeRef;
typedef unsigned long CFTypeID;
typedef unsigned long CFHashCode;
typedef long CFIndex;
typedef UInt32 CFStringEncoding;
typedef CFIndex CFNumberType;

typedef const struct CVN_CF_BRIDGED(id) __CFAllocator* CFAllocatorRef;
typedef const struct CVN_CF_BRIDGED(NSString) __CFString* CFStringRef;
typedef const struct CVN_CF_BRIDGED(NSNumber) __CFNumber* CFNumberRef;
typedef const struct CVN_CF_BRIDGED(NSNumber) __CFBoolean* CFBooleanRef;
typedef const struct CVN_CF_BRIDGED(NSArray) __CFArray* CFArrayRef;
typedef struct CVN_CF_BRIDGED_MUTABLE(NSMutableArray) __CFArray* CFMutableArrayRef;
typedef const struct CVN_CF_BRIDGED(NSDictionary) __CFDictionary* CFDictionaryRef;
typedef const struct CVN_CF_BRIDGED(NSData) __CFData* CFDataRef;
typedef const struct CVN_CF_BRIDGED(id) __CFUUID* CFUUIDRef;

enum {
    kCFNumberSInt32Type = 3,
    kCFNumberSInt64Type = 4,
    kCFNumberFloat64Type = 6,
    kCFNumberDoubleType = 13,
};
enum { kCFStringEncodingUTF8 = 0x08000100 };

extern const CFAllocatorRef kCFAllocatorDefault;
extern const CFBooleanRef kCFBooleanTrue;
extern const CFBooleanRef kCFBooleanFalse;

CFTypeRef CFRetain(CFTypeRef cf);
void CFRelease(CFTypeRef cf);
CFTypeID CFGetTypeID(CFTypeRef cf);
CFHashCode CFHash(CFTypeRef cf);
Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2);

CFTypeID CFStringGetTypeID(void);
CFIndex CFStringGetLength(CFStringRef theString);
CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding);
Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize, CFStringEncoding encoding);
CFStringRef CFStringCreateWithBytes(CFAllocatorRef alloc, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean isExternalRepresentation)
    CF_RETURNS_RETAINED;

CFTypeID CFNumberGetTypeID(void);
Boolean CFNumberIsFloatType(CFNumberRef number);
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr);

CFTypeID CFBooleanGetTypeID(void);
Boolean CFBooleanGetValue(CFBooleanRef boolean);

CFTypeID CFArrayGetTypeID(void);
CFIndex CFArrayGetCount(CFArrayRef theArray);
const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx);

CFTypeID CFDictionaryGetTypeID(void);
CFIndex CFDictionaryGetCount(CFDictionaryRef theDict);
void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void** keys, const void** values);

CFStringRef CFUUIDCreateString(CFAllocatorRef alloc, CFUUIDRef uuid) CF_RETURNS_RETAINED;

#ifdef __cplusplus
}
#endif
