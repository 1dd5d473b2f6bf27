#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The operating system's standard open and save dialogs, owned by the core's window.
//
// Filters come in the pairs Windows expects: a description, then its patterns separated by
// semicolons, e.g. {"Pictures", "*.png;*.bmp", "All files", "*.*"}. The pairing is not checked.

// Capacity of the filter text and of the chosen path, in UTF-16 units.
inline constexpr std::size_t kFilterTextUnits = 512;
inline constexpr std::size_t kDialogPathUnits = 260;

// The filter text handed to the dialog: the strings in order, each in UTF-16 and followed by one zero,
// in a zero-filled buffer of kFilterTextUnits units (so the last string is followed by two zeros).
// Empty for an empty list: the dialog then shows no filter. Nothing (nullopt) when the strings, their
// zeros and the final zero need more than kFilterTextUnits units.
std::optional<std::u16string> dialogFilterText(const std::vector<std::string>& filters);

// The chosen path in UTF-8; empty when the user cancels, the dialog fails, the filter text does not fit,
// or the platform has no such dialog (Linux).
std::string openFileDialog(const std::vector<std::string>& filters);
// As openFileDialog; the file may be a new one, and choosing an existing one asks before overwriting.
std::string saveFileDialog(const std::vector<std::string>& filters);
