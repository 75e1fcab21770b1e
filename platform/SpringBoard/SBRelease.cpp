#include <SpringBoard/SBRelease.h>

#include <Foundation/DeviceProfile.h>

namespace springboard {

double bootedFoundationVersion() { return foundation::currentDeviceProfile().foundationVersion; }

bool takesBulletinsWithShortHandler() { return bootedFoundationVersion() < kFirstFoundationVersionOfIOS8; }

bool cellsAnswerSetDrawsSeparators() { return bootedFoundationVersion() < kFirstFoundationVersionOfIOS8; }

}  // namespace springboard
