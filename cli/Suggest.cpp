#include "Suggest.h"

#include <algorithm>
#include <cctype>

namespace scsctl
{

size_t editDistance(const std::string& a, const std::string& b)
{
    const auto same = [](char x, char y)
    { return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y)); };
    // Optimal string alignment: the two previous rows are enough for a swap.
    std::vector<size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (size_t i = 1; i <= a.size(); ++i)
    {
        current[0] = i;
        for (size_t j = 1; j <= b.size(); ++j)
        {
            current[j] = std::min(
                {previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same(a[i - 1], b[j - 1]) ? 0 : 1)});
            if (i > 1 && j > 1 && same(a[i - 1], b[j - 2]) && same(a[i - 2], b[j - 1]))
                current[j] = std::min(current[j], before[j - 2] + 1);
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[b.size()];
}

std::optional<std::string> closestWord(const std::string& typed, const std::vector<std::string>& known)
{
    const size_t allowed = typed.size() <= 4 ? 1 : 2;
    std::optional<std::string> best;
    size_t bestDistance = allowed + 1;
    bool tied = false;
    for (const std::string& word : known)
    {
        const size_t distance = editDistance(typed, word);
        if (distance < bestDistance)
        {
            best = word;
            bestDistance = distance;
            tied = false;
        }
        else if (distance == bestDistance)
            tied = true;
    }
    if (tied || bestDistance > allowed) return std::nullopt;
    return best;
}

} // namespace scsctl
