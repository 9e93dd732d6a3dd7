#include "Table.h"

#include <algorithm>

#include <fmt/format.h>

namespace scsctl
{

namespace
{

// Width on a terminal, as fmt pads: UTF-8 continuation bytes take no column of their own.
size_t displayWidth(const std::string& text)
{
    return size_t(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

} // namespace

std::string renderTable(const std::vector<Column>& columns, const std::vector<std::vector<std::string>>& rows)
{
    std::vector<size_t> widths;
    for (const Column& column : columns)
        widths.push_back(displayWidth(column.header));
    for (const auto& row : rows)
        for (size_t i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], displayWidth(row[i]));

    std::string out;
    auto appendLine = [&](auto cellOf)
    {
        std::string line;
        for (size_t i = 0; i < columns.size(); ++i)
        {
            const std::string cell = cellOf(i);
            if (i > 0) line += "  ";
            line += columns[i].alignRight ? fmt::format("{:>{}}", cell, widths[i])
                                          : fmt::format("{:<{}}", cell, widths[i]);
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + "\n";
    };
    appendLine([&](size_t i) { return columns[i].header; });
    for (const auto& row : rows)
        appendLine([&](size_t i) { return i < row.size() ? row[i] : std::string(); });
    return out;
}

} // namespace scsctl
