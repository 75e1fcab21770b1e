#include <Foundation/NSObjCRuntime.h>

double NSFoundationVersionNumber = NSFoundationVersionNumber_iOS_7_1;
