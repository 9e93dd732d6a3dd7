// Aligned text tables: a header line, then one line a row, columns two spaces apart.
#ifndef SCSCTL_Table_h
#define SCSCTL_Table_h

#include <string>
#include <vector>

namespace scsctl
{

struct Column
{
    std::string header;
    bool alignRight = false; // numbers and sizes
};

std::string renderTable(const std::vector<Column>& columns,
                        const std::vector<std::vector<std::string>>& rows);

} // namespace scsctl

#endif
