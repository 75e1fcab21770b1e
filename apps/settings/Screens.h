#pragma once
/// \file
/// What a person does in Settings, one function per command: read a
/// screen, change a control, press a button, and act in the screen a
/// button opened. Each prints what the screen shows afterwards.

#include "SettingsHost.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace settings {

/// Where the panes keep their preference files.
constexpr std::string_view kPreferencesFolder = "/var/mobile/Library/Preferences";
/// Whether a device path names a file in that folder.
bool isPreferenceFile(std::string_view devicePath);
/// Whether every change of this command so far reached its file: no write
/// failed, and no preference file was unreadable (such a file is never
/// replaced).
bool changesStored();

/// The table a screen shows, or nil for a screen without one.
Ref<UITableView> tableOf(const Ref<UIViewController>& screen);
/// The title the navigation bar shows for a screen.
std::string titleOf(const Ref<UIViewController>& screen);

/// The root screen: every row with its label and current value, by group.
void showRoot(SettingsHost& host);
/// One control of the root screen and its current value.
void showValue(SettingsHost& host, const std::string& key);
/// The values a control can take.
void showChoices(SettingsHost& host, const std::string& key);
/// Opens the list of choices a list control pushes, the current value
/// ticked; nothing for a control without such a list.
void openChoices(SettingsHost& host, const std::string& key);
/// Changes the control of key as a person would, to the value written as
/// text; HostError for an unknown key or a value the control cannot take.
/// Prints the old and new value, or that the new one was not stored.
void setControl(SettingsHost& host, const std::string& key, const std::string& value);
/// Presses the button or link named by its action ("selectCalendars") or
/// its label, then shows the screen on top.
void press(SettingsHost& host, const std::string& button);

/// Opens the screen a button pushes and shows it; HostError when pressing
/// it pushed nothing.
void openScreen(SettingsHost& host, const std::string& button);
/// Taps rows (numbered from 1 across sections) of the screen on top.
void tapRows(SettingsHost& host, const std::vector<int>& rows);
/// Drags row from onto the place of row to, on the screen on top.
void moveRow(SettingsHost& host, int from, int to);
/// Prints the screen on top: a table's rows, or a page's views.
void showTop(SettingsHost& host);

/// The installed panes as Settings lists them.
void listPanes(std::ostream& out);

}  // namespace settings
