#pragma once
/// \file
/// BulletinBoard, in one include.

#include <BulletinBoard/BBAction.h>
#include <BulletinBoard/BBBulletin.h>
#include <BulletinBoard/BBObserver.h>
