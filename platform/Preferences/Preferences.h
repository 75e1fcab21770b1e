#pragma once
/// \file
/// The Preferences framework: preference screens built from specifiers.

#include <Preferences/PSListController.h>
#include <Preferences/PSListItemsController.h>
#include <Preferences/PSPreferenceBundle.h>
#include <Preferences/PSSpecifier.h>
#include <Preferences/PSSpecifierLayout.h>
#include <Preferences/PSTableCell.h>
#include <Preferences/PSViewController.h>
