// "Did you mean": the known word closest to a mistyped one.
#ifndef SCSCTL_Suggest_h
#define SCSCTL_Suggest_h

#include <optional>
#include <string>
#include <vector>

namespace scsctl
{

// Edits (insert, delete, replace, swap of neighbours) between two words, ignoring case.
size_t editDistance(const std::string& a, const std::string& b);

// The known word within two edits of the typed one (one edit for words of up to four letters),
// the nearest first; nothing when none is that near or two are equally near.
std::optional<std::string> closestWord(const std::string& typed, const std::vector<std::string>& known);

} // namespace scsctl

#endif
