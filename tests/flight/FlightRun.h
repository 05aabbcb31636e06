// Runs `halvex-fms fly` on the bundled data and reads back what it printed and the track it wrote.
#pragma once

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace halvex::test {

struct Flight {
    std::string output;
    std::map<std::string, std::string> summary;              // the "key: value" lines
    std::vector<std::map<std::string, std::string>> rows;    // the track, one row a simulated second

    double number(const std::string& key) const { return std::stod(summary.at(key)); }
    // The track row at simulated second t, or null.
    const std::map<std::string, std::string>* rowAt(int t) const {
        for (const auto& row : rows)
            if (std::stoi(row.at("t_s")) == t) return &row;
        return nullptr;
    }
};

inline Flight RunFly(const std::string& arguments, const std::string& track) {
    Flight f;
    const std::string command = std::string(HALVEX_FMS_EXE) + " fly --root " + HALVEX_SOURCE_DIR + "/data " + arguments +
                                " --track " + track + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return f;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe)) f.output += buffer.data();
    EXPECT_EQ(pclose(pipe), 0) << f.output;
    std::istringstream lines(f.output);
    for (std::string line; std::getline(lines, line);) {
        const size_t colon = line.find(": ");
        if (colon != std::string::npos && line.rfind("seq ", 0) != 0) f.summary[line.substr(0, colon)] = line.substr(colon + 2);
    }
    std::ifstream csv(track);
    std::string header;
    std::getline(csv, header);
    std::vector<std::string> names;
    std::istringstream h(header);
    for (std::string n; std::getline(h, n, ',');) names.push_back(n);
    for (std::string line; std::getline(csv, line);) {
        std::map<std::string, std::string> row;
        std::istringstream cells(line);
        size_t i = 0;
        for (std::string c; std::getline(cells, c, ',') && i < names.size(); ++i) row[names[i]] = c;
        f.rows.push_back(std::move(row));
    }
    return f;
}

}  // namespace halvex::test
