#pragma once
/// \file
/// The pane's root screen: every setting of the preference file, built from
/// the specifier layout "QuillpanePrefs", and the six actions that open the
/// sub-screens and two outside pages.

#include <Preferences/PSListController.h>

class QuillpanePrefsListController : public PSListController {
 public:
  static Class classObject();
  QuillpanePrefsListController() = default;

  /// Loads the layout once and keeps it in `_specifiers`.
  Ref<NSArray> specifiers() override;
  /// The value stored in the preference file under the row's "key", else
  /// the row's "default".
  id readPreferenceValue(Ref<PSSpecifier> specifier) override;
  /// Rewrites the preference file whole with the new value, then posts the
  /// row's "PostNotification".
  void setPreferenceValueSpecifier(id value, Ref<PSSpecifier> specifier) override;

  // Button actions.
  void followOnTwitter();
  void installSyslog();
  void viewOtherApps();
  void selectCalendars();
  void changeSortOrder();
  void selectAppToOpen();
};
