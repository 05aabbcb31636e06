// Builders of navigation data lines for tests: fields placed at their columns, blank-padded.
#pragma once

#include <cstdio>
#include <string>

namespace halvex::test {

class ColumnLine {
public:
    ColumnLine& at(size_t offset, const std::string& text) {
        if (line_.size() < offset + text.size()) line_.resize(offset + text.size(), ' ');
        line_.replace(offset, text.size(), text);
        return *this;
    }
    std::string str() const { return line_ + "\n"; }

private:
    std::string line_;
};

inline std::string Deg(double value, int width, int decimals) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%*.*f", width, decimals, value);
    return buffer;
}

inline std::string FixLine(const std::string& ident, double lat, double lon) {
    return ColumnLine().at(0, ident).at(29, Deg(lat, 10, 6)).at(39, Deg(lon, 10, 5)).str();
}

inline std::string AidLine(const std::string& ident, const std::string& type, double lat, double lon) {
    return ColumnLine().at(0, "SOME NAVAID").at(24, ident).at(29, type).at(33, Deg(lat, 10, 6)).at(43, Deg(lon, 10, 5))
        .at(55, "113.90").str();
}

inline std::string AirportPointLine(const std::string& icao, double lat, double lon) {
    return ColumnLine().at(0, icao).at(4, Deg(lat, 10, 6)).at(14, Deg(lon, 10, 5)).str();
}

inline std::string RunwayLine(const std::string& name, const std::string& icao, const std::string& runway, int length,
                              int course, double lat, double lon, double ilsFreq, int ilsCourse, int elevation) {
    char l[8], c[8], ic[8], el[8];
    std::snprintf(l, sizeof l, "%5d", length);
    std::snprintf(c, sizeof c, "%3d", course);
    std::snprintf(ic, sizeof ic, "%3d", ilsCourse);
    std::snprintf(el, sizeof el, "%5d", elevation);
    return ColumnLine().at(0, name).at(24, icao).at(28, runway).at(31, l).at(36, c).at(39, Deg(lat, 10, 6))
        .at(49, Deg(lon, 11, 6)).at(60, Deg(ilsFreq, 6, 2)).at(66, ic).at(69, el).str();
}

inline std::string AirwayLine(const std::string& name, int seq, const std::string& ident, double lat, double lon) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%-7s %03d %-5s %10.6f %11.6f\n", name.c_str(), seq, ident.c_str(), lat, lon);
    return buffer;
}

}  // namespace halvex::test
