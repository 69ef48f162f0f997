// AppKit: the application object, the workspace and running applications,
// screens, alerts and the system beep.
#pragma once
#include <ApplicationServices/ApplicationServices.h>
#include <Foundation/Foundation.h>

typedef CGRect NSRect;
typedef CGPoint NSPoint;
typedef CGSize NSSize;
typedef NSString* NSDeviceDescriptionKey;
typedef NSInteger NSModalResponse;

typedef NSUInteger NSApplicationActivationOptions;
enum {
    NSApplicationActivateAllWindows = 1 << 0,
    NSApplicationActivateIgnoringOtherApps = 1 << 1,
};

typedef NSUInteger NSAlertStyle;
enum {
    NSAlertStyleWarning = 0,
    NSAlertStyleInformational = 1,
    NSAlertStyleCritical = 2,
};

@interface NSRunningApplication : NSObject
@property(readonly) pid_t processIdentifier;
@property(readonly, getter=isTerminated) BOOL terminated;
@property(readonly, copy) NSString* bundleIdentifier;
+ (NSArray<NSRunningApplication*>*)runningApplicationsWithBundleIdentifier:(NSString*)bundleIdentifier;
+ (instancetype)runningApplicationWithProcessIdentifier:(pid_t)pid;
- (BOOL)activateWithOptions:(NSApplicationActivationOptions)options;
- (BOOL)terminate;
@end

@interface NSWorkspaceOpenConfiguration : NSObject
+ (instancetype)configuration API_AVAILABLE_MACOS(10.15);
@end

@interface NSWorkspace : NSObject
@property(class, readonly, strong) NSWorkspace* sharedWorkspace;
@property(readonly, strong) NSRunningApplication* frontmostApplication;
- (BOOL)openURL:(NSURL*)url;
- (void)openApplicationAtURL:(NSURL*)applicationURL
               configuration:(NSWorkspaceOpenConfiguration*)configuration
           completionHandler:(void (^)(NSRunningApplication* app, NSError* error))completionHandler
    API_AVAILABLE_MACOS(10.15);
@end

@interface NSApplication : NSObject
@property(class, readonly, strong) NSApplication* sharedApplication;
- (void)activateIgnoringOtherApps:(BOOL)flag API_DEPRECATED_MACOS(10.0, 14.0);
- (void)activate API_AVAILABLE_MACOS(14.0);
@end

extern NSApplication* NSApp;

@interface NSScreen : NSObject
@property(class, readonly, copy) NSArray<NSScreen*>* screens;
@property(readonly) NSRect frame;
@property(readonly) NSRect visibleFrame;
@property(readonly, copy) NSDictionary<NSDeviceDescriptionKey, id>* deviceDescription;
@end

@interface NSAlert : NSObject
@property(copy) NSString* messageText;
@property(copy) NSString* informativeText;
@property NSAlertStyle alertStyle;
- (id)addButtonWithTitle:(NSString*)title;
- (NSModalResponse)runModal;
@end

#ifdef __cplusplus
extern "C" {
#endif
void NSBeep(void);
#ifdef __cplusplus
}
#endif
