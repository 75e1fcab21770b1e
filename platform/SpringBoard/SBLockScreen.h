#pragma once
/// \file
/// SpringBoard's lock screen, in one include.

#include <SpringBoard/SBAwayListItem.h>
#include <SpringBoard/SBBacklightController.h>
#include <SpringBoard/SBLockScreenBulletinCell.h>
#include <SpringBoard/SBLockScreenNotificationBulletinBannerItem.h>
#include <SpringBoard/SBLockScreenNotificationListController.h>
#include <SpringBoard/SBLockScreenNotificationListView.h>
#include <SpringBoard/SBLockScreenPluginOverlayContext.h>
#include <SpringBoard/SBLockScreenView.h>
#include <SpringBoard/SBLockScreenViewController.h>
#include <SpringBoard/SpringBoard.h>
