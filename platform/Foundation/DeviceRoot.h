#pragma once
/// \file
/// The device's file system. Every absolute device path ("/var/mobile/...")
/// resolves under one device-root folder; only this layer knows the root.

#include <filesystem>
#include <string>
#include <string_view>

namespace foundation {

/// Until a host sets one, the root is $QP_DEVICE_ROOT, else the current folder.
void setDeviceRoot(const std::filesystem::path& root);
[[nodiscard]] std::filesystem::path deviceRoot();
/// The host path of a device path. Relative paths resolve against the root
/// too; ".." never climbs above it.
[[nodiscard]] std::filesystem::path resolveDevicePath(std::string_view devicePath);

/// Whole-file helpers used by the frameworks' readers and writers. Writing
/// atomically goes through a temporary file in the same folder and a rename.
[[nodiscard]] bool readDeviceFile(std::string_view devicePath, std::string& contents);
bool writeDeviceFile(std::string_view devicePath, std::string_view contents, bool atomically);

}  // namespace foundation
