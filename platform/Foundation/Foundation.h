#pragma once
/// \file
/// Everything Foundation offers, in one include.

#include <Foundation/NSArray.h>
#include <Foundation/NSCalendar.h>
#include <Foundation/NSData.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSFileManager.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSNumber.h>
#include <Foundation/NSObjCRuntime.h>
#include <Foundation/NSString.h>
#include <Foundation/NSURL.h>
#include <Foundation/dispatch.h>
