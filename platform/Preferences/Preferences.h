#pragma once
/// \file
/// The Preferences framework: preference screens built from specifiers.

#include <Preferences/PSListController.h>
#include <Preferences/PSListItemsController.h>
#include <Preferences/PSSpecifier.h>
#include <Preferences/PSTableCell.h>
#include <Preferences/PSViewController.h>
