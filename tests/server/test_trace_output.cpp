// The trace sink: lines written to std::cout piece by piece, each ended by std::endl, from several
// threads at once, reach the descriptor whole and complete.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TraceOutput.h"

namespace
{

TEST(TraceOutputTest, KeepsTheLinesOfConcurrentWritersWhole)
{
    char path[] = "/tmp/trace-output-XXXXXX";
    const int descriptor = ::mkstemp(path);
    ASSERT_GE(descriptor, 0);
    const int threads = 4, linesEach = 300;
    {
        cimhost::TraceOutput output(descriptor);
        std::vector<std::thread> writers;
        for (int t = 0; t < threads; ++t)
            writers.emplace_back(
                [t]
                {
                    for (int i = 0; i < linesEach; ++i)
                        std::cout << "writer " << t << " line " << i << " end" << std::endl;
                    std::cout << "writer " << t << " unfinished"; // no newline: never written
                });
        for (std::thread& writer : writers)
            writer.join();
    } // the destructor writes what is left and gives std::cout back

    std::ifstream file(path);
    std::map<int, int> nextLine;
    std::string line;
    int count = 0;
    while (std::getline(file, line))
    {
        std::istringstream fields(line);
        std::string writer, lineWord, end;
        int t = -1, i = -1;
        fields >> writer >> t >> lineWord >> i >> end;
        ASSERT_TRUE(writer == "writer" && lineWord == "line" && end == "end" && fields.eof()) << line;
        EXPECT_EQ(i, nextLine[t]++) << "lines of one writer keep their order";
        ++count;
    }
    EXPECT_EQ(count, threads * linesEach);
    ::close(descriptor);
    ::unlink(path);
}

} // namespace
