#pragma once
/// \file
/// Core Foundation's notification centres, as far as the device's programs
/// use them: the Darwin notify centre, on which a process posts a bare name
/// that any observer may hear. Darwin notifications carry no object and no
/// user information; observers registered in this process are called
/// synchronously on the posting thread.

#include <Foundation/NSDictionary.h>
#include <Foundation/NSString.h>

#include <cstdint>

struct __CFNotificationCenter;
using CFNotificationCenterRef = __CFNotificationCenter*;
/// Toll-free bridged, as on the device.
using CFStringRef = const NSString*;
using CFDictionaryRef = const NSDictionary*;
using Boolean = bool;

using CFNotificationCallback = void (*)(CFNotificationCenterRef center, void* observer, CFStringRef name,
                                        const void* object, CFDictionaryRef userInfo);

enum CFNotificationSuspensionBehavior : int64_t {
  CFNotificationSuspensionBehaviorDrop = 1,
  CFNotificationSuspensionBehaviorCoalesce = 2,
  CFNotificationSuspensionBehaviorHold = 3,
  CFNotificationSuspensionBehaviorDeliverImmediately = 4,
};

/// The process's one Darwin notify centre.
CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter();

/// Posts name. On the Darwin centre object and userInfo are ignored, as the
/// system ignores them; every observer of name is called before this returns.
void CFNotificationCenterPostNotification(CFNotificationCenterRef center, CFStringRef name, const void* object,
                                          CFDictionaryRef userInfo, Boolean deliverImmediately);

/// Registers callback for name (a null name hears every notification of the
/// centre, as the local centre allows). The same observer, callback and
/// name registered twice is called once.
void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
                                     CFNotificationCallback callback, CFStringRef name, const void* object,
                                     CFNotificationSuspensionBehavior suspensionBehavior);
/// Removes observer's registrations for name (a null name: all of them).
void CFNotificationCenterRemoveObserver(CFNotificationCenterRef center, const void* observer, CFStringRef name,
                                        const void* object);
void CFNotificationCenterRemoveEveryObserver(CFNotificationCenterRef center, const void* observer);
